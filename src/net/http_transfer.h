#pragma once
// One GET over one of the two HTTP stacks, by the rules of that stack: which statuses count, how
// redirects are followed, when the body ends, what every failure is called. Where the body goes
// is the caller's business (a file, memory).
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "platform/transfer_port.h"

namespace tessary {

class TransferSink {
public:
    virtual ~TransferSink() = default;
    // The answer was accepted; the length is absent when the server sent no usable Content-Length.
    virtual void Begin(std::optional<std::uint64_t> length) = 0;
    // One chunk of the body. Fails the transfer by throwing TransferFailure.
    virtual void Take(const char* data, std::size_t size) = 0;
};

struct TransferSettings {
    bool toMemory = false;
    unsigned noProgressLimitMs = 60'000;
    const std::atomic<bool>* cancel = nullptr;   // the user confirmed exit
    const std::atomic<bool>* abandon = nullptr;  // the caller no longer waits for this transfer

    bool Cancelled() const { return (cancel && cancel->load()) || (abandon && abandon->load()); }
};

// Runs one transfer. Every failure is thrown as std::runtime_error whose message is the failure
// text in the thread's ANSI code page, so that the caller catches exactly that type.
void RunTransfer(platform::HttpStack stack, const std::wstring& url, TransferSink& sink,
                 const TransferSettings& settings);

// Throws the failure text as the transfers do.
[[noreturn]] void TransferFailure(const std::wstring& text);

// The texts of an attempt that was cancelled, or that went without a byte for the limit.
std::wstring CancelledText();
std::wstring StalledText(unsigned noProgressLimitMs);

// "<code> - <system text>", the code as a signed decimal.
std::wstring CodeAndSystemText(platform::Status status);

// The failure text a transfer threw, wide again.
std::wstring TransferFailureText(const std::runtime_error& failure);

}  // namespace tessary
