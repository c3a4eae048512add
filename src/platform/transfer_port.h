#pragma once
// The two HTTP stacks files are downloaded with. Each opens one GET and hands out its body; the
// decisions (which statuses count, redirects, limits, texts) stay with the portable caller.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/http_port.h"
#include "platform/result.h"

namespace tessary::platform {

enum class HttpStack {
    WinHttp,  // follows no redirect by itself: the caller sees every 3xx
    WinInet,  // follows redirects by itself and answers with where it ended
};

// The step of opening a request that failed.
enum class TransferStep {
    Session,          // both stacks
    SecureProtocols,  // WinHTTP
    Connect,          // WinHTTP
    OpenRequest,      // WinHTTP
    SendRequest,      // WinHTTP
    ReceiveResponse,  // WinHTTP
    OpenUrl,          // WinINet
    QueryStatus,      // WinINet
};

// The stacks' own time-outs (connecting, sending, receiving) and their cancel.
inline constexpr Status kTransferTimedOut = 12002;   // ERROR_WINHTTP_TIMEOUT, ERROR_INTERNET_TIMEOUT
inline constexpr Status kTransferCancelled = 12017;  // ERROR_WINHTTP_OPERATION_CANCELLED
// No byte arrived within the no-progress limit. Not a system code: bit 29 marks the codes an
// application defines.
inline constexpr Status kTransferStalled = 0x20000000u | 12002u;

struct TransferRequest {
    HttpStack stack = HttpStack::WinHttp;
    std::wstring url;  // the whole URL, for WinINet
    UrlParts parts;    // the URL split, for WinHTTP
    // In-memory downloads go out with their own agent, the default proxy and no cached answer.
    bool toMemory = false;
    // A request ends with kTransferStalled once this long passed without a byte arriving.
    unsigned noProgressLimitMs = 60'000;
    // Asked while the request waits or reads; once it answers true the pending call ends with
    // kTransferCancelled within a few tenths of a second.
    std::function<bool()> cancelled;
};

struct TransferAnswer {
    unsigned long status = 0;  // 0 when the stack could not read it
    Status lastErrorAfterStatus = kSuccess;
    std::optional<std::uint64_t> contentLength;  // absent when not sent or not a number
    std::optional<std::wstring> location;        // the Location header, when there is one
    std::wstring finalUrl;                       // where a stack that follows redirects ended
};

// An answer whose headers arrived; its body is read from here.
class TransferBody {
public:
    virtual ~TransferBody() = default;
    virtual const TransferAnswer& Answer() const = 0;
    // The bytes that can be read now without waiting long; 0 at the end of the body.
    virtual Result<std::uint32_t> QueryAvailable() = 0;
    // Reads up to size bytes; 0 at the end of the body.
    virtual Result<std::size_t> Read(char* buffer, std::size_t size) = 0;
};

struct TransferOpening {
    std::unique_ptr<TransferBody> body;  // null when a step failed
    TransferStep failedStep = TransferStep::Session;
    Status status = kSuccess;  // the system's code for the failed step
};

class TransferPort {
public:
    virtual ~TransferPort() = default;
    virtual TransferOpening Open(const TransferRequest& request) = 0;
    // The system's message for an error code exactly as the system words it (line end included),
    // or "" when it has none.
    virtual std::wstring SystemErrorText(Status status) const = 0;
};

}  // namespace tessary::platform
