// The HTTP port against the system's WinHTTP: URL splitting, and POSTs to the stand-in service
// when it listens on this machine's port 443.
#include <windows.h>
#include <winhttp.h>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "net/post_json.h"
#include "platform/win32/winhttp_handle.h"
#include "real_ports.h"
#include "service_probe.h"

namespace tessary {
namespace {

TEST(Win32Http, CrackUrlSplitsSchemeHostPortPathAndExtra) {
    const auto http = win32::MakeHttpPort();

    const auto full = http->CrackUrl(L"https://localhost:8443/zbd?x=1#top");
    ASSERT_TRUE(full);
    EXPECT_EQ(full->scheme, L"https");
    EXPECT_EQ(full->host, L"localhost");
    EXPECT_EQ(full->port, 8443u);
    EXPECT_EQ(full->path, L"/zbd");
    EXPECT_EQ(full->extra, L"?x=1#top");

    const auto plain = http->CrackUrl(L"http://service.example/o");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->scheme, L"http");
    EXPECT_EQ(plain->host, L"service.example");
    EXPECT_EQ(plain->port, 80u);
    EXPECT_EQ(plain->path, L"/o");
    EXPECT_EQ(plain->extra, L"");

    const auto bare = http->CrackUrl(L"https://service.example");
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->port, 443u);
    EXPECT_EQ(bare->path, L"");

    EXPECT_FALSE(http->CrackUrl(L"service.example/o"));
    EXPECT_FALSE(http->CrackUrl(L""));
}

class Win32HttpService : public ::testing::Test {
protected:
    void SetUp() override {
        if (!testing::ServiceListens()) GTEST_SKIP() << "the stand-in service is not running on localhost:443";
    }

    testing::RealPorts ports;
};

constexpr char kConfigurationRequest[] =
    R"({"a":"","i":"","l":"en","o":"","plv":"","prv":"0.1","s":"","u":""})";

// The service speaks TLS on 443 only: an answer proves the request went there, whatever the
// URL's scheme and port said. Every request carries "Expect: 100-continue", and Wine's WinHTTP
// (8.0) takes the blank line after an interim "100 Continue" for a broken status line: a server
// that answers under Wine must not send that interim response.
TEST_F(Win32HttpService, ConfigurationRequestsReach443OverTls) {
    for (const wchar_t* url : {L"https://localhost/o", L"http://localhost/o", L"http://localhost:8443/o?x=1#f"}) {
        SCOPED_TRACE(::testing::Message() << url);
        std::string response;
        unsigned long status = 0;
        ASSERT_TRUE(PostJson(url, kConfigurationRequest, {}, response, status));
        EXPECT_EQ(status, 200u);
        const auto document = nlohmann::json::parse(response, nullptr, false);
        EXPECT_TRUE(document.is_object()) << response;
    }
}

// Refused without a signature: the body of an error answer arrives as well, appended to what the
// caller held, and the refusal names the analytics endpoint's rule, so the query was dropped.
TEST_F(Win32HttpService, AnErrorAnswerComesBackWithItsBody) {
    std::string response = "kept:";
    unsigned long status = 0;
    ASSERT_TRUE(PostJson(L"https://localhost:8443/zbd?x=1", "{}", {}, response, status));
    EXPECT_EQ(status, 400u);
    EXPECT_EQ(response.rfind("kept:Authorization", 0), 0u) << response;
}

}  // namespace
}  // namespace tessary
