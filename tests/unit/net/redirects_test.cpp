#include <gtest/gtest.h>

#include "net/redirects.h"

namespace tessary {
namespace {

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
