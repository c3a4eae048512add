// Removing the run's temporary folder while one of its files is held open.
#include <windows.h>

#include <gtest/gtest.h>

#include "config/configuration_manager.h"
#include "config/folder_tree.h"
#include "platform/win32/handles.h"
#include "real_ports.h"

namespace tessary {
namespace {

void WriteFile(const std::wstring& path) {
    win32::FileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_TRUE(file);
    DWORD written = 0;
    ::WriteFile(file.Get(), "data", 4, &written, nullptr);
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The paths the system will delete at the next restart.
std::wstring PendingDeletes() {
    win32::RegistryKey key;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Control\\Session Manager", 0, KEY_READ,
                        key.Put()) != ERROR_SUCCESS) {
        return {};
    }
    std::wstring data(32768, L'\0');
    DWORD size = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    const LSTATUS status = ::RegQueryValueExW(key.Get(), L"PendingFileRenameOperations", nullptr, nullptr,
                                              reinterpret_cast<BYTE*>(data.data()), &size);
    if (status != ERROR_SUCCESS) return {};
    data.resize(size / sizeof(wchar_t));
    for (auto& c : data) {
        if (c == L'\0') c = L'|';
    }
    return data;
}

TEST(DeleteFolderTreeOnWindows, HeldFileIsLeftToTheRestartAndTheRestGoes) {
    testing::RealPorts ports;
    const std::wstring root = CreateRunTempFolder();
    ASSERT_TRUE(Exists(root));
    ASSERT_TRUE(::CreateDirectoryW((root + L"\\sub").c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW((root + L"\\empty").c_str(), nullptr));
    WriteFile(root + L"\\a.txt");
    WriteFile(root + L"\\sub\\b.txt");
    WriteFile(root + L"\\held.exe");
    win32::FileHandle held(
        ::CreateFileW((root + L"\\held.exe").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);

    DeleteFolderTree(root);

    EXPECT_FALSE(Exists(root + L"\\a.txt"));
    EXPECT_FALSE(Exists(root + L"\\sub"));
    EXPECT_FALSE(Exists(root + L"\\empty"));
    EXPECT_TRUE(Exists(root + L"\\held.exe"));
    const std::wstring pending = PendingDeletes();
    EXPECT_NE(pending.find(root + L"\\held.exe"), std::wstring::npos) << "the held file waits for the restart";
    EXPECT_EQ(pending.find(root + L"\\a.txt"), std::wstring::npos) << "what is gone is not scheduled";

    held.Reset();
    DeleteFolderTree(root);
    EXPECT_FALSE(Exists(root));
}

TEST(DeleteFolderTreeOnWindows, EmptyFolderStays) {
    testing::RealPorts ports;
    const std::wstring root = CreateRunTempFolder();
    DeleteFolderTree(root);
    EXPECT_TRUE(Exists(root));
    ::RemoveDirectoryW(root.c_str());
}

}  // namespace
}  // namespace tessary
