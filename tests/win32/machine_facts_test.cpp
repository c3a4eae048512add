// The machine facts the offer checks read, from the real ports under Wine.
#include <windows.h>

#include <algorithm>
#include <cwctype>

#include <gtest/gtest.h>

#include "real_ports.h"

namespace tessary {
namespace {

std::wstring Lower(std::wstring text) {
    for (auto& c : text) c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

TEST(MachineFacts, MemoryDiskDesktopAndWidth) {
    testing::RealPorts ports;
    MEMORYSTATUSEX memory{};
    memory.dwLength = sizeof memory;
    ASSERT_TRUE(::GlobalMemoryStatusEx(&memory));
    EXPECT_EQ(platform::System().GetTotalPhysicalMemory().ValueOr(0), memory.ullTotalPhys);

    // The disk check asks about the Desktop folder itself, written with or without its backslash.
    const auto desktop = platform::FileSystem().GetKnownFolder(platform::KnownFolder::Desktop);
    ASSERT_TRUE(desktop) << desktop.GetStatus();
    ASSERT_GE(desktop->size(), 3u);
    EXPECT_GT(platform::FileSystem().GetFreeBytesAvailable(*desktop).ValueOr(0), 0u);
    EXPECT_GT(platform::FileSystem().GetFreeBytesAvailable(*desktop + L"\\").ValueOr(0), 0u);
    EXPECT_GT(platform::FileSystem().GetFreeBytesAvailable(desktop->substr(0, 3)).ValueOr(0), 0u);
    const auto missing = platform::FileSystem().GetFreeBytesAvailable(desktop->substr(0, 3) + L"TessaryNowhere\\");
    EXPECT_TRUE(missing.NotFound()) << missing.GetStatus();

    // Wine for x86-64 is a 64-bit Windows, whichever width this test was built for.
    const auto windows64 = platform::System().IsWindows64Bit();
    ASSERT_TRUE(windows64.Ok()) << windows64.GetStatus();
    EXPECT_TRUE(*windows64);
}

TEST(MachineFacts, ProcessNamesIncludeThisOne) {
    testing::RealPorts ports;
    const auto names = platform::System().GetProcessImageNames();
    ASSERT_TRUE(names) << names.GetStatus();
    std::vector<std::wstring> lower;
    for (const auto& name : *names) lower.push_back(Lower(name));
    EXPECT_NE(std::find(lower.begin(), lower.end(), L"win32_tests.exe"), lower.end());
}

TEST(MachineFacts, ProcessorSpeedOfTheFirstProcessor) {
    testing::RealPorts ports;
    const auto speed = platform::Registry().ReadProcessorSpeed();
    EXPECT_TRUE(speed.keyOpened);
    ASSERT_TRUE(speed.mhz) << speed.mhz.GetStatus();
    EXPECT_GT(*speed.mhz, 0u);
}

}  // namespace
}  // namespace tessary
