// Downloaded archives on a real file system: the shell is asked first (under Wine it unpacks
// nothing), the program's own unpacker does the rest, and a program found inside is started.
#include <windows.h>

#include <gtest/gtest.h>

#include "install/archives.h"
#include "install/run_executable.h"
#include "platform/ports.h"
#include "real_ports.h"
#include "scratch_folder.h"
#include "zip_builder.h"

namespace tessary {
namespace {

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

class ExtractArchiveOnWindows : public ::testing::Test {
protected:
    std::wstring WriteArchive(const std::wstring& name, const std::vector<testing::ZipItem>& items) {
        const std::wstring path = m_folder / name;
        EXPECT_TRUE(testing::WriteWholeFile(path, testing::BuildZip(items)));
        return path;
    }

    testing::RealPorts m_ports;
    testing::ScratchFolder m_folder{L"TessaryArchive"};
};

TEST_F(ExtractArchiveOnWindows, TheProgramInsideIsUnpackedAndStarted) {
    const std::string installer = testing::ReadWholeFile(TESSARY_SAMPLE_INSTALLER);
    ASSERT_FALSE(installer.empty());
    const std::wstring archive = WriteArchive(
        L"pack.zip", {{.name = "docs/readme.txt", .data = "read me"}, {.name = "setup-exit4.exe", .data = installer}});
    ASSERT_EQ(DetectArchiveType(archive), kZipArchive);

    const std::wstring program = ExtractArchive(archive, kZipArchive, m_folder.Path());
    EXPECT_EQ(program, m_folder / L"pack\\setup-exit4.exe");
    EXPECT_TRUE(testing::ReadWholeFile(program) == installer);
    EXPECT_EQ(testing::ReadWholeFile(m_folder / L"pack\\docs\\readme.txt"), "read me");

    const auto result = RunExecutable(program, L"/S", true);
    EXPECT_EQ(result.exitCode, 4u);
    EXPECT_EQ(result.message, L"exit code = 4");
}

TEST_F(ExtractArchiveOnWindows, NothingIsWrittenOutsideTheFolder) {
    const std::wstring archive = WriteArchive(L"evil.zip", {{.name = "../evil.exe", .data = "MZ"},
                                                            {.name = "sub\\..\\..\\evil2.exe", .data = "MZ"},
                                                            {.name = "/evil3.exe", .data = "MZ"},
                                                            {.name = "ok.exe", .data = "MZ ok"}});
    EXPECT_EQ(ExtractArchive(archive, kZipArchive, m_folder.Path()), m_folder / L"evil\\ok.exe");
    EXPECT_FALSE(Exists(m_folder / L"evil.exe"));
    EXPECT_FALSE(Exists(m_folder / L"evil2.exe"));
    EXPECT_FALSE(Exists(m_folder / L"evil\\sub"));
    EXPECT_EQ(testing::ReadWholeFile(m_folder / L"evil\\ok.exe"), "MZ ok");
}

TEST_F(ExtractArchiveOnWindows, WithoutAProgramTheArchiveItselfIsStartedAndFails) {
    const std::wstring archive = WriteArchive(L"docs.zip", {{.name = "readme.txt", .data = "no program"}});
    const std::wstring program = ExtractArchive(archive, kZipArchive, m_folder.Path());
    EXPECT_EQ(program, archive);
    const auto result = RunExecutable(program, L"", false);
    EXPECT_FALSE(result.started);
    EXPECT_TRUE(result.message.starts_with(L"Error launching executable: "));
}

TEST_F(ExtractArchiveOnWindows, TheShellAnswersAndTheSignatureIsRead) {
    const std::wstring archive = WriteArchive(L"shell.zip", {{.name = "a.txt", .data = "a"}});
    const std::wstring target = m_folder / L"shell";
    ASSERT_TRUE(::CreateDirectoryW(target.c_str(), nullptr));
    // Whatever the shell makes of it, it must answer, and a yes must leave the file behind.
    if (platform::FileSystem().UnzipWithShell(archive, target)) {
        for (int i = 0; i < 100 && !Exists(target + L"\\a.txt"); ++i) ::Sleep(50);
        EXPECT_TRUE(Exists(target + L"\\a.txt"));
    }

    const std::wstring sevenZip = m_folder / L"a.7z";
    ASSERT_TRUE(testing::WriteWholeFile(sevenZip, std::string("7z\xBC\xAF\x27\x1C\x00\x04", 8)));
    EXPECT_EQ(DetectArchiveType(sevenZip), kSevenZipArchive);
    EXPECT_EQ(ExtractArchive(sevenZip, kSevenZipArchive, m_folder.Path()), sevenZip);
    EXPECT_EQ(DetectArchiveType(m_folder / L"missing.zip"), kNotAnArchive);
}

TEST_F(ExtractArchiveOnWindows, FilesAreReadAtAnyOffsetUpToTheirEnd) {
    const std::wstring path = m_folder / L"data.bin";
    ASSERT_TRUE(testing::WriteWholeFile(path, "0123456789"));
    auto file = platform::FileSystem().OpenForReading(path);
    ASSERT_TRUE(file);
    EXPECT_EQ((*file)->Size(), 10u);
    char buffer[8] = {};
    EXPECT_EQ((*file)->ReadAt(3, buffer, 4).ValueOr(99), 4u);
    EXPECT_EQ(std::string(buffer, 4), "3456");
    EXPECT_EQ((*file)->ReadAt(7, buffer, 8).ValueOr(99), 3u);
    EXPECT_EQ(std::string(buffer, 3), "789");
    EXPECT_EQ((*file)->ReadAt(10, buffer, 8).ValueOr(99), 0u);
    EXPECT_EQ((*file)->ReadAt(1000, buffer, 8).ValueOr(99), 0u);
    EXPECT_TRUE(platform::FileSystem().OpenForReading(m_folder / L"missing.bin").NotFound());
}

}  // namespace
}  // namespace tessary
