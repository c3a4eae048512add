#pragma once
// The two HTTP stacks of file transfers, each in a file of its own: their headers do not compile
// together.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/system_port.h"
#include "platform/transfer_port.h"

namespace tessary::win32 {

platform::TransferOpening OpenWithWinHttp(const platform::TransferRequest& request, const platform::SystemPort& system);
platform::TransferOpening OpenWithWinInet(const platform::TransferRequest& request);

// The parts of a request both stacks share.
inline constexpr unsigned kConnectTimeoutMs = 30'000;
inline constexpr unsigned kSendTimeoutMs = 30'000;
// The stack's own receive time-out comes this long after the no-progress limit, so that a silent
// server is ended by the watch, which names the reason, rather than by the stack.
inline constexpr unsigned kReceiveTimeoutMarginMs = 1'000;

// A Content-Length header's value: decimal digits only, since a length the server garbled is no length.
std::optional<std::uint64_t> ParseContentLength(const std::optional<std::wstring>& text);

}  // namespace tessary::win32
