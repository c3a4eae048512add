#include <gtest/gtest.h>

#include "encoding/file_names.h"

namespace tessary {
namespace {

TEST(FileNames, FromUrlIsTheLastSegmentWithoutQueryOrFragment) {
    EXPECT_EQ(FileNameFromUrl(L"https://files.test/f/setup.exe?x=1"), L"setup.exe");
    EXPECT_EQ(FileNameFromUrl(L"https://files.test/f/setup.exe#top"), L"setup.exe");
    EXPECT_EQ(FileNameFromUrl(L"https://files.test/a/b/tool.msi"), L"tool.msi");
    // A query may itself hold slashes; they cannot choose the name.
    EXPECT_EQ(FileNameFromUrl(L"https://files.test/f/get?name=a/b.exe"), L"get");
    EXPECT_EQ(FileNameFromUrl(L"https://files.test/f/setup.exe#a/b"), L"setup.exe");
    EXPECT_EQ(FileNameFromUrl(L"https://files.test/f/"), L"");
    EXPECT_EQ(FileNameFromUrl(L"setup.exe"), L"");
}

TEST(FileNames, NamesThatLeaveTheFolderOrNameADeviceAreRefused) {
    for (const wchar_t* name : {L"..\\x.exe", L"C:\\x.exe", L"a:b", L"x.exe:stream", L"a/b.exe", L"", L".", L"..",
                                L"con", L"CON", L"nul.exe", L"Nul .txt", L"aux", L"prn", L"com1", L"COM9.exe",
                                L"lpt1", L"conin$", L"conout$", L"...", L" ", L". .", L"con.exe."}) {
        EXPECT_FALSE(SafeFileName(name)) << std::wstring(name).size();
    }
    for (const wchar_t* name : {L"console.exe", L"com10", L"com0", L"lpt", L"nullsoft.exe", L"...x", L"setup.exe"}) {
        EXPECT_EQ(SafeFileName(name), std::wstring(name));
    }
}

TEST(FileNames, CharactersWindowsForbidsBecomeUnderscores) {
    EXPECT_EQ(SafeFileName(L"a<b>c\"d|e*f?g.exe"), L"a_b_c_d_e_f_g.exe");
    EXPECT_EQ(SafeFileName(std::wstring(L"tab\there\x01.exe")), L"tab_here_.exe");
    EXPECT_EQ(SafeFileName(L"Ünïcødé setup.exe"), L"Ünïcødé setup.exe");
    // The name Windows would make of it, so that the size check and the move see the same file.
    EXPECT_EQ(SafeFileName(L"setup.exe. ."), L"setup.exe");
}

TEST(FileNames, TitlesAreDisplayTextSoSeparatorsBecomeUnderscores) {
    EXPECT_EQ(FileNameFromTitle(L"AC/DC"), L"AC_DC");
    EXPECT_EQ(FileNameFromTitle(L"C:\\Tools: Pro"), L"C__Tools_ Pro");
    EXPECT_EQ(SafeFileName(FileNameFromTitle(L"AC/DC <Live>") + L".exe"), L"AC_DC _Live_.exe");
}

}  // namespace
}  // namespace tessary
