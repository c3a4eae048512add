#pragma once
// The bytes a client sends, rewritten request by request on their way to the HTTP library: the
// library answers "Expect: 100-continue" with an interim "100 Continue" that it cannot be told to
// leave out, and some clients (WinHTTP under Wine) fail on that interim reply although they send
// their body at once anyway. Without the header the library just reads the body and answers.
#include <cstdint>
#include <string>
#include <string_view>

namespace tessary::service {

// Carries the value of the removed Expect header to the handlers, so the records still show what
// the client sent. A client's own header of this name is dropped: it must not forge that record.
inline constexpr std::string_view kForwardedExpectHeader = "X-Tessary-Forwarded-Expect";

// Carries the names of the client's headers in the order it sent them, comma-separated, since the
// HTTP library keeps its headers sorted by name. Dropped from clients like the one above.
inline constexpr std::string_view kForwardedOrderHeader = "X-Tessary-Forwarded-Order";

class RequestStreamFilter {
public:
    // Takes the next bytes from the client and returns the bytes to pass on, which may be none while
    // a request head is still incomplete.
    std::string Feed(std::string_view bytes);

private:
    enum class State { Head, Body, PassThrough };

    // Consumes bytes up to the end of the current head; false when the head is not complete yet.
    bool TakeHead(std::string_view& bytes, std::string& out);
    // The head as it goes on; sets what follows it (a body of known length, the next head, or -
    // when the body's length is unknown here - everything unchanged).
    std::string RewriteHead(std::string_view head);

    State m_state = State::Head;
    std::string m_head;
    std::size_t m_lineStart = 0;  // where the incomplete last line of m_head begins
    std::uint64_t m_bodyLeft = 0;
};

}  // namespace tessary::service
