// Machine identity, session timestamps, path placeholders and the run's temporary folder against
// what the system really provides.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include "config/configuration_manager.h"
#include "config/insertion_ordered_map.h"
#include "platform/win32/handles.h"
#include "real_ports.h"

namespace tessary {
namespace {

constexpr char kCryptographyKey[] = "SOFTWARE\\Microsoft\\Cryptography";

BuildConstants DownloadConstants() {
    BuildConstants constants;
    constants.wizardKey = L"DLM";
    return constants;
}

std::string ReadMachineGuidDirectly() {
    win32::RegistryKey key;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kCryptographyKey, 0, KEY_READ | KEY_WOW64_64KEY, key.Put()) !=
        ERROR_SUCCESS) {
        return {};
    }
    char value[256] = {};
    DWORD size = sizeof value - 1;
    const LSTATUS status =
        ::RegQueryValueExA(key.Get(), "MachineGuid", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
    return status == ERROR_SUCCESS ? std::string(value) : std::string();
}

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR path = nullptr;
    std::wstring result;
    if (SUCCEEDED(::SHGetKnownFolderPath(id, 0, nullptr, &path))) result = path;
    ::CoTaskMemFree(path);
    return result;
}

TEST(MachineIdOnWindows, IsTheMachineGuidAndEmptyWithoutIt) {
    testing::RealPorts ports;
    const std::string guid = ReadMachineGuidDirectly();
    ASSERT_EQ(guid.size(), 36u) << "the prefix has a machine GUID";
    EXPECT_EQ(ConfigurationManager(DownloadConstants()).GetMachineId(), guid);

    win32::RegistryKey key;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kCryptographyKey, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, key.Put()),
              ERROR_SUCCESS);
    ASSERT_EQ(::RegDeleteValueA(key.Get(), "MachineGuid"), ERROR_SUCCESS);
    ConfigurationManager withoutGuid(DownloadConstants());
    const std::string first = withoutGuid.GetMachineId();
    const std::string second = withoutGuid.GetMachineId();
    ::RegSetValueExA(key.Get(), "MachineGuid", 0, REG_SZ, reinterpret_cast<const BYTE*>(guid.c_str()),
                     static_cast<DWORD>(guid.size() + 1));
    EXPECT_EQ(first, "");
    EXPECT_EQ(second, "");
    EXPECT_EQ(ReadMachineGuidDirectly(), guid) << "the value is back";
}

TEST(SessionTimestampOnWindows, StaysFixedWhileMillisecondsMove) {
    testing::RealPorts ports;
    ConfigurationManager config(DownloadConstants());
    const std::string stamp = config.GetSessionTimestamp();
    const std::string firstMs = config.GetTimestampMs();
    ASSERT_EQ(stamp.size(), 14u);
    EXPECT_EQ(stamp.find_first_not_of("0123456789"), std::string::npos);
    ::Sleep(1100);
    EXPECT_EQ(config.GetSessionTimestamp(), stamp);
    EXPECT_NE(config.GetTimestampMs(), firstMs);
    EXPECT_GT(std::stoll(config.GetTimestampMs()), 1'700'000'000'000LL);
}

TEST(PathPlaceholdersOnWindows, CommonProgramFilesFollowsTheProcessKind) {
    testing::RealPorts ports;
    ConfigurationManager config(DownloadConstants());
    const auto table = config.GetPathPlaceholders();
    BOOL wow64 = FALSE;
    ::IsWow64Process(::GetCurrentProcess(), &wow64);
    const std::wstring x86 = KnownFolder(FOLDERID_ProgramFilesX86);
    ASSERT_FALSE(x86.empty());
    EXPECT_EQ(*table.Find(L"commonpf32"), x86);
    EXPECT_EQ(*table.Find(L"localappdata"), KnownFolder(FOLDERID_LocalAppData));
    EXPECT_EQ(*table.Find(L"programdata"), KnownFolder(FOLDERID_ProgramData));
    if (wow64) {
        // A 32-bit process on 64-bit Windows: the 64-bit folder comes from ProgramW6432.
        wchar_t programW6432[MAX_PATH] = {};
        ASSERT_GT(::GetEnvironmentVariableW(L"ProgramW6432", programW6432, MAX_PATH), 0u);
        EXPECT_EQ(*table.Find(L"commonpf"), L"{commonpf64}");
        EXPECT_EQ(*config.m_pathPlaceholders64.Find(L"commonpf64"), programW6432);
        EXPECT_EQ(ExpandBracedPlaceholders<std::wstring>(L"{commonpf}\\A", table), std::wstring(programW6432) + L"\\A");
    } else {
        // A process of the system's own width sees one Program Files folder through "commonpf32".
        EXPECT_EQ(*table.Find(L"commonpf"), L"{commonpf32}");
        EXPECT_FALSE(table.Contains(L"commonpf64"));
        EXPECT_TRUE(config.m_pathPlaceholders64.empty());
        EXPECT_EQ(ExpandBracedPlaceholders<std::wstring>(L"{commonpf}\\A", table), x86 + L"\\A");
    }
}

TEST(RunTempFolderOnWindows, EachRunGetsAFolderOfItsOwn) {
    testing::RealPorts ports;
    const std::wstring first = CreateRunTempFolder();
    const std::wstring second = CreateRunTempFolder();
    EXPECT_NE(first, second);
    for (const auto& folder : {first, second}) {
        EXPECT_NE(::GetFileAttributesW(folder.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
        const std::wstring name = folder.substr(folder.find_last_of(L'\\') + 1);
        EXPECT_EQ(name.rfind(L"ISV", 0), 0u);
        ::RemoveDirectoryW(folder.c_str());
    }
    ConfigurationManager config(DownloadConstants());
    EXPECT_FALSE(config.m_tempFolder.empty());
    EXPECT_FALSE(config.m_downloadFolder.empty());
    ::RemoveDirectoryW(config.m_tempFolder.c_str());
}

}  // namespace
}  // namespace tessary
