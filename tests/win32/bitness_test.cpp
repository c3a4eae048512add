// What the system does for this process's width: whether it runs under WOW64, and what each
// registry view names as the program files folder. Where the views lead under HKLM\Software is
// part of the registry contract (registry_contract_test.cpp). The test run says through
// TESSARY_EXPECT_WOW64 which kind of run this must be, so a run that quietly started the other
// build, or a prefix without its 32-bit side, fails here.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "platform/ports.h"
#include "real_ports.h"

namespace tessary {
namespace {

using platform::RegistryRoot;
using platform::RegistryView;

bool ProcessIsWow64() {
    BOOL wow64 = FALSE;
    return ::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64;
}

TEST(ProcessBitness, WowSixtyFourOnlyForThirtyTwoBitCodeOnSixtyFourBitWindows) {
    testing::RealPorts ports;
    const bool wow64 = ProcessIsWow64();
    std::printf("bitness: %u-bit process, IsWow64Process %d\n", static_cast<unsigned>(sizeof(void*) * 8), wow64 ? 1 : 0);
    EXPECT_EQ(platform::System().IsWow64().Value(), wow64);
    if (sizeof(void*) == 8) {
        EXPECT_FALSE(wow64) << "a 64-bit process never runs under WOW64";
    } else {
        // Only 64-bit Windows has a folder of 32-bit system files beside its own.
        wchar_t folder[MAX_PATH] = {};
        EXPECT_EQ(wow64, ::GetSystemWow64DirectoryW(folder, MAX_PATH) != 0);
    }
    if (const char* expected = std::getenv("TESSARY_EXPECT_WOW64")) {
        EXPECT_EQ(wow64, std::string(expected) == "1") << "the test run expected TESSARY_EXPECT_WOW64=" << expected;
    }
}

class RegistryViewsTest : public ::testing::Test {
protected:
    testing::RealPorts ports;
};

TEST_F(RegistryViewsTest, ProgramFilesFolderOfEachView) {
    const auto read = [](RegistryView view) -> std::string {
        const auto bytes = platform::Registry().QueryValueNarrow(
            RegistryRoot::LocalMachine, "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir", view, MAX_PATH);
        if (!bytes) return "<missing " + std::to_string(bytes.GetStatus()) + ">";
        std::string text(bytes->begin(), bytes->end());
        text = text.substr(0, text.find('\0'));
        // Windows keeps a plain text here; Wine keeps "%SystemDrive%\..." in the 32-bit view.
        char expanded[MAX_PATH] = {};
        return ::ExpandEnvironmentStringsA(text.c_str(), expanded, MAX_PATH) ? expanded : text;
    };
    // The 64-bit view names the 64-bit folder and the default view is the process's own. A WOW64
    // process also sees the "(x86)" folder in the 32-bit view; a prefix made by 64-bit Wine alone
    // has no 32-bit view to look at.
    const bool wow64 = ProcessIsWow64();
    EXPECT_EQ(read(RegistryView::Force64), "C:\\Program Files");
    EXPECT_EQ(read(RegistryView::Default), wow64 ? "C:\\Program Files (x86)" : "C:\\Program Files");
    if (wow64) {
        EXPECT_EQ(read(RegistryView::Force32), "C:\\Program Files (x86)");
    }
}

}  // namespace
}  // namespace tessary
