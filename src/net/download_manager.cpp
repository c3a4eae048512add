#include "net/download_manager.h"

#include <algorithm>
#include <chrono>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <new>

#include "net/http_transfer.h"
#include "net/watched_attempt.h"
#include "platform/detached_thread.h"
#include "platform/ports.h"

namespace tessary {
namespace {

constexpr unsigned kPauseStepMs = 100;  // how long a confirmed exit may wait for a pause to notice it
constexpr platform::Status kNoPath = platform::kPathNotFound;

// A file transfer's body: into "<target>.part", with the progress messages of the download page.
class FileSink : public TransferSink {
public:
    FileSink(const std::wstring& partPath, platform::WindowHandle window, AttemptControl& control)
        : m_window(window), m_control(control) {
        if (partPath.empty()) {
            m_openStatus = kNoPath;
            return;
        }
        auto output = platform::FileSystem().CreateOutputFile(partPath);
        if (output) {
            m_output = std::move(output).Value();
        } else {
            m_openStatus = output.GetStatus();
        }
    }

    void Begin(std::optional<std::uint64_t> length) override {
        m_control.Progress();
        m_length = length;
        if (!length) Post(kDownloadUnknownSizeMessage, 0);
        if (!m_output) TransferFailure(L"Failed to open file for writing: " + CodeAndSystemText(m_openStatus));
    }

    void Take(const char* data, std::size_t size) override {
        const auto written = m_output->Write(data, size);
        if (!written) TransferFailure(L"Failed to write file: " + CodeAndSystemText(written.GetStatus()));
        m_control.Progress();
        m_done += size;
        // A message once more than a hundredth of the file arrived since the last one. Whole
        // numbers throughout, so that 29 % of a file shows as 29.
        if (m_length && *m_length > 0 && (m_done - m_postedBytes) * 100 > *m_length) {
            Post(kDownloadProgressMessage, std::min<std::uint64_t>(m_done * 100 / *m_length, 100));
            m_postedBytes = m_done;
        }
    }

    // Closes the file, so that its size can be read and it can be moved.
    void Close() { m_output.reset(); }
    bool Opened() const { return m_openStatus == platform::kSuccess; }
    const std::optional<std::uint64_t>& Length() const { return m_length; }
    void Post(unsigned message, std::uint64_t wParam) const {
        if (m_window) platform::Ui().PostToWindow(m_window, message, static_cast<std::uintptr_t>(wParam), 0);
    }

private:
    platform::WindowHandle m_window;
    AttemptControl& m_control;
    std::unique_ptr<platform::OutputFile> m_output;
    platform::Status m_openStatus = platform::kSuccess;
    std::optional<std::uint64_t> m_length;
    std::uint64_t m_done = 0;
    std::uint64_t m_postedBytes = 0;  // how much had arrived at the last message
};

// An in-memory body, refused beyond its limit.
class MemorySink : public TransferSink {
public:
    MemorySink(std::vector<char>& bytes, std::size_t limit, AttemptControl& control)
        : m_bytes(bytes), m_limit(limit), m_control(control) {}

    void Begin(std::optional<std::uint64_t> length) override {
        m_control.Progress();
        if (length && *length > m_limit) TooLarge();
    }
    void Take(const char* data, std::size_t size) override {
        m_control.Progress();
        if (size > m_limit - m_bytes.size()) TooLarge();
        try {
            m_bytes.insert(m_bytes.end(), data, data + size);
        } catch (const std::bad_alloc&) {
            TransferFailure(L"Out of memory.");
        }
    }

private:
    [[noreturn]] void TooLarge() const {
        TransferFailure(L"Download larger than " + std::to_wstring(m_limit) + L" bytes.");
    }

    std::vector<char>& m_bytes;
    std::size_t m_limit;
    AttemptControl& m_control;
};

// An attempt that failed for a reason of the program's own (no thread, no memory).
std::wstring UnexpectedFailureText() { return L"Unexpected failure."; }

// The failure of an attempt the caller stopped waiting for.
std::wstring AbandonedText(AttemptEnd end, unsigned noProgressLimitMs) {
    return end == AttemptEnd::Cancelled ? CancelledText() : StalledText(noProgressLimitMs);
}

}  // namespace

std::shared_ptr<DownloadManager> DownloadManager::GetInstance() {
    static std::once_flag once;
    static std::shared_ptr<DownloadManager> instance;
    std::call_once(once, [] { instance = std::make_shared<DownloadManager>(); });
    return instance;
}

void DownloadManager::Pause(unsigned milliseconds) const {
    while (milliseconds > 0 && !m_cancelRequested) {
        const unsigned step = std::min(milliseconds, kPauseStepMs);
        platform::Clock().SleepMs(step);
        milliseconds -= step;
    }
}

DownloadManager::Result DownloadManager::DownloadFile(const std::pair<std::wstring, std::wstring>& urls,
                                                      platform::WindowHandle window, const std::wstring& fileName,
                                                      bool temporaryFolder, const std::wstring& packageFolder) {
    const auto& [url, fallback] = urls;
    std::wstring errors;
    std::wstring path = fileName.empty() ? TargetPathFromUrl(url, temporaryFolder, packageFolder)
                                         : TargetPathFromFileName(fileName, temporaryFolder, packageFolder);

    Result result = DownloadWithWinHttp(url, window, path);
    if (result.first) return {true, {}};
    errors += result.second + L" ";
    Pause(1500);
    result = DownloadWithWinInet(url, window, path);
    if (result.first) return {true, {}};
    errors += result.second + L" ";
    if (fallback.empty()) return {false, errors};

    if (fileName.empty()) path = TargetPathFromUrl(fallback, temporaryFolder, packageFolder);
    Pause(500);
    result = DownloadWithWinHttp(fallback, window, path);
    if (result.first) return {true, {}};
    errors += L"[FALLBACK] " + result.second + L" ";
    Pause(1500);
    result = DownloadWithWinInet(fallback, window, path);
    if (result.first) return {true, {}};
    errors += L"[FALLBACK] " + result.second;
    return {false, errors};
}

DownloadManager::Result DownloadManager::DownloadWithWinHttp(const std::wstring& url, platform::WindowHandle window,
                                                             const std::wstring& path) {
    return DownloadToFile(true, url, window, path);
}

DownloadManager::Result DownloadManager::DownloadWithWinInet(const std::wstring& url, platform::WindowHandle window,
                                                             const std::wstring& path) {
    return DownloadToFile(false, url, window, path);
}

DownloadManager::Result DownloadManager::DownloadToFile(bool winHttp, const std::wstring& url,
                                                        platform::WindowHandle window, const std::wstring& path) {
    const std::wstring prefix = winHttp ? L"[WINHTTP] " : L"[WININET] ";
    if (m_cancelRequested) return {false, prefix + CancelledText()};
    const unsigned limit = m_noProgressLimitMs;
    std::shared_ptr<Result> outcome;
    AttemptEnd end = AttemptEnd::Finished;
    // No thread or no memory to be had: the attempt fails like any other, and the next one may
    // still find what it needs.
    try {
        outcome = std::make_shared<Result>(false, std::wstring());
        end = WatchedAttempt::Run(
            [self = shared_from_this(), outcome, winHttp, url, window, path, limit](AttemptControl& control) {
                *outcome = self->TransferToFile(winHttp, url, window, path, limit, control);
            },
            m_cancelRequested, limit);
    } catch (...) {
        platform::ReportCurrentException("file download");
        return {false, prefix + UnexpectedFailureText()};
    }
    if (end == AttemptEnd::NotStarted) return {false, prefix + UnexpectedFailureText()};
    if (end != AttemptEnd::Finished) return {false, prefix + AbandonedText(end, limit)};
    if (!outcome->first) return {false, prefix + outcome->second};
    m_lastDownloadedPath = path;
    return {true, {}};
}

// The file grows as "<path>.part", shared for reading only, and replaces the target only once it
// is complete: a failed attempt destroys no file, and nothing rewrites the file while it grows.
// Runs on the attempt's own thread; the text comes without the stack's prefix.
DownloadManager::Result DownloadManager::TransferToFile(bool winHttp, const std::wstring& url,
                                                        platform::WindowHandle window, const std::wstring& path,
                                                        unsigned noProgressLimitMs, AttemptControl& control) {
    const FileTransferCount counted(*this);
    const std::wstring partPath = path.empty() ? std::wstring() : path + L".part";
    std::optional<FileSink> sink;
    const auto removePart = [&] {
        if (!sink) return;
        sink->Close();
        if (sink->Opened()) (void)platform::FileSystem().DeleteFile(partPath);
    };
    try {
        sink.emplace(partPath, window, control);
        const TransferSettings settings{false, noProgressLimitMs, &m_cancelRequested, &control.StopFlag()};
        RunTransfer(winHttp ? platform::HttpStack::WinHttp : platform::HttpStack::WinInet, url, *sink, settings);
        sink->Close();

        const auto& length = sink->Length();
        if (length) {
            const auto size = platform::FileSystem().FileSize(partPath);
            if (!size) {
                TransferFailure(winHttp ? std::wstring(L"Failed to open downloaded file.")
                                        : L"Failed to open downloaded file: " + CodeAndSystemText(size.GetStatus()));
            }
            if (*size != *length) {
                TransferFailure(L"Download was incomplete: content length: " + std::to_wstring(*length) +
                                L", downloaded: " + std::to_wstring(*size));
            }
        }
        // An attempt the caller gave up on must not replace the target after all.
        if (settings.Cancelled()) TransferFailure(CancelledText());
        const auto moved = platform::FileSystem().MoveReplacing(partPath, path);
        if (!moved) TransferFailure(L"Failed to move the download into place: " + CodeAndSystemText(moved.GetStatus()));
        if (length && *length != 0) sink->Post(kDownloadProgressMessage, 100);
        return {true, {}};
    } catch (const std::runtime_error& failure) {
        removePart();
        return {false, TransferFailureText(failure)};
    } catch (...) {
        platform::ReportCurrentException("file download");
        removePart();
        return {false, UnexpectedFailureText()};
    }
}

DownloadManager::Bytes DownloadManager::DownloadToMemory(const std::wstring& url, std::size_t limit) {
    auto bytes = std::make_unique<std::vector<char>>();
    const unsigned noProgressLimit = m_noProgressLimitMs;
    for (int attempt = 0; attempt < 2 && !m_cancelRequested; ++attempt) {
        auto received = std::make_shared<std::vector<char>>();
        auto succeeded = std::make_shared<bool>(false);
        AttemptEnd end = AttemptEnd::Finished;
        try {
            end = WatchedAttempt::Run(
            [self = shared_from_this(), received, succeeded, url, limit, noProgressLimit](AttemptControl& control) {
                try {
                    MemorySink sink(*received, limit, control);
                    RunTransfer(platform::HttpStack::WinHttp, url, sink,
                                TransferSettings{true, noProgressLimit, &self->m_cancelRequested, &control.StopFlag()});
                    *succeeded = true;
                } catch (const std::runtime_error&) {
                    received->clear();
                }
            },
            m_cancelRequested, noProgressLimit);
        } catch (const std::bad_alloc&) {
            continue;  // no memory for this attempt; the next may find some
        }
        if (end == AttemptEnd::Finished && *succeeded) {
            *bytes = std::move(*received);
            return bytes;
        }
    }
    return bytes;
}

void DownloadManager::DownloadToMemoryAsync(const std::wstring& url, std::function<void(Bytes)> callback,
                                            std::size_t limit) {
    // The thread holds the manager and its own copies; nothing that escapes it may end the program.
    // A download that failed by an exception delivers null, like one after a confirmed exit: no
    // bytes either way, and nothing has to be allocated on the way out.
    const auto deliverTo = std::make_shared<std::function<void(Bytes)>>(std::move(callback));
    const auto deliver = [self = shared_from_this(), url, deliverTo, limit]() noexcept {
        Bytes bytes;
        try {
            bytes = self->DownloadToMemory(url, limit);
        } catch (...) {
            platform::ReportCurrentException("in-memory download");
        }
        if (self->m_cancelRequested) bytes.reset();
        try {
            (*deliverTo)(std::move(bytes));
        } catch (...) {
            platform::ReportCurrentException("in-memory download callback");
        }
    };
    if (!platform::StartDetachedThread(deliver)) {
        // No thread to be had: the caller still learns, here and now, that nothing arrived.
        try {
            (*deliverTo)(nullptr);
        } catch (...) {
            platform::ReportCurrentException("in-memory download callback");
        }
    }
}

DownloadManager::FileTransferCount::FileTransferCount(DownloadManager& manager) : m_manager(manager) {
    std::lock_guard lock(m_manager.m_fileTransfersMutex);
    ++m_manager.m_fileTransfers;
}

DownloadManager::FileTransferCount::~FileTransferCount() {
    std::lock_guard lock(m_manager.m_fileTransfersMutex);
    if (--m_manager.m_fileTransfers == 0) m_manager.m_fileTransfersIdle.notify_all();
}

bool DownloadManager::WaitForFileTransfers(unsigned milliseconds) {
    std::unique_lock lock(m_fileTransfersMutex);
    return m_fileTransfersIdle.wait_for(lock, std::chrono::milliseconds(milliseconds),
                                        [this] { return m_fileTransfers == 0; });
}

std::wstring DownloadManager::SystemErrorText(platform::Status code) { return platform::Transfers().SystemErrorText(code); }

}  // namespace tessary
