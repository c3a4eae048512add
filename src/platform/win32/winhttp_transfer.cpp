// File and in-memory transfers over WinHTTP. Redirects are left to the caller, which follows
// them by its own rules; the platform would follow up to ten by itself.
#include <windows.h>
#include <winhttp.h>

#include <cwchar>
#include <optional>
#include <string>

#include "platform/win32/transfer_stacks.h"
#include "platform/win32/watched_body.h"
#include "platform/win32/winhttp_session.h"

namespace tessary::win32 {
namespace {

using platform::TransferStep;

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

class WinHttpBody : public WatchedBody {
public:
    explicit WinHttpBody(const platform::TransferRequest& request) : WatchedBody(request, ::WinHttpReadData) {}

    // Opens the request and waits for the answer's headers; the failed step otherwise.
    std::optional<TransferStep> Start(const platform::TransferRequest& request, const platform::SystemPort& system) {
        // In-memory downloads keep to the default proxy settings everywhere.
        const DWORD access = request.toMemory ? WINHTTP_ACCESS_TYPE_DEFAULT_PROXY : SessionProxyAccess(system);
        HINTERNET session = m_watch.Own(::WinHttpOpen(request.toMemory ? kMemoryAgent : nullptr, access,
                                                      WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0),
                                        Close);
        if (!session) return TransferStep::Session;
        // A server that keeps still ends the request; the watch sees to slower trickles of nothing.
        ::WinHttpSetTimeouts(session, static_cast<int>(kConnectTimeoutMs), static_cast<int>(kConnectTimeoutMs),
                             static_cast<int>(kSendTimeoutMs),
                             static_cast<int>(request.noProgressLimitMs + kReceiveTimeoutMarginMs));

        DWORD protocols = SecureProtocols(system);
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

    platform::Result<std::uint32_t> QueryAvailable() override {
        DWORD available = 0;
        if (!::WinHttpQueryDataAvailable(m_request, &available)) return platform::Failure{Explain(::GetLastError())};
        return static_cast<std::uint32_t>(available);
    }
};

}  // namespace

platform::TransferOpening OpenWithWinHttp(const platform::TransferRequest& request, const platform::SystemPort& system) {
    return OpenBody<WinHttpBody>(request, system);
}

}  // namespace tessary::win32
