#include "run_traces.h"

#include <tlhelp32.h>
#include <winternl.h>

#include <fstream>

#include "driver/wizard_driver.h"
#include "platform/win32/handles.h"

namespace tessary::e2e {
namespace {

std::vector<std::wstring> Entries(const std::wstring& pattern, bool folders) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data{};
    win32::FindHandle find(::FindFirstFileW(pattern.c_str(), &data));
    if (!find) return names;
    do {
        const bool folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        const std::wstring name = data.cFileName;
        if (folder == folders && name != L"." && name != L"..") names.push_back(name);
    } while (::FindNextFileW(find.Get(), &data));
    return names;
}

// Where the sample installer appends its line (tests/win32/tools/sample_installer.cpp).
constexpr wchar_t kInstallerLogVariable[] = L"TESSARY_INSTALLER_LOG";

std::wstring FromUtf8(const std::string& text) {
    const int size = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(size > 0 ? size : 0, L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

// Read from the process's own parameters block, as Wine answers no query for the command line.
// Both processes are of the same width, so the structures are laid out alike.
std::wstring CommandLineOf(DWORD processId) {
    win32::KernelHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    if (!process) return {};
    PROCESS_BASIC_INFORMATION basic{};
    PEB peb{};
    RTL_USER_PROCESS_PARAMETERS parameters{};
    const auto read = [&](const void* from, void* to, SIZE_T size) {
        SIZE_T done = 0;
        return from && ::ReadProcessMemory(process.Get(), from, to, size, &done) && done == size;
    };
    if (::NtQueryInformationProcess(process.Get(), ProcessBasicInformation, &basic, sizeof basic, nullptr) < 0 ||
        !read(basic.PebBaseAddress, &peb, sizeof peb) || !read(peb.ProcessParameters, &parameters, sizeof parameters)) {
        return {};
    }
    std::wstring commandLine(parameters.CommandLine.Length / sizeof(wchar_t), L'\0');
    if (!read(parameters.CommandLine.Buffer, commandLine.data(), parameters.CommandLine.Length)) return {};
    return commandLine;
}

}  // namespace

std::wstring TempPath() {
    wchar_t path[MAX_PATH + 1] = {};
    ::GetTempPathW(MAX_PATH + 1, path);
    return path;
}

std::wstring KnownFolder(const KNOWNFOLDERID& id) {
    PWSTR path = nullptr;
    std::wstring result;
    if (SUCCEEDED(::SHGetKnownFolderPath(id, 0, nullptr, &path))) result = path;
    ::CoTaskMemFree(path);
    return result;
}

std::wstring DownloadsFolder() { return KnownFolder(FOLDERID_Downloads); }

std::set<std::wstring> RunTempFolders() {
    std::set<std::wstring> folders;
    for (const auto& name : Entries(TempPath() + L"ISV*.tmp", true)) folders.insert(TempPath() + name);
    return folders;
}

std::wstring NewRunTempFolder(const std::set<std::wstring>& before) {
    std::wstring found;
    for (const auto& folder : RunTempFolders()) {
        if (before.count(folder) != 0) continue;
        if (!found.empty()) return {};  // two new folders: not knowing which is ours, claim none
        found = folder;
    }
    return found;
}

bool PutFileInto(const std::wstring& folder) {
    win32::FileHandle file(::CreateFileW((folder + L"\\downloaded.bin").c_str(), GENERIC_WRITE, 0, nullptr,
                                         CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && ::WriteFile(file.Get(), "data", 4, &written, nullptr) && written == 4;
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void RemoveFolder(const std::wstring& folder) {
    for (const auto& name : Entries(folder + L"\\*", true)) RemoveFolder(folder + L"\\" + name);
    for (const auto& name : Entries(folder + L"\\*", false)) ::DeleteFileW((folder + L"\\" + name).c_str());
    ::RemoveDirectoryW(folder.c_str());
}

bool IsScheduledForRemoval(const std::wstring& path) {
    DWORD size = 0;
    constexpr wchar_t kKey[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
    constexpr wchar_t kValue[] = L"PendingFileRenameOperations";
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, kKey, kValue, RRF_RT_REG_MULTI_SZ, nullptr, nullptr, &size) !=
        ERROR_SUCCESS) {
        return false;
    }
    std::vector<wchar_t> entries(size / sizeof(wchar_t) + 1, L'\0');
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, kKey, kValue, RRF_RT_REG_MULTI_SZ, nullptr, entries.data(), &size) !=
        ERROR_SUCCESS) {
        return false;
    }
    // Pairs of source and target; an empty target means removal. Sources carry the "\??\" prefix.
    const std::wstring wanted = L"\\??\\" + path;
    for (const wchar_t* source = entries.data(); *source;) {
        const wchar_t* target = source + ::lstrlenW(source) + 1;
        if (*target == L'\0' && ::lstrcmpiW(source, wanted.c_str()) == 0) return true;
        source = target + ::lstrlenW(target) + 1;
        if (source >= entries.data() + entries.size()) break;
    }
    return false;
}

std::vector<std::wstring> FilesBelow(const std::wstring& folder) {
    std::vector<std::wstring> files = Entries(folder + L"\\*", false);
    for (const auto& name : Entries(folder + L"\\*", true)) {
        for (const auto& file : FilesBelow(folder + L"\\" + name)) files.push_back(name + L"\\" + file);
    }
    return files;
}

InstallerLog::InstallerLog() {
    static int made = 0;
    m_path = TempPath() + L"tessary_installers_" + std::to_wstring(::GetCurrentProcessId()) + L"_" +
             std::to_wstring(++made) + L".log";
    ::DeleteFileW(m_path.c_str());
    ::SetEnvironmentVariableW(kInstallerLogVariable, m_path.c_str());
}

InstallerLog::~InstallerLog() {
    ::SetEnvironmentVariableW(kInstallerLogVariable, nullptr);
    ::DeleteFileW(m_path.c_str());
}

std::vector<InstallerStart> InstallerLog::Starts() const {
    std::ifstream in(m_path.c_str(), std::ios::binary);
    std::vector<InstallerStart> starts;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::wstring wide = FromUtf8(line);
        const auto tab = wide.find(L'\t');
        if (tab == std::wstring::npos) continue;
        starts.push_back({wide.substr(0, tab), wide.substr(tab + 1)});
    }
    return starts;
}

std::vector<InstallerStart> InstallerLog::WaitForStarts(std::size_t count, std::chrono::milliseconds timeout) const {
    std::vector<InstallerStart> starts;
    WaitUntil(
        [&] {
            starts = Starts();
            return starts.size() >= count;
        },
        timeout);
    return starts;
}

std::optional<InstallerStart> StartOf(const std::vector<InstallerStart>& starts, const std::wstring& name) {
    const std::wstring tail = L"\\" + name;
    for (const auto& start : starts) {
        if (start.program.size() >= tail.size() &&
            start.program.compare(start.program.size() - tail.size(), tail.size(), tail) == 0) {
            return start;
        }
    }
    return std::nullopt;
}

std::map<DWORD, std::wstring> ProcessesNamed(const std::wstring& fileName) {
    std::map<DWORD, std::wstring> processes;
    // A failed snapshot is INVALID_HANDLE_VALUE, as with files.
    win32::FileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return processes;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32FirstW(snapshot.Get(), &entry); more; more = ::Process32NextW(snapshot.Get(), &entry)) {
        if (::lstrcmpiW(entry.szExeFile, fileName.c_str()) == 0) {
            processes[entry.th32ProcessID] = CommandLineOf(entry.th32ProcessID);
        }
    }
    return processes;
}

void EndProcess(DWORD processId) {
    win32::KernelHandle process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId));
    if (!process) return;
    ::TerminateProcess(process.Get(), 0);
    ::WaitForSingleObject(process.Get(), 5000);
}

}  // namespace tessary::e2e
