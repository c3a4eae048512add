// download_benchmark MODE URL TARGET [PICTURE_URL]: one timed download of URL into TARGET, for
// scripts/bench-download. MODE is one of
//   program-winhttp, program-wininet   the download manager's own path for that stack (".part" file,
//                                      progress messages to a window, size check, move into place)
//   bare-winhttp                       WinHTTP alone, reading what it says is ready, as the program does
//   bare-winhttp-1m                    WinHTTP alone, reading into a 1 MiB buffer
//   bare-wininet                       WinINet alone, reading 4096 bytes at a time, as the program does
// With PICTURE_URL the process first fetches that into memory through the download manager, as the
// wizard fetches its offers' pictures before it downloads anything.
// Prints one line of key=value pairs: the seconds from the request to the complete file, the
// processor time the process used meanwhile, the bytes of the file, and the process's memory as
// the system reports it (GetProcessMemoryInfo): the working set just before the transfer, its peak
// during the transfer and the process's peak before and after. Exit code 0 when the file arrived.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <thread>

#include "download_benchmark_loops.h"
#include "net/download_manager.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_ports.h"

namespace tessary::tools {

bool WriteWhole(HANDLE file, const char* data, std::size_t size) {
    while (size > 0) {
        DWORD written = 0;
        const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
        if (!::WriteFile(file, data, piece, &written, nullptr) || written == 0) return false;
        data += written;
        size -= written;
    }
    return true;
}

namespace {

constexpr std::size_t kWinInetReadSize = 4096;  // the program's WinINet read size
constexpr std::size_t kLargeReadSize = 1u << 20;

// The working set and its peak so far, in bytes.
struct Memory {
    unsigned long long workingSet = 0;
    unsigned long long peak = 0;
};

Memory Measure() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
    return {counters.WorkingSetSize, counters.PeakWorkingSetSize};
}

// The processor time the process used so far, in seconds.
double ProcessorSeconds() {
    FILETIME created, exited, kernel, user;
    if (!::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
    const auto ticks = [](const FILETIME& time) {
        return (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    return static_cast<double>(ticks(kernel) + ticks(user)) / 1e7;
}

// Looks at the working set every few milliseconds until asked for its peak: the process's own peak
// also counts what start-up used, which may lie above anything the transfer reaches.
class WorkingSetWatch {
public:
    WorkingSetWatch()
        : m_thread([this](std::stop_token stop) {
              while (!stop.stop_requested()) {
                  Look();
                  std::this_thread::sleep_for(std::chrono::milliseconds(20));
              }
          }) {}
    unsigned long long Peak() {
        m_thread.request_stop();
        m_thread.join();
        Look();
        return m_peak;
    }

private:
    void Look() { m_peak = std::max(m_peak.load(), Measure().workingSet); }

    std::atomic<unsigned long long> m_peak{0};
    std::jthread m_thread;
};

struct WindowDestroyer {
    void operator()(HWND window) const { ::DestroyWindow(window); }
};

std::string Narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

// A message-only window for the progress messages, as the download page is for the program.
class ProgressWindow {
public:
    ProgressWindow()
        : m_window(::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr)) {}
    platform::WindowHandle Handle() const { return reinterpret_cast<platform::WindowHandle>(m_window.get()); }
    // The messages that arrived; read only once the transfer is over.
    int Count() const {
        int count = 0;
        MSG message;
        while (::PeekMessageW(&message, m_window.get(), kDownloadProgressMessage, kDownloadUnknownSizeMessage,
                              PM_REMOVE)) {
            ++count;
        }
        return count;
    }

private:
    std::unique_ptr<HWND__, WindowDestroyer> m_window;
};

// The download manager's path; returns its failure text, "" on success.
std::wstring RunProgram(bool winHttp, const std::wstring& url, const std::wstring& target,
                        const ProgressWindow& window) {
    const auto manager = DownloadManager::GetInstance();
    const auto result = winHttp ? manager->DownloadWithWinHttp(url, window.Handle(), target)
                                : manager->DownloadWithWinInet(url, window.Handle(), target);
    return result.first ? std::wstring() : result.second;
}

std::wstring RunBare(const std::wstring& mode, const std::wstring& url, const std::wstring& target) {
    win32::FileHandle file(::CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return L"CreateFileW failed: " + std::to_wstring(::GetLastError());
    const LoopOutcome outcome = mode == L"bare-winhttp"      ? BareWinHttpLoop(url, 0, file.Get())
                                : mode == L"bare-winhttp-1m" ? BareWinHttpLoop(url, kLargeReadSize, file.Get())
                                                             : BareWinInetLoop(url, kWinInetReadSize, file.Get());
    if (!outcome.failedCall) return {};
    return std::wstring(outcome.failedCall, outcome.failedCall + std::char_traits<char>::length(outcome.failedCall)) +
           L" failed: " + std::to_wstring(outcome.error);
}

}  // namespace
}  // namespace tessary::tools

int wmain(int argc, wchar_t** argv) {
    using namespace tessary;
    const std::wstring modes[] = {L"program-winhttp", L"program-wininet", L"bare-winhttp", L"bare-winhttp-1m",
                                  L"bare-wininet"};
    if (argc < 4 || argc > 5 || std::find(std::begin(modes), std::end(modes), argv[1]) == std::end(modes)) {
        std::printf(
            "usage: download_benchmark program-winhttp|program-wininet|bare-winhttp|bare-winhttp-1m|"
            "bare-wininet URL TARGET [PICTURE_URL]\n");
        return 2;
    }
    const std::wstring mode = argv[1], url = argv[2], target = argv[3];
    // What the program has before a download starts: its ports, the manager, the page's window.
    win32::InstallWin32Ports();
    const auto manager = DownloadManager::GetInstance();
    const tools::ProgressWindow window;
    if (argc == 5 && manager->DownloadToMemory(argv[4])->empty()) {
        std::printf("download_benchmark: the in-memory download failed\n");
        return 1;
    }

    tools::WorkingSetWatch watch;
    const auto before = tools::Measure();
    const double processorBefore = tools::ProcessorSeconds();
    const auto start = std::chrono::steady_clock::now();
    const std::wstring failure = mode.starts_with(L"program-")
                                     ? tools::RunProgram(mode == L"program-winhttp", url, target, window)
                                     : tools::RunBare(mode, url, target);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const double processor = tools::ProcessorSeconds() - processorBefore;
    const unsigned long long sampledPeak = watch.Peak();
    const auto after = tools::Measure();
    if (!failure.empty()) {
        std::printf("download_benchmark: %s\n", tools::Narrow(failure).c_str());
        return 1;
    }

    WIN32_FILE_ATTRIBUTE_DATA data{};
    ::GetFileAttributesExW(target.c_str(), GetFileExInfoStandard, &data);
    const unsigned long long bytes = (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    // The transfer's peak: the process's own once the transfer raised it, the watch's otherwise.
    const unsigned long long peak = after.peak > before.peak ? std::max(after.peak, sampledPeak) : sampledPeak;
    std::printf(
        "seconds=%.3f processor_seconds=%.3f bytes=%llu idle_ws=%llu peak_ws=%llu process_peak_before=%llu "
        "process_peak_after=%llu progress_messages=%d bits=%d\n",
        seconds, processor, bytes, before.workingSet, peak, before.peak, after.peak, window.Count(),
        static_cast<int>(sizeof(void*) * 8));
    return 0;
}
