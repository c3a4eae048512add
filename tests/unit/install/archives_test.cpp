#include <gtest/gtest.h>

#include "fake_ports.h"
#include "install/archives.h"
#include "zip_builder.h"

namespace tessary {
namespace {

TEST(DetectArchiveType, ReadsTheSignatureOfTheFirstBytes) {
    testing::FakePorts ports;
    auto& files = *ports.fileSystem;
    files.AddFile(L"C:\\T\\a.7z", std::string("7z\xBC\xAF\x27\x1C", 6) + "rest");
    files.AddFile(L"C:\\T\\b.zip", std::string("PK\x03\x04", 4) + "rest");
    files.AddFile(L"C:\\T\\zip-only.bin", std::string("PK\x03\x04", 4));
    files.AddFile(L"C:\\T\\setup.exe", std::string("MZ\x90\x00\x03\x00", 6));
    files.AddFile(L"C:\\T\\spanned.zip", std::string("PK\x07\x08", 4));
    files.AddFile(L"C:\\T\\empty.exe");
    files.AddFile(L"C:\\T\\held.zip", std::string("PK\x03\x04", 4));
    files.unreadableFiles.insert(L"C:\\T\\held.zip");

    EXPECT_EQ(DetectArchiveType(L"C:\\T\\a.7z"), kSevenZipArchive);
    EXPECT_EQ(DetectArchiveType(L"C:\\T\\b.zip"), kZipArchive);
    EXPECT_EQ(DetectArchiveType(L"C:\\T\\zip-only.bin"), kZipArchive);
    EXPECT_EQ(DetectArchiveType(L"C:\\T\\setup.exe"), kNotAnArchive);
    EXPECT_EQ(DetectArchiveType(L"C:\\T\\spanned.zip"), kNotAnArchive);
    EXPECT_EQ(DetectArchiveType(L"C:\\T\\empty.exe"), kNotAnArchive);
    EXPECT_EQ(DetectArchiveType(L"C:\\T\\held.zip"), kNotAnArchive);
    EXPECT_EQ(DetectArchiveType(L"C:\\T\\missing.zip"), kNotAnArchive);
}

TEST(DetectArchiveType, ShortFilesMatchNothingTheyDoNotHold) {
    testing::FakePorts ports;
    auto& files = *ports.fileSystem;
    // Five of the six 7z bytes, then nothing: the zeroed rest cannot complete the signature.
    files.AddFile(L"C:\\T\\cut.7z", std::string("7z\xBC\xAF\x27", 5));
    files.AddFile(L"C:\\T\\cut.zip", "PK\x03");
    files.AddFile(L"C:\\T\\a", "P");
    EXPECT_EQ(DetectArchiveType(L"C:\\T\\cut.7z"), kNotAnArchive);
    EXPECT_EQ(DetectArchiveType(L"C:\\T\\cut.zip"), kNotAnArchive);
    EXPECT_EQ(DetectArchiveType(L"C:\\T\\a"), kNotAnArchive);
}

TEST(MakeExtractionFolder, TheArchivesNameWithoutItsLastExtension) {
    testing::FakePorts ports;
    auto& files = *ports.fileSystem;
    files.AddDirectory(L"C:\\T\\ISV1A.tmp");
    EXPECT_EQ(MakeExtractionFolder(L"C:\\T\\ISV1A.tmp\\pack.zip", L"C:\\T\\ISV1A.tmp"), L"C:\\T\\ISV1A.tmp\\pack");
    EXPECT_TRUE(files.IsDirectory(L"C:\\T\\ISV1A.tmp\\pack"));
    EXPECT_EQ(MakeExtractionFolder(L"C:\\D\\my.setup.v2.zip", L"C:\\T\\ISV1A.tmp"), L"C:\\T\\ISV1A.tmp\\my.setup.v2");
    EXPECT_EQ(MakeExtractionFolder(L"C:\\D\\noext", L"C:\\T\\ISV1A.tmp"), L"C:\\T\\ISV1A.tmp\\noext");
    // The dot of a folder on the way does not count: only the file name is looked at.
    EXPECT_EQ(MakeExtractionFolder(L"C:\\D.x\\pack", L"C:\\T\\ISV1A.tmp"), L"C:\\T\\ISV1A.tmp\\pack");
}

TEST(MakeExtractionFolder, AnExistingFolderIsTakenAFailureGivesTheParent) {
    testing::FakePorts ports;
    auto& files = *ports.fileSystem;
    files.AddDirectory(L"C:\\T");
    files.AddDirectory(L"C:\\T\\pack");
    EXPECT_EQ(MakeExtractionFolder(L"C:\\T\\pack.zip", L"C:\\T"), L"C:\\T\\pack");

    files.uncreatableDirectories.insert(L"C:\\T\\locked");
    EXPECT_EQ(MakeExtractionFolder(L"C:\\T\\locked.zip", L"C:\\T"), L"C:\\T");
    EXPECT_FALSE(files.IsDirectory(L"C:\\T\\locked"));

    // A junction in the folder's place leads elsewhere.
    files.AddDirectory(L"C:\\T\\linked");
    files.links.insert(L"C:\\T\\linked");
    EXPECT_EQ(MakeExtractionFolder(L"C:\\T\\linked.zip", L"C:\\T"), L"C:\\T");

    // An archive without an extension would unpack into itself.
    files.AddFile(L"C:\\T\\get");
    EXPECT_EQ(MakeExtractionFolder(L"C:\\T\\get", L"C:\\T"), L"C:\\T");

    // Without a backslash there is no name: the parent itself, which exists.
    EXPECT_EQ(MakeExtractionFolder(L"pack.zip", L"C:\\T"), L"C:\\T");
}

TEST(FindFirstExe, FirstByNameIgnoringCaseAndNeverAFolder) {
    testing::FakePorts ports;
    auto& files = *ports.fileSystem;
    files.AddDirectory(L"C:\\X");
    files.AddDirectory(L"C:\\X\\a.exe");  // a folder with a program's name
    files.AddFile(L"C:\\X\\Zeta.EXE");
    files.AddFile(L"C:\\X\\beta.Exe");
    files.AddFile(L"C:\\X\\Alpha.txt");
    files.AddFile(L"C:\\X\\alpha.exe.txt");
    files.AddFile(L"C:\\X\\Setup.exe");
    // The fake lists in byte order, where "Setup.exe" and "Zeta.EXE" come before "beta.Exe".
    EXPECT_EQ(FindFirstExe(L"C:\\X"), L"beta.Exe");

    files.AddDirectory(L"C:\\Y");
    files.AddDirectory(L"C:\\Y\\only.exe");
    files.AddFile(L"C:\\Y\\readme.txt");
    EXPECT_EQ(FindFirstExe(L"C:\\Y"), L"");
    EXPECT_EQ(FindFirstExe(L"C:\\missing"), L"");
}

TEST(FindFirstExe, NamesThatDifferInCaseOnlyComeInAFixedOrder) {
    testing::FakePorts ports;
    auto& files = *ports.fileSystem;
    files.AddDirectory(L"C:\\X");
    files.AddFile(L"C:\\X\\setup.exe");
    files.AddFile(L"C:\\X\\SETUP.exe");
    EXPECT_EQ(FindFirstExe(L"C:\\X"), L"SETUP.exe");
}

class ExtractArchiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        files().AddDirectory(L"C:\\T");
        files().AddFile(L"C:\\T\\pack.zip", testing::BuildZip({{.name = "setup.exe", .data = "MZ program"},
                                                               {.name = "readme.txt", .data = "hello"}}));
    }
    testing::FakeFileSystem& files() { return *ports.fileSystem; }

    testing::FakePorts ports;
};

TEST_F(ExtractArchiveTest, OnlyZipArchivesAreUnpacked) {
    EXPECT_EQ(ExtractArchive(L"C:\\T\\pack.zip", kSevenZipArchive, L"C:\\T"), L"C:\\T\\pack.zip");
    EXPECT_EQ(ExtractArchive(L"C:\\T\\pack.zip", kNotAnArchive, L"C:\\T"), L"C:\\T\\pack.zip");
    EXPECT_FALSE(files().PathExists(L"C:\\T\\pack"));
    EXPECT_TRUE(files().shellUnzips.empty());
}

TEST_F(ExtractArchiveTest, TheShellFirstAndItsProgramWhenItFindsOne) {
    files().shellUnzip = [](testing::FakeFileSystem& fs, const std::wstring&, const std::wstring& folder) {
        fs.AddFile(folder + L"\\from-shell.exe", "MZ");
        return true;
    };
    EXPECT_EQ(ExtractArchive(L"C:\\T\\pack.zip", kZipArchive, L"C:\\T"), L"C:\\T\\pack\\from-shell.exe");
    EXPECT_EQ(files().shellUnzips,
              (std::vector<std::pair<std::wstring, std::wstring>>{{L"C:\\T\\pack.zip", L"C:\\T\\pack"}}));
    // The program's own unpacker did not run.
    EXPECT_FALSE(files().PathExists(L"C:\\T\\pack\\setup.exe"));
}

TEST_F(ExtractArchiveTest, WhenTheShellFailsOrUnpacksNothingTheOwnUnpackerRuns) {
    // No shell that opens archives (as under Wine).
    EXPECT_EQ(ExtractArchive(L"C:\\T\\pack.zip", kZipArchive, L"C:\\T"), L"C:\\T\\pack\\setup.exe");
    EXPECT_EQ(files().Content(L"C:\\T\\pack\\setup.exe"), "MZ program");
    EXPECT_EQ(files().Content(L"C:\\T\\pack\\readme.txt"), "hello");

    // A shell that says yes but leaves no program behind.
    files().AddFile(L"C:\\T\\other.zip", testing::BuildZip({{.name = "docs/readme.txt", .data = "."},
                                                            {.name = "Install.EXE", .data = "MZ"}}));
    files().shellUnzip = [](testing::FakeFileSystem&, const std::wstring&, const std::wstring&) { return true; };
    EXPECT_EQ(ExtractArchive(L"C:\\T\\other.zip", kZipArchive, L"C:\\T"), L"C:\\T\\other\\Install.EXE");
}

TEST_F(ExtractArchiveTest, AnArchiveWithAnEntryThatLeavesItsFolderNeverGoesToTheShell) {
    files().shellUnzip = [](testing::FakeFileSystem& fs, const std::wstring&, const std::wstring& folder) {
        fs.AddFile(folder + L"\\from-shell.exe", "MZ");
        return true;
    };
    files().AddFile(L"C:\\T\\evil.zip", testing::BuildZip({{.name = "..\\..\\evil.exe", .data = "MZ"},
                                                           {.name = "setup.exe", .data = "MZ program"}}));
    EXPECT_EQ(ExtractArchive(L"C:\\T\\evil.zip", kZipArchive, L"C:\\T"), L"C:\\T\\evil\\setup.exe");
    EXPECT_TRUE(files().shellUnzips.empty());
    EXPECT_FALSE(files().PathExists(L"C:\\evil.exe"));
}

TEST_F(ExtractArchiveTest, WithoutAProgramOrAReadableArchiveTheFileItselfIsStarted) {
    files().AddFile(L"C:\\T\\docs.zip", testing::BuildZip({{.name = "readme.txt", .data = "no program"}}));
    EXPECT_EQ(ExtractArchive(L"C:\\T\\docs.zip", kZipArchive, L"C:\\T"), L"C:\\T\\docs.zip");

    files().AddFile(L"C:\\T\\broken.zip", std::string("PK\x03\x04", 4) + "not an archive");
    EXPECT_EQ(ExtractArchive(L"C:\\T\\broken.zip", kZipArchive, L"C:\\T"), L"C:\\T\\broken.zip");
    EXPECT_TRUE(files().IsDirectoryEmpty(L"C:\\T\\broken"));
}

TEST_F(ExtractArchiveTest, AFolderThatCannotBeMadeUnpacksIntoTheParent) {
    files().uncreatableDirectories.insert(L"C:\\T\\pack");
    EXPECT_EQ(ExtractArchive(L"C:\\T\\pack.zip", kZipArchive, L"C:\\T"), L"C:\\T\\setup.exe");
}

}  // namespace
}  // namespace tessary
