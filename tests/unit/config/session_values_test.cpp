#include <gtest/gtest.h>

#include <thread>

#include "config/configuration_manager.h"
#include "config/insertion_ordered_map.h"
#include "fake_ports.h"

namespace tessary {
namespace {

using testing::FakePorts;

constexpr wchar_t kCryptography[] = L"SOFTWARE\\Microsoft\\Cryptography";

BuildConstants DownloadConstants() {
    BuildConstants constants;
    constants.wizardKey = L"DLM";
    return constants;
}

void AddKnownFolders(FakePorts& ports) {
    auto& folders = ports.fileSystem->knownFolders;
    folders[platform::KnownFolder::LocalAppData] = L"C:\\Users\\u\\AppData\\Local";
    folders[platform::KnownFolder::RoamingAppData] = L"C:\\Users\\u\\AppData\\Roaming";
    folders[platform::KnownFolder::ProgramData] = L"C:\\ProgramData";
    folders[platform::KnownFolder::ProgramFilesX86] = L"C:\\Program Files (x86)";
}

TEST(MachineId, ReadsTheGuidAndRetriesWhileItIsMissing) {
    FakePorts ports;
    ConfigurationManager config(DownloadConstants());
    EXPECT_EQ(config.GetMachineId(), "");
    ports.registry->SetString(platform::RegistryRoot::LocalMachine, kCryptography, L"MachineGuid",
                              L"6c1f0e5a-94b3-4e2d-a5d0-0f3b");
    EXPECT_EQ(config.GetMachineId(), "6c1f0e5a-94b3-4e2d-a5d0-0f3b") << "an empty answer is not cached";
    ports.registry->DeleteKey(platform::RegistryRoot::LocalMachine, kCryptography);
    EXPECT_EQ(config.GetMachineId(), "6c1f0e5a-94b3-4e2d-a5d0-0f3b") << "a found one is";
}

TEST(SessionTimestamp, IsLocalTimeOfTheFirstCallAndStaysFixed) {
    FakePorts ports;
    ports.clock->nowMs = 1'765'271'045'999;  // 2025-12-09 09:04:05.999 UTC
    ports.clock->utcOffsetSeconds = 3600;
    ConfigurationManager config(DownloadConstants());
    EXPECT_EQ(config.GetSessionTimestamp(), "20251209100405");
    ports.clock->Advance(60'000);
    EXPECT_EQ(config.GetSessionTimestamp(), "20251209100405");
    EXPECT_EQ(config.GetTimestampMs(), "1765271105999") << "milliseconds are never cached";
}

TEST(SessionTimestamp, FailedConversionGivesEmptyAndIsTriedAgain) {
    FakePorts ports;
    ports.clock->localTimeFails = true;
    ConfigurationManager config(DownloadConstants());
    EXPECT_EQ(config.GetSessionTimestamp(), "");
    ports.clock->localTimeFails = false;
    EXPECT_EQ(config.GetSessionTimestamp().size(), 14u);
}

TEST(SessionValues, FirstComputationFromTwoThreadsGivesOneValue) {
    FakePorts ports;
    ports.clock->advanceOnRead = true;
    ports.registry->SetString(platform::RegistryRoot::LocalMachine, kCryptography, L"MachineGuid", L"guid");
    ConfigurationManager config(DownloadConstants());
    std::string fromWorker;
    std::thread worker([&] { fromWorker = config.GetSessionTimestamp() + config.GetMachineId(); });
    const std::string fromHere = config.GetSessionTimestamp() + config.GetMachineId();
    worker.join();
    EXPECT_EQ(fromWorker, fromHere);
    EXPECT_EQ(config.GetPathPlaceholders().size(), 5u);
}

TEST(PathPlaceholders, ThirtyTwoBitWindowsResolvesCommonProgramFilesThroughItsOnlyFolder) {
    FakePorts ports;
    AddKnownFolders(ports);
    ports.system->environment[L"ProgramW6432"] = L"C:\\Program Files";  // ignored without WOW64
    ConfigurationManager config(DownloadConstants());

    const auto table = config.GetPathPlaceholders();
    std::vector<std::wstring> names;
    for (const auto& [name, value] : table) names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"commonpf", L"localappdata", L"commonappdata", L"programdata",
                                                L"commonpf32"}));
    EXPECT_TRUE(config.m_pathPlaceholders64.empty());
    EXPECT_TRUE(config.m_placeholdersReady);
    EXPECT_EQ(ExpandBracedPlaceholders<std::wstring>(L"{commonpf}\\App\\app.exe", table),
              L"C:\\Program Files (x86)\\App\\app.exe");
    EXPECT_EQ(ExpandBracedPlaceholders<std::wstring>(L"{commonpf64}\\x", table), L"{commonpf64}\\x");
    EXPECT_EQ(*table.Find(L"commonappdata"), L"C:\\Users\\u\\AppData\\Roaming") << "the user's roaming folder";
}

TEST(PathPlaceholders, Wow64AddsTheSixtyFourBitFolderOnlyWhenTheVariableIsSet) {
    FakePorts ports;
    AddKnownFolders(ports);
    ports.system->wow64 = true;
    {
        ConfigurationManager config(DownloadConstants());
        const auto table = config.GetPathPlaceholders();
        EXPECT_FALSE(table.Contains(L"commonpf64"));
        EXPECT_EQ(ExpandBracedPlaceholders<std::wstring>(L"{commonpf}\\a", table), L"{commonpf64}\\a");
    }
    ports.system->environment[L"ProgramW6432"] = L"C:\\Program Files";
    ConfigurationManager config(DownloadConstants());
    const auto table = config.GetPathPlaceholders();
    EXPECT_EQ(*config.m_pathPlaceholders64.Find(L"commonpf64"), L"C:\\Program Files");
    EXPECT_EQ(ExpandBracedPlaceholders<std::wstring>(L"{commonpf}\\a", table), L"C:\\Program Files\\a");
    EXPECT_EQ(ExpandBracedPlaceholders<std::wstring>(L"{commonpf64}\\a", table), L"C:\\Program Files\\a");
    EXPECT_EQ(ExpandBracedPlaceholders<std::wstring>(L"{commonpf32}\\a", table), L"C:\\Program Files (x86)\\a");
}

TEST(PathPlaceholders, ASystemThatCannotTellItsBitnessGetsTheThirtyTwoBitFolders) {
    FakePorts ports;
    AddKnownFolders(ports);
    ports.system->wow64 = true;
    ports.system->wow64Failure = 6;  // ERROR_INVALID_HANDLE
    ports.system->environment[L"ProgramW6432"] = L"C:\\Program Files";
    ConfigurationManager config(DownloadConstants());
    const auto table = config.GetPathPlaceholders();
    EXPECT_EQ(ExpandBracedPlaceholders<std::wstring>(L"{commonpf}\\a", table), L"C:\\Program Files (x86)\\a");
    EXPECT_FALSE(table.Contains(L"commonpf64"));
    EXPECT_TRUE(config.m_pathPlaceholders64.empty());
}

TEST(PathPlaceholders, UnresolvedFolderStillHasItsEntry) {
    FakePorts ports;
    ConfigurationManager config(DownloadConstants());
    const auto table = config.GetPathPlaceholders();
    ASSERT_TRUE(table.Contains(L"programdata"));
    EXPECT_EQ(*table.Find(L"programdata"), L"");
}

TEST(ExpansionRule, ReplacesEveryOccurrenceInTableOrderAndKeepsUnknownNames) {
    InsertionOrderedMap<std::wstring, std::wstring> table;
    table.Insert(L"a", L"{b}-{a}");  // its own name in its value is not searched again
    table.Insert(L"b", L"B");
    EXPECT_FALSE(table.Insert(L"a", L"other")) << "insertion never replaces";
    EXPECT_EQ(ExpandBracedPlaceholders<std::wstring>(L"{a}|{a}|{c}|{b", table), L"B-{a}|B-{a}|{c}|{b");

    InsertionOrderedMap<std::wstring, std::wstring> reversed;
    reversed.Insert(L"b", L"B");
    reversed.Insert(L"a", L"{b}");
    EXPECT_EQ(ExpandBracedPlaceholders<std::wstring>(L"{a}", reversed), L"{b}") << "earlier entries do not see later text";
}

}  // namespace
}  // namespace tessary
