#include "request_stream_filter.h"

#include <gtest/gtest.h>

#include <string>

namespace tessary::service {
namespace {

const std::string kForwarded = std::string(kForwardedExpectHeader) + ": 100-continue\r\n";

std::string Order(const std::string& names) { return std::string(kForwardedOrderHeader) + ": " + names + "\r\n"; }

std::string FeedAtOnce(const std::string& bytes) { return RequestStreamFilter().Feed(bytes); }

std::string FeedByteByByte(const std::string& bytes) {
    RequestStreamFilter filter;
    std::string out;
    for (const char c : bytes) out += filter.Feed(std::string_view(&c, 1));
    return out;
}

TEST(RequestStreamFilterTest, ExpectContinueIsReplacedInEveryRequestButNeverInsideABody) {
    // The first body looks like a head on purpose: only Content-Length says where it ends.
    const std::string firstBody = "Expect: 100-continue\r\n\r\n";
    const std::string in = "\r\nPOST /o HTTP/1.1\r\nHost: localhost\r\nExpect: 100-continue\r\nContent-Length: " +
                           std::to_string(firstBody.size()) + "\r\n\r\n" + firstBody +
                           "POST /zbd HTTP/1.1\r\nexpect:  100-Continue \r\nContent-Length: 2\r\n\r\n{}"
                           "GET /f/a.png HTTP/1.1\nHost: localhost\n\n";
    const std::string expected =
        "POST /o HTTP/1.1\r\nHost: localhost\r\nContent-Length: " + std::to_string(firstBody.size()) + "\r\n" +
        kForwarded + Order("Host,Expect,Content-Length") + "\r\n" + firstBody +
        "POST /zbd HTTP/1.1\r\nContent-Length: 2\r\n" + std::string(kForwardedExpectHeader) + ": 100-Continue\r\n" +
        Order("expect,Content-Length") + "\r\n{}" + "GET /f/a.png HTTP/1.1\nHost: localhost\n" + Order("Host") + "\n";
    EXPECT_EQ(FeedAtOnce(in), expected);
    EXPECT_EQ(FeedByteByByte(in), expected);
}

TEST(RequestStreamFilterTest, OnlyExpectContinueIsTakenOutAndForgedForwardedHeadersAreDropped) {
    const std::string in = "POST /o HTTP/1.1\r\nExpect: something-else\r\nX-Expect: 100-continue\r\n" +
                           std::string(kForwardedExpectHeader) + ": 100-continue\r\n" + Order("Forged") +
                           "Content-Length: 0\r\n\r\n";
    EXPECT_EQ(FeedAtOnce(in),
              "POST /o HTTP/1.1\r\nExpect: something-else\r\nX-Expect: 100-continue\r\n"
              "Content-Length: 0\r\n" +
                  Order("Expect,X-Expect,Content-Length") + "\r\n");
}

TEST(RequestStreamFilterTest, IncompleteHeadIsHeldBack) {
    RequestStreamFilter filter;
    EXPECT_EQ(filter.Feed("POST /o HTTP/1.1\r\nExpect: 100-continue\r\n"), "");
    EXPECT_EQ(filter.Feed("Content-Length: 3\r\n\r\nab"),
              "POST /o HTTP/1.1\r\nContent-Length: 3\r\n" + kForwarded + Order("Expect,Content-Length") + "\r\nab");
    EXPECT_EQ(filter.Feed("c"), "c");
}

TEST(RequestStreamFilterTest, BodiesOfUnknownLengthLeaveTheRestOfTheConnectionUnchanged) {
    const std::string chunkedRest = "2\r\n{}\r\n0\r\n\r\nPOST /o HTTP/1.1\r\nExpect: 100-continue\r\n\r\n";
    EXPECT_EQ(FeedByteByByte("POST /o HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n" + chunkedRest),
              "POST /o HTTP/1.1\r\nTransfer-Encoding: chunked\r\n" + Order("Transfer-Encoding") + "\r\n" + chunkedRest);

    const std::string conflicting = "POST /o HTTP/1.1\r\nContent-Length: 2\r\nContent-Length: 3\r\n";
    EXPECT_EQ(FeedAtOnce(conflicting + "\r\n" + chunkedRest),
              conflicting + Order("Content-Length,Content-Length") + "\r\n" + chunkedRest);
    const std::string invalid = "POST /o HTTP/1.1\r\nContent-Length: -1\r\n";
    EXPECT_EQ(FeedAtOnce(invalid + "\r\n" + chunkedRest), invalid + Order("Content-Length") + "\r\n" + chunkedRest);

    // A head that keeps growing past any sane size is not held back any longer.
    RequestStreamFilter filter;
    const std::string huge = "GET /f/a HTTP/1.1\r\nX: " + std::string(70'000, 'x');
    EXPECT_TRUE(filter.Feed(huge) == huge);
    EXPECT_EQ(filter.Feed("\r\nExpect: 100-continue\r\n\r\n"), "\r\nExpect: 100-continue\r\n\r\n");
}

}  // namespace
}  // namespace tessary::service
