#include <gtest/gtest.h>

#include <algorithm>

#include "fake_ports.h"
#include "install/zip_extractor.h"
#include "zip_builder.h"

namespace tessary {
namespace {

using testing::BuildZip;
using testing::ZipItem;

constexpr wchar_t kArchive[] = L"C:\\T\\pack.zip";
constexpr wchar_t kTarget[] = L"C:\\T\\pack";

class ZipExtractorTest : public ::testing::Test {
protected:
    ZipExtractorTest() {
        files().AddDirectory(L"C:\\T");
        files().AddDirectory(kTarget);
    }

    testing::FakeFileSystem& files() { return *ports.fileSystem; }

    ZipExtraction Extract(const std::string& archive, const ZipLimits& limits = {}) {
        files().AddFile(kArchive, archive);
        return ExtractZip(kArchive, kTarget, limits);
    }

    // Every file and folder there is now, other than the archive and the folders made here.
    std::vector<std::wstring> Written() const {
        std::vector<std::wstring> paths;
        for (const auto& file : ports.fileSystem->files) {
            if (file != kArchive) paths.push_back(file);
        }
        for (const auto& folder : ports.fileSystem->directories) {
            if (folder != L"C:\\T" && folder != kTarget) paths.push_back(folder + L"\\");
        }
        std::sort(paths.begin(), paths.end());
        return paths;
    }

    std::string Diagnostics() const {
        std::string all;
        for (const auto& line : ports.diagnostics->Texts(platform::DiagnosticTarget::Debugger)) all += line + "\n";
        return all;
    }

    testing::FakePorts ports;
};

TEST_F(ZipExtractorTest, StoredAndDeflatedFilesInNestedFolders) {
    const auto result = Extract(BuildZip({
        {.name = "setup.exe", .data = "MZ stored", .method = 0},
        {.name = "data/", .data = ""},
        {.name = "data/lang/en.txt", .data = std::string(5000, 'e')},
        {.name = "data\\lang\\de.txt", .data = "deutsch"},
        {.name = "./docs/readme.txt", .data = "read me", .method = 0},
        {.name = "empty.txt", .data = ""},
    }));
    EXPECT_TRUE(result.readable);
    EXPECT_EQ(result.written, 5u);
    EXPECT_EQ(result.skipped, 0u);
    EXPECT_EQ(result.failed, 0u);
    EXPECT_EQ(files().Content(L"C:\\T\\pack\\setup.exe"), "MZ stored");
    EXPECT_EQ(files().Content(L"C:\\T\\pack\\data\\lang\\en.txt"), std::string(5000, 'e'));
    EXPECT_EQ(files().Content(L"C:\\T\\pack\\data\\lang\\de.txt"), "deutsch");
    EXPECT_EQ(files().Content(L"C:\\T\\pack\\docs\\readme.txt"), "read me");
    EXPECT_EQ(files().Content(L"C:\\T\\pack\\empty.txt"), "");
    EXPECT_TRUE(files().IsDirectory(L"C:\\T\\pack\\data\\lang"));
}

TEST_F(ZipExtractorTest, LargeEntriesComeWholeWhateverTheirRatio) {
    // Larger than one buffer on either side. The zeros pack so tightly that their whole input is
    // taken in while output is still pending inside zlib at a buffer's end.
    std::string zeros((3 << 16) + 100, '\0');
    std::string mixed;
    for (unsigned i = 0; mixed.size() < (1u << 20); ++i) mixed += std::to_string(i * 2654435761u);
    const auto result = Extract(BuildZip({{.name = "zeros.bin", .data = zeros}, {.name = "mixed.bin", .data = mixed}}));
    EXPECT_EQ(result.written, 2u) << Diagnostics();
    // Compared whole but not printed: a difference would fill the screen.
    EXPECT_TRUE(files().Content(L"C:\\T\\pack\\zeros.bin") == zeros);
    EXPECT_TRUE(files().Content(L"C:\\T\\pack\\mixed.bin") == mixed);
}

TEST_F(ZipExtractorTest, NamesThatLeaveTheFolderAreSkippedAndTheRestUnpacked) {
    const auto result = Extract(BuildZip({
        {.name = "../evil.exe", .data = "MZ"},
        {.name = "..\\evil2.exe", .data = "MZ"},
        {.name = "/abs.exe", .data = "MZ"},
        {.name = "\\abs2.exe", .data = "MZ"},
        {.name = "C:evil.exe", .data = "MZ"},
        {.name = "C:\\evil3.exe", .data = "MZ"},
        {.name = "a\\..\\..\\b.exe", .data = "MZ"},
        {.name = "a/../b.exe", .data = "MZ"},
        {.name = "sub/.../c.exe", .data = "MZ"},
        {.name = "setup.exe:hidden", .data = "MZ"},
        {.name = "nul.exe", .data = "MZ"},
        {.name = "sub/COM1", .data = "MZ"},
        {.name = "", .data = "MZ"},
        {.name = "setup.exe", .data = "MZ good"},
    }));
    EXPECT_TRUE(result.readable);
    EXPECT_EQ(result.written, 1u);
    EXPECT_EQ(result.skipped, 13u);
    EXPECT_EQ(Written(), std::vector<std::wstring>{L"C:\\T\\pack\\setup.exe"});
    EXPECT_NE(Diagnostics().find("Archive entry ../evil.exe: refused"), std::string::npos) << Diagnostics();
    EXPECT_NE(Diagnostics().find("Archive entry a\\..\\..\\b.exe: refused"), std::string::npos) << Diagnostics();
}

TEST_F(ZipExtractorTest, WhatWindowsWouldChangeInANameIsEvenedOut) {
    const auto result = Extract(BuildZip({{.name = "setup.exe. ", .data = "MZ"}, {.name = "a?b.txt", .data = "x"}}));
    EXPECT_EQ(result.written, 2u);
    EXPECT_EQ(Written(), (std::vector<std::wstring>{L"C:\\T\\pack\\a_b.txt", L"C:\\T\\pack\\setup.exe"}));
}

TEST_F(ZipExtractorTest, NamesAreUtf8OnlyWhenTheArchiveSaysSo) {
    const auto result = Extract(BuildZip({
        {.name = "\x8Dnstall\x82.exe", .data = "437"},  // code page 437: ì, é
        {.name = "\xC3\xBC"
                 "ber.exe",
         .data = "utf8",
         .flags = 0x0800},  // ü
    }));
    EXPECT_EQ(result.written, 2u);
    EXPECT_EQ(files().Content(L"C:\\T\\pack\\\u00ECnstall\u00E9.exe"), "437");
    EXPECT_EQ(files().Content(L"C:\\T\\pack\\\u00FCber.exe"), "utf8");
}

TEST_F(ZipExtractorTest, ABadChecksumOrAShortEntryLeavesNoFile) {
    const std::string program(100000, 'p');
    const std::string packed = testing::RawDeflate(program);
    const auto result = Extract(BuildZip({
        {.name = "crc.exe", .data = "MZ", .declaredCrc = 0x12345678},
        {.name = "crc-stored.exe", .data = "MZ", .method = 0, .declaredCrc = 1},
        // The deflated stream cut in half: its end never comes.
        {.name = "cut.exe", .data = program, .packed = packed.substr(0, packed.size() / 2)},
        // A stored entry whose sizes disagree.
        {.name = "short.exe", .data = "MZ", .method = 0, .declaredSize = 10},
        {.name = "garbage.exe", .data = "MZ", .packed = std::string(64, '\xFF')},
        {.name = "good.exe", .data = "MZ good"},
    }));
    EXPECT_TRUE(result.readable);
    EXPECT_EQ(result.written, 1u);
    EXPECT_EQ(result.failed, 5u);
    EXPECT_EQ(Written(), std::vector<std::wstring>{L"C:\\T\\pack\\good.exe"});
    EXPECT_NE(Diagnostics().find("crc.exe: failed, checksum mismatch"), std::string::npos) << Diagnostics();
    EXPECT_NE(Diagnostics().find("cut.exe: failed, data ends early"), std::string::npos) << Diagnostics();
}

TEST_F(ZipExtractorTest, AnEntryThatInflatesPastItsDeclaredSizeIsStopped) {
    // A bomb's trick: a small declared size over a stream that unpacks to far more.
    const std::string huge(8 << 20, 'A');
    const auto result = Extract(BuildZip({{.name = "bomb.exe", .data = huge, .declaredSize = 1000},
                                          {.name = "more.exe", .data = "abc", .declaredSize = 100}}));
    EXPECT_EQ(result.failed, 2u);
    EXPECT_EQ(Written(), std::vector<std::wstring>{});
    EXPECT_NE(Diagnostics().find("bomb.exe: failed, more data than declared"), std::string::npos) << Diagnostics();
    EXPECT_NE(Diagnostics().find("more.exe: failed, less data than declared"), std::string::npos) << Diagnostics();
}

TEST_F(ZipExtractorTest, DeclaringMoreThanTheLimitsRefusesTheArchive) {
    const auto archive =
        BuildZip({{.name = "a.exe", .data = std::string(600, 'a')}, {.name = "b.exe", .data = std::string(600, 'b')}});
    EXPECT_FALSE(Extract(archive, ZipLimits{.maxEntries = 10, .maxTotalSize = 1000}).readable);
    EXPECT_FALSE(Extract(archive, ZipLimits{.maxEntries = 1, .maxTotalSize = 1 << 20}).readable);
    EXPECT_EQ(Written(), std::vector<std::wstring>{});
    EXPECT_NE(Diagnostics().find("refused, it declares more data than is unpacked"), std::string::npos);
    const auto result = Extract(archive, ZipLimits{.maxEntries = 2, .maxTotalSize = 1200});
    EXPECT_TRUE(result.readable);
    EXPECT_EQ(result.written, 2u);
}

TEST_F(ZipExtractorTest, EncryptedEntriesAndOtherMethodsAreSkipped) {
    const auto result = Extract(BuildZip({
        {.name = "locked.exe", .data = "MZ", .method = 0, .flags = 0x0001},
        {.name = "bzip2.exe", .data = "BZh", .method = 12},
        {.name = "setup.exe", .data = "MZ"},
    }));
    EXPECT_TRUE(result.readable);
    EXPECT_EQ(result.skipped, 2u);
    EXPECT_EQ(Written(), std::vector<std::wstring>{L"C:\\T\\pack\\setup.exe"});
}

TEST_F(ZipExtractorTest, ADamagedArchiveWritesNothing) {
    const auto good = BuildZip({{.name = "setup.exe", .data = "MZ"}, {.name = "b.txt", .data = "b"}}, "comment");
    EXPECT_TRUE(Extract(good).readable);
    files().files.erase(L"C:\\T\\pack\\setup.exe");
    files().files.erase(L"C:\\T\\pack\\b.txt");

    std::vector<std::string> damaged;
    damaged.push_back(good.substr(0, good.size() / 2));   // cut short: its directory is gone
    damaged.push_back(good.substr(0, good.size() - 10));  // the end record cut
    damaged.push_back(std::string("PK\x03\x04", 4));
    std::string wrongLocal = good;
    wrongLocal[wrongLocal.find("PK\x03\x04", 1)] = 'X';  // the second entry's local header
    damaged.push_back(wrongLocal);
    std::string directoryPastEnd = good;
    directoryPastEnd[good.size() - 7 - 3] = '\x7F';  // the directory's offset, high byte
    damaged.push_back(directoryPastEnd);
    std::string fewerRecords = good;
    fewerRecords[good.size() - 7 - 12] = 3;  // three entries on the disk and in all, two records
    fewerRecords[good.size() - 7 - 14] = 3;
    damaged.push_back(fewerRecords);
    std::string zip64 = good;
    for (int i = 0; i < 4; ++i) zip64[good.size() - 7 - 6 + i] = '\xFF';  // the offset a 64-bit record would hold
    damaged.push_back(zip64);

    for (std::size_t i = 0; i < damaged.size(); ++i) {
        const auto result = Extract(damaged[i]);
        EXPECT_FALSE(result.readable) << i;
        EXPECT_EQ(Written(), std::vector<std::wstring>{}) << i;
    }
}

TEST_F(ZipExtractorTest, ExistingFilesAreReplacedAFolderInTheWayFailsTheEntry) {
    files().AddFile(L"C:\\T\\pack\\setup.exe", "old");
    files().AddDirectory(L"C:\\T\\pack\\tool.exe");
    files().AddFile(L"C:\\T\\pack\\lib");
    const auto result = Extract(BuildZip({{.name = "setup.exe", .data = "new"},
                                          {.name = "tool.exe", .data = "MZ"},
                                          {.name = "lib/x.dll", .data = "MZ"}}));
    EXPECT_EQ(result.written, 1u);
    EXPECT_EQ(result.failed, 2u);
    EXPECT_EQ(files().Content(L"C:\\T\\pack\\setup.exe"), "new");
    EXPECT_EQ(files().Content(L"C:\\T\\pack\\lib"), "");
}

TEST_F(ZipExtractorTest, NothingIsWrittenThroughALink) {
    // A junction as one of the archive's folders, a link in a file's place.
    files().AddDirectory(L"C:\\T\\pack\\bin");
    files().links.insert(L"C:\\T\\pack\\bin");
    files().AddFile(L"C:\\T\\pack\\setup.exe", "elsewhere");
    files().links.insert(L"C:\\T\\pack\\setup.exe");
    const auto result = Extract(BuildZip({{.name = "bin/tool.exe", .data = "MZ"},
                                          {.name = "setup.exe", .data = "MZ"},
                                          {.name = "readme.txt", .data = "hi"}}));
    EXPECT_EQ(result.written, 1u);
    EXPECT_EQ(result.failed, 2u);
    EXPECT_FALSE(files().PathExists(L"C:\\T\\pack\\bin\\tool.exe"));
    EXPECT_EQ(files().Content(L"C:\\T\\pack\\setup.exe"), "elsewhere");

    // The unpacking folder itself a junction: nothing at all.
    files().links.insert(kTarget);
    EXPECT_EQ(Extract(BuildZip({{.name = "readme.txt", .data = "hi"}})).written, 0u);
}

TEST_F(ZipExtractorTest, AFileThatCannotBeWrittenWholeIsDeleted) {
    files().diskSpace = 1000;
    const auto result = Extract(BuildZip(
        {{.name = "big.exe", .data = std::string(5000, 'x')}, {.name = "small.exe", .data = std::string(500, 'y')}}));
    EXPECT_EQ(result.failed, 1u);
    EXPECT_EQ(Written(), std::vector<std::wstring>{L"C:\\T\\pack\\small.exe"});
}

TEST_F(ZipExtractorTest, AnArchiveThatCannotBeOpenedIsNotReadable) {
    files().unreadableFiles.insert(kArchive);
    EXPECT_FALSE(Extract(BuildZip({{.name = "setup.exe", .data = "MZ"}})).readable);
    EXPECT_EQ(Written(), std::vector<std::wstring>{});
}

}  // namespace
}  // namespace tessary
