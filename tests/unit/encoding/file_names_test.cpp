#include <gtest/gtest.h>

#include "encoding/file_names.h"
#include "net/redirects.h"

namespace tessary {
namespace {

TEST(FileNames, FromUrlIsTheLastSegmentWithoutQueryOrFragment) {
    EXPECT_EQ(FileNameFromUrl(L"https://files.test/f/setup.exe?x=1"), L"setup.exe");
    EXPECT_EQ(FileNameFromUrl(L"https://files.test/f/setup.exe#top"), L"setup.exe");
    EXPECT_EQ(FileNameFromUrl(L"https://files.test/a/b/tool.msi"), L"tool.msi");
    // A query may itself hold slashes; the name is taken after the last one all the same.
    EXPECT_EQ(FileNameFromUrl(L"https://files.test/f/get?name=a/b.exe"), L"b.exe");
    EXPECT_EQ(FileNameFromUrl(L"https://files.test/f/"), L"");
    EXPECT_EQ(FileNameFromUrl(L"setup.exe"), L"");
}

TEST(FileNames, NamesThatLeaveTheFolderOrNameADeviceAreRefused) {
    for (const wchar_t* name : {L"..\\x.exe", L"C:\\x.exe", L"a:b", L"x.exe:stream", L"a/b.exe", L"", L".", L"..",
                                L"con", L"CON", L"nul.exe", L"Nul .txt", L"aux", L"prn", L"com1", L"COM9.exe",
                                L"lpt1", L"conin$", L"conout$"}) {
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
}

TEST(FileNames, TitlesAreDisplayTextSoSeparatorsBecomeUnderscores) {
    EXPECT_EQ(FileNameFromTitle(L"AC/DC"), L"AC_DC");
    EXPECT_EQ(FileNameFromTitle(L"C:\\Tools: Pro"), L"C__Tools_ Pro");
    EXPECT_EQ(SafeFileName(FileNameFromTitle(L"AC/DC <Live>") + L".exe"), L"AC_DC _Live_.exe");
}

TEST(Redirects, LocationsResolveAgainstTheAnsweringUrl) {
    const std::wstring base = L"https://files.test/f/a/setup.exe?x=1#frag";
    EXPECT_EQ(ResolveLocation(base, L"http://other.test/y"), L"http://other.test/y");
    EXPECT_EQ(ResolveLocation(base, L"HTTPS://Other.test/y"), L"HTTPS://Other.test/y");
    EXPECT_EQ(ResolveLocation(base, L"//mirror.test/z.exe"), L"https://mirror.test/z.exe");
    EXPECT_EQ(ResolveLocation(base, L"/root.exe"), L"https://files.test/root.exe");
    EXPECT_EQ(ResolveLocation(base, L"next.exe"), L"https://files.test/f/a/next.exe");
    EXPECT_EQ(ResolveLocation(base, L"../up.exe?q=2"), L"https://files.test/f/up.exe?q=2");
    EXPECT_EQ(ResolveLocation(base, L"../../../../top.exe"), L"https://files.test/top.exe");
    EXPECT_EQ(ResolveLocation(base, L"?y=2"), L"https://files.test/f/a/setup.exe?y=2");
    EXPECT_EQ(ResolveLocation(L"http://files.test:8080", L"a.exe"), L"http://files.test:8080/a.exe");
    EXPECT_EQ(ResolveLocation(L"http://files.test?q", L"/a.exe"), L"http://files.test/a.exe");
    EXPECT_EQ(ResolveLocation(base, L"ftp://other.test/y"), L"ftp://other.test/y");
    EXPECT_EQ(ResolveLocation(base, L"a:b/c"), L"a:b/c");
    EXPECT_EQ(ResolveLocation(base, L"x/a:b"), L"https://files.test/f/a/x/a:b");
    EXPECT_FALSE(ResolveLocation(L"ftp://files.test/x", L"y"));
}

TEST(Redirects, OnlyHttpsToHttpIsADowngrade) {
    EXPECT_TRUE(IsDowngrade(L"https://a.test/x", L"http://a.test/x"));
    EXPECT_TRUE(IsDowngrade(L"HTTPS://a.test/x", L"Http://b.test/x"));
    EXPECT_FALSE(IsDowngrade(L"http://a.test/x", L"https://a.test/x"));
    EXPECT_FALSE(IsDowngrade(L"https://a.test/x", L"https://b.test/x"));
    EXPECT_FALSE(IsDowngrade(L"http://a.test/x", L"http://b.test/x"));
}

}  // namespace
}  // namespace tessary
