// File and in-memory transfers over WinHTTP. Redirects are left to the caller, which follows
// them by its own rules; the platform would follow up to ten by itself.
#include <windows.h>
#include <winhttp.h>

#include <cwchar>
#include <optional>
#include <string>

#include "platform/win32/transfer_stacks.h"
#include "platform/win32/transfer_watch.h"

namespace tessary::win32 {
namespace {

using platform::TransferStep;

constexpr DWORD kSsl3AndTls10 = 0xA0;    // WINHTTP_FLAG_SECURE_PROTOCOL_SSL3 | _TLS1
constexpr DWORD kTls11AndTls12 = 0xA00;  // WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_1 | _TLS1_2
constexpr DWORD kAutomaticProxy = 4;     // WINHTTP_ACCESS_TYPE_AUTOMATIC_PROXY, missing from older headers
constexpr wchar_t kMemoryAgent[] = L"A WinHTTP Example Program/1.0";

void Close(void* handle) { ::WinHttpCloseHandle(handle); }

// A header as text, or nothing when the answer has none.
std::optional<std::wstring> QueryText(HINTERNET request, DWORD query) {
    DWORD bytes = 0;
    ::WinHttpQueryHeaders(request, query, WINHTTP_HEADER_NAME_BY_INDEX, WINHTTP_NO_OUTPUT_BUFFER, &bytes,
                          WINHTTP_NO_HEADER_INDEX);
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || bytes == 0) return std::nullopt;
    std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (!::WinHttpQueryHeaders(request, query, WINHTTP_HEADER_NAME_BY_INDEX, text.data(), &bytes,
                               WINHTTP_NO_HEADER_INDEX)) {
        return std::nullopt;
    }
    text.resize(bytes / sizeof(wchar_t));
    return text;
}

class WinHttpBody : public platform::TransferBody {
public:
    explicit WinHttpBody(const platform::TransferRequest& request)
        : m_watch(request.cancelled, request.noProgressLimitMs) {}

    // Opens the request and waits for the answer's headers; the failed step otherwise.
    std::optional<TransferStep> Start(const platform::TransferRequest& request, const platform::SystemPort& system) {
        // Windows 7 does not find its proxy by itself; there the default proxy settings serve.
        const bool windows7 = system.IsVersionAtLeast(6, 1, 0) && !system.IsVersionAtLeast(6, 2, 0);
        const DWORD access = request.toMemory || windows7 ? WINHTTP_ACCESS_TYPE_DEFAULT_PROXY : kAutomaticProxy;
        HINTERNET session = m_watch.Own(::WinHttpOpen(request.toMemory ? kMemoryAgent : nullptr, access,
                                                      WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0),
                                        Close);
        if (!session) return TransferStep::Session;
        // A server that keeps still ends the request; the watch sees to slower trickles of nothing.
        ::WinHttpSetTimeouts(session, static_cast<int>(kConnectTimeoutMs), static_cast<int>(kConnectTimeoutMs),
                             static_cast<int>(kSendTimeoutMs), static_cast<int>(request.noProgressLimitMs));

        // TLS 1.1 and 1.2 exist only from Windows 7 with its first service pack on.
        DWORD protocols = kSsl3AndTls10;
        if (system.IsVersionAtLeast(6, 1, 1)) protocols |= kTls11AndTls12;
        if (!::WinHttpSetOption(session, WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols, sizeof protocols)) {
            return TransferStep::SecureProtocols;
        }

        const platform::UrlParts& parts = request.parts;
        HINTERNET connection =
            m_watch.Own(::WinHttpConnect(session, parts.host.c_str(), static_cast<INTERNET_PORT>(parts.port), 0), Close);
        if (!connection) return TransferStep::Connect;

        const bool secure = _wcsicmp(parts.scheme.c_str(), L"https") == 0;
        DWORD flags = secure ? WINHTTP_FLAG_SECURE : 0;
        if (request.toMemory) flags |= WINHTTP_FLAG_REFRESH;
        const std::wstring object = parts.path + parts.extra;
        m_request = m_watch.Own(::WinHttpOpenRequest(connection, L"GET", object.c_str(), nullptr, WINHTTP_NO_REFERER,
                                                     WINHTTP_DEFAULT_ACCEPT_TYPES, flags),
                                Close);
        if (!m_request) return TransferStep::OpenRequest;
        DWORD never = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
        DWORD noRedirects = WINHTTP_DISABLE_REDIRECTS;
        if (!::WinHttpSetOption(m_request, WINHTTP_OPTION_REDIRECT_POLICY, &never, sizeof never) &&
            !::WinHttpSetOption(m_request, WINHTTP_OPTION_DISABLE_FEATURE, &noRedirects, sizeof noRedirects)) {
            return TransferStep::OpenRequest;
        }

        if (!::WinHttpSendRequest(m_request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0)) {
            return TransferStep::SendRequest;
        }
        if (!::WinHttpReceiveResponse(m_request, nullptr)) return TransferStep::ReceiveResponse;
        m_watch.Progress();

        DWORD status = 0;
        DWORD size = sizeof status;
        ::WinHttpQueryHeaders(m_request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                              WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX);
        m_answer.status = status;
        m_answer.lastErrorAfterStatus = ::GetLastError();
        m_answer.contentLength = ParseContentLength(QueryText(m_request, WINHTTP_QUERY_CONTENT_LENGTH));
        m_answer.location = QueryText(m_request, WINHTTP_QUERY_LOCATION);
        return std::nullopt;
    }

    platform::Status Explain(platform::Status status) const { return m_watch.Explain(status); }

    const platform::TransferAnswer& Answer() const override { return m_answer; }

    platform::Result<std::uint32_t> QueryAvailable() override {
        DWORD available = 0;
        if (!::WinHttpQueryDataAvailable(m_request, &available)) {
            return platform::Failure{m_watch.Explain(::GetLastError())};
        }
        return static_cast<std::uint32_t>(available);
    }

    platform::Result<std::size_t> Read(char* buffer, std::size_t size) override {
        DWORD read = 0;
        const DWORD wanted = size > MAXDWORD ? MAXDWORD : static_cast<DWORD>(size);
        if (!::WinHttpReadData(m_request, buffer, wanted, &read)) {
            return platform::Failure{m_watch.Explain(::GetLastError())};
        }
        if (read > 0) m_watch.Progress();
        return static_cast<std::size_t>(read);
    }

private:
    TransferWatch m_watch;
    HINTERNET m_request = nullptr;  // owned by the watch
    platform::TransferAnswer m_answer;
};

}  // namespace

platform::TransferOpening OpenWithWinHttp(const platform::TransferRequest& request, const platform::SystemPort& system) {
    auto body = std::make_unique<WinHttpBody>(request);
    const auto failedStep = body->Start(request, system);
    if (!failedStep) return {std::move(body), TransferStep::Session, platform::kSuccess};
    const platform::Status status = body->Explain(::GetLastError());
    return {nullptr, *failedStep, status};
}

}  // namespace tessary::win32
