// The offer's demands on disk space, memory, processor, Windows version, program version and
// 64-bit Windows.
#include "offer_checker_fixture.h"

namespace tessary::testing {
namespace {

constexpr std::uint64_t kMiB = 1ull << 20;
constexpr const wchar_t* kDesktop = L"\\\\server\\home\\user\\Desktop";

class MachineChecks : public OfferCheckerTest {
protected:
    MachineChecks() {
        ports.fileSystem->knownFolders[platform::KnownFolder::Desktop] = kDesktop;
        ports.fileSystem->freeBytes = {{kDesktop, 1000 * kMiB + kMiB - 1}};
        ports.system->totalPhysicalMemory = 2048 * kMiB;
        ports.registry->SetDword(platform::RegistryRoot::LocalMachine,
                                 L"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0", L"~MHz", 1400,
                                 platform::RegistryView::Force64);
    }
};

TEST_F(MachineChecks, AbsentRequirementsAskNothing) {
    ports.fileSystem->freeBytes.clear();
    ports.system->memoryFailure = 5;
    EXPECT_EQ(ReasonFor({{"disk", 0}, {"ram", 0}, {"cpu", 0}, {"ov", 0}, {"pv", ""}}), "");
    EXPECT_EQ(Accepted().size(), 1u);
    EXPECT_EQ(ports.fileSystem->freeSpaceReads, 0);
    EXPECT_EQ(ports.system->memoryReads, 0);
}

TEST_F(MachineChecks, DiskSpaceOfTheDesktopFolderItselfWithItsBoundary) {
    EXPECT_EQ(ReasonFor({{"disk", 1000}}), "");
    EXPECT_EQ(ReasonFor({{"disk", 1001}}), "NOT ENOUGH DISK SPACE");
    EXPECT_EQ(ports.fileSystem->freeSpaceReads, 1);  // read once per evaluation
}

TEST_F(MachineChecks, AFailedDiskReadRejectsWithItsCodeAndIsTriedAgain) {
    ports.fileSystem->freeBytes.clear();
    EXPECT_EQ(ReasonFor({{"disk", 1}}), "DISK SPACE CHECK FAILED 3");
    ports.fileSystem->freeBytes = {{kDesktop, 5 * kMiB}};
    EXPECT_EQ(ReasonFor({{"disk", 1}}), "");
    EXPECT_EQ(ports.fileSystem->freeSpaceReads, 2);
}

TEST_F(MachineChecks, MemoryWithAFailedReadTriedAgain) {
    ports.system->memoryFailure = 5;
    EXPECT_EQ(ReasonFor({{"ram", 100}}), "RAM CHECK FAILED 5");
    ports.system->memoryFailure = 0;
    EXPECT_EQ(ReasonFor({{"ram", 2048}}), "");
    EXPECT_EQ(ReasonFor({{"ram", 2049}}), "NOT ENOUGH RAM");
    EXPECT_EQ(ports.system->memoryReads, 2);
}

TEST_F(MachineChecks, ProcessorSpeedAndItsTwoFailures) {
    EXPECT_EQ(ReasonFor({{"x", 3}}), "NOT ENOUGH CPU");  // 1500 MHz wanted, 1400 there
    EXPECT_EQ(ReasonFor({{"cpu", 1400}}), "");
}

TEST_F(MachineChecks, AProcessorKeyThatCannotBeOpened) {
    ports.registry->DeleteKey(platform::RegistryRoot::LocalMachine, L"HARDWARE\\DESCRIPTION\\System\\CentralProcessor",
                              platform::RegistryView::Force64);
    EXPECT_EQ(ReasonFor({{"cpu", 1}}), "CPU CHECK FAILED: Couldn't open registry");
}

TEST_F(MachineChecks, AProcessorValueThatCannotBeRead) {
    ports.registry->SetString(platform::RegistryRoot::LocalMachine,
                              L"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0", L"~MHz", L"fast",
                              platform::RegistryView::Force64);
    EXPECT_EQ(ReasonFor({{"cpu", 1}}), "CPU CHECK FAILED: Couldn't read value");
}

TEST_F(MachineChecks, WindowsVersionCodes) {
    ports.system->osVersion = platform::OsVersion{10, 0, 22631};
    EXPECT_EQ(ReasonFor({{"ov", 100}}), "");
    EXPECT_EQ(ReasonFor({{"ov", 61}}), "");
    EXPECT_EQ(ReasonFor({{"ov", -1}}), "");
    EXPECT_EQ(ReasonFor({{"ov", 64}}), "UNSUPPORTED OS VERSION");
    ports.system->osVersion = platform::OsVersion{6, 1, 7601};
    EXPECT_EQ(ReasonFor({{"ov", 62}}), "UNSUPPORTED OS VERSION");
    EXPECT_EQ(ReasonFor({{"ov", 61}}), "");
}

TEST_F(MachineChecks, ProgramVersionComparedComponentByComponent) {
    config->m_version = L"3.2.4.2137";
    for (const char* passing : {"3.2", "3.1.9", "3.2.4.2137.5", "3..2", "3.2.4.2137", "3.2.x5.9"}) {
        EXPECT_EQ(ReasonFor({{"pv", passing}}), "") << passing;
    }
    for (const char* failing : {"3.2.4.2138", "3.3", "4", ".3.3."}) {
        EXPECT_EQ(ReasonFor({{"pv", failing}}), "UNSUPPORTED PLATFORM VERSION") << failing;
    }
}

TEST_F(MachineChecks, SixtyFourBitWindowsWhateverTheWidthOfTheProcess) {
    EXPECT_EQ(ReasonFor({{"win64", true}}), "64 BIT OS REQUIRED");
}

TEST_F(MachineChecks, SixtyFourBitWindowsSeenFromAWow64Process) {
    ports.system->wow64 = true;
    EXPECT_EQ(ReasonFor({{"win64", true}}), "");
}

TEST_F(MachineChecks, SixtyFourBitWindowsSeenFromA64BitProcess) {
    ports.system->windows64 = true;
    EXPECT_EQ(ReasonFor({{"x", 10}}), "");
}

}  // namespace
}  // namespace tessary::testing
