#pragma once
// A folder of one test's own under the temporary folder, removed with all it holds when the test
// ends.
#include <windows.h>

#include <string>

#include "platform/win32/handles.h"

namespace tessary::testing {

class ScratchFolder {
public:
    explicit ScratchFolder(const wchar_t* name) {
        wchar_t temp[MAX_PATH + 1] = {};
        ::GetTempPathW(MAX_PATH + 1, temp);
        m_path = std::wstring(temp) + name + L"-" + std::to_wstring(::GetCurrentProcessId());
        Remove(m_path);
        ::CreateDirectoryW(m_path.c_str(), nullptr);
    }
    ~ScratchFolder() { Remove(m_path); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::wstring& Path() const { return m_path; }
    std::wstring operator/(const std::wstring& name) const { return m_path + L"\\" + name; }

    static void Remove(const std::wstring& folder) {
        WIN32_FIND_DATAW data{};
        {
            const win32::FindHandle find(::FindFirstFileW((folder + L"\\*").c_str(), &data));
            if (find) {
                do {
                    const std::wstring name = data.cFileName;
                    if (name == L"." || name == L"..") continue;
                    const std::wstring path = folder + L"\\" + name;
                    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                        Remove(path);
                    } else {
                        ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                        ::DeleteFileW(path.c_str());
                    }
                } while (::FindNextFileW(find.Get(), &data));
            }
        }
        ::RemoveDirectoryW(folder.c_str());
    }

private:
    std::wstring m_path;
};

// The whole content of a file; empty when it cannot be read.
inline std::string ReadWholeFile(const std::wstring& path) {
    const win32::FileHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string content;
    if (!file) return content;
    char buffer[65536];
    DWORD read = 0;
    while (::ReadFile(file.Get(), buffer, sizeof(buffer), &read, nullptr) && read > 0) content.append(buffer, read);
    return content;
}

inline bool WriteWholeFile(const std::wstring& path, const std::string& content) {
    const win32::FileHandle file(
        ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && ::WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &written, nullptr) &&
           written == content.size();
}

}  // namespace tessary::testing
