#include "net/http_transfer.h"

#include <algorithm>
#include <cwctype>
#include <new>
#include <stdexcept>
#include <vector>

#include "net/redirects.h"
#include "platform/ports.h"

namespace tessary {
namespace {

using platform::HttpStack;
using platform::TransferStep;

// The WinINet path reads in pieces of this size into one buffer.
constexpr std::size_t kWinInetReadSize = 4096;
// The most the WinHTTP path reads at once, whatever the stack says it has ready.
constexpr std::size_t kMaxWinHttpChunk = 64u << 20;

std::wstring Number(long long value) { return std::to_wstring(value); }

std::wstring StepText(HttpStack stack, TransferStep step) {
    switch (step) {
        case TransferStep::Session:
            return stack == HttpStack::WinInet ? L"Failed to initialize WinINet:: " : L"Failed to open HTTP session: ";
        case TransferStep::SecureProtocols:
            return L"Failed to set secure protocols: ";
        case TransferStep::Connect:
            return L"Failed to connect: ";
        case TransferStep::OpenRequest:
            return L"Failed to open request: ";
        case TransferStep::SendRequest:
            return L"Failed to send request: ";
        case TransferStep::ReceiveResponse:
            return L"Failed to receive response: ";
        case TransferStep::OpenUrl:
            return L"Failed to open URL:: ";
        case TransferStep::QueryStatus:
            return L"Failed to query HTTP status code: ";
    }
    return L"Failed: ";
}

// A failed call of the stack: cancelled and stalled requests say so, whatever step they were in.
// The stack's own time-outs (a connection that never came, say) keep the step's text.
[[noreturn]] void FailCall(const std::wstring& what, platform::Status status, const TransferSettings& settings) {
    if (settings.Cancelled()) TransferFailure(CancelledText());
    if (status == platform::kTransferStalled) TransferFailure(StalledText(settings.noProgressLimitMs));
    TransferFailure(what + CodeAndSystemText(status));
}

void StopWhenCancelled(const TransferSettings& settings) {
    if (settings.Cancelled()) TransferFailure(CancelledText());
}

platform::TransferRequest MakeRequest(HttpStack stack, const std::wstring& url, const TransferSettings& settings) {
    platform::TransferRequest request;
    request.stack = stack;
    request.url = url;
    request.toMemory = settings.toMemory;
    request.noProgressLimitMs = settings.noProgressLimitMs;
    request.cancelled = [settings] { return settings.Cancelled(); };
    return request;
}

std::unique_ptr<platform::TransferBody> Open(const platform::TransferRequest& request,
                                             const TransferSettings& settings) {
    platform::TransferOpening opening = platform::Transfers().Open(request);
    if (!opening.body) FailCall(StepText(request.stack, opening.failedStep), opening.status, settings);
    return std::move(opening.body);
}

// The URL split for WinHTTP; refused unless it names an http(s) host.
platform::UrlParts SplitUrl(const std::wstring& url) {
    auto parts = platform::Http().CrackUrl(url);
    std::wstring scheme = parts ? parts->scheme : std::wstring();
    std::transform(scheme.begin(), scheme.end(), scheme.begin(), [](wchar_t c) { return std::towlower(c); });
    if (!parts || parts->host.empty() || (scheme != L"http" && scheme != L"https")) {
        TransferFailure(L"Not a URL that can be downloaded from: " + url);
    }
    return std::move(parts).Value();
}

// WinHTTP reads exactly what the server has ready; the buffer only grows.
void ReadWinHttpBody(platform::TransferBody& body, TransferSink& sink, const TransferSettings& settings) {
    std::vector<char> buffer;
    for (;;) {
        StopWhenCancelled(settings);
        const auto available = body.QueryAvailable();
        if (!available) FailCall(L"Failed to query data: ", available.GetStatus(), settings);
        if (*available == 0) return;
        // A count no server can have ready (the whole range of the type) is taken a piece at a
        // time, and the size with its terminating byte cannot wrap round.
        const std::size_t wanted = std::min<std::size_t>(*available, kMaxWinHttpChunk);
        try {
            if (buffer.size() < wanted + 1) buffer.resize(wanted + 1);
        } catch (const std::bad_alloc&) {
            TransferFailure(L"Out of memory.");
        }
        const auto read = body.Read(buffer.data(), wanted);
        if (!read) FailCall(L"Failed to read data: ", read.GetStatus(), settings);
        sink.Take(buffer.data(), *read);
    }
}

void ReadWinInetBody(platform::TransferBody& body, TransferSink& sink, const TransferSettings& settings) {
    char buffer[kWinInetReadSize];
    for (;;) {
        StopWhenCancelled(settings);
        const auto read = body.Read(buffer, sizeof buffer);
        if (!read) FailCall(L"Failed to read data: ", read.GetStatus(), settings);
        if (*read == 0) return;
        sink.Take(buffer, *read);
    }
}

void RunWinHttp(const std::wstring& url, TransferSink& sink, const TransferSettings& settings) {
    std::wstring current = url;
    for (unsigned redirects = 0;;) {
        StopWhenCancelled(settings);
        auto request = MakeRequest(HttpStack::WinHttp, current, settings);
        request.parts = SplitUrl(current);
        const auto body = Open(request, settings);
        // An exit confirmed while the answer came in: its status may be half read.
        StopWhenCancelled(settings);
        const platform::TransferAnswer& answer = body->Answer();
        if (answer.status >= 300 && answer.status <= 399) {
            if (++redirects > kMaxRedirects) TransferFailure(L"Too many redirects.");
            if (!answer.location || answer.location->empty()) {
                TransferFailure(L"Redirect without a location: HTTP " + Number(answer.status));
            }
            if (answer.location->size() > kMaxLocationLength) TransferFailure(L"Redirect location too long.");
            const auto next = ResolveLocation(current, *answer.location);
            if (!next) TransferFailure(L"Not a URL that can be downloaded from: " + *answer.location);
            if (IsDowngrade(current, *next)) TransferFailure(L"Redirect from HTTPS to HTTP refused.");
            current = *next;
            continue;
        }
        if (answer.status < 200 || answer.status > 299) {
            TransferFailure(L"Download failed: Server returned status code: " + Number(answer.status));
        }
        sink.Begin(answer.contentLength);
        ReadWinHttpBody(*body, sink, settings);
        return;
    }
}

void RunWinInet(const std::wstring& url, TransferSink& sink, const TransferSettings& settings) {
    StopWhenCancelled(settings);
    const auto body = Open(MakeRequest(HttpStack::WinInet, url, settings), settings);
    StopWhenCancelled(settings);
    const platform::TransferAnswer& answer = body->Answer();
    // Where the platform's redirects ended must be known before the body is taken from there.
    if (answer.finalUrl.empty()) TransferFailure(L"Failed to read where the download was redirected.");
    if (IsDowngrade(url, answer.finalUrl)) TransferFailure(L"Redirect from HTTPS to HTTP refused.");
    if (answer.status != 200) {
        TransferFailure(L"Server returned status code: HTTP " + Number(answer.status) + L" - " +
                        platform::Transfers().SystemErrorText(answer.lastErrorAfterStatus));
    }
    sink.Begin(answer.contentLength);
    ReadWinInetBody(*body, sink, settings);
}

}  // namespace

void RunTransfer(HttpStack stack, const std::wstring& url, TransferSink& sink, const TransferSettings& settings) {
    if (stack == HttpStack::WinHttp) {
        RunWinHttp(url, sink, settings);
    } else {
        RunWinInet(url, sink, settings);
    }
}

std::wstring CancelledText() { return L"Download cancelled."; }

std::wstring StalledText(unsigned noProgressLimitMs) {
    return L"No data arrived for " + Number(noProgressLimitMs / 1000) + L" seconds.";
}

void TransferFailure(const std::wstring& text) {
    throw std::runtime_error(platform::Text().ToNarrow(platform::CodePage::ThreadAnsi, text).ValueOr(std::string()));
}

std::wstring CodeAndSystemText(platform::Status status) {
    return Number(static_cast<std::int32_t>(status)) + L" - " + platform::Transfers().SystemErrorText(status);
}

std::wstring TransferFailureText(const std::runtime_error& failure) {
    return platform::Text().ToWide(platform::CodePage::ThreadAnsi, failure.what()).ValueOr(std::wstring());
}

}  // namespace tessary
