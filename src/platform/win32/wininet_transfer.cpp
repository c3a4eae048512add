// File transfers over WinINet, the second path. The platform follows redirects here; the caller
// learns where they ended.
#include <windows.h>
#include <wininet.h>

#include <optional>
#include <string>

#include "platform/win32/transfer_stacks.h"
#include "platform/win32/watched_body.h"

namespace tessary::win32 {
namespace {

using platform::TransferStep;

void Close(void* handle) { ::InternetCloseHandle(handle); }

std::optional<std::wstring> QueryText(HINTERNET request, DWORD query) {
    wchar_t text[64] = {};
    DWORD bytes = sizeof text - sizeof(wchar_t);
    if (!::HttpQueryInfoW(request, query, text, &bytes, nullptr)) return std::nullopt;
    return std::wstring(text, bytes / sizeof(wchar_t));
}

std::wstring FinalUrl(HINTERNET request) {
    DWORD bytes = 0;
    ::InternetQueryOptionW(request, INTERNET_OPTION_URL, nullptr, &bytes);
    if (bytes == 0) return {};
    std::wstring url(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(url.size() * sizeof(wchar_t));
    if (!::InternetQueryOptionW(request, INTERNET_OPTION_URL, url.data(), &bytes)) return {};
    url.resize(wcsnlen(url.c_str(), url.size()));
    return url;
}

class WinInetBody : public WatchedBody {
public:
    explicit WinInetBody(const platform::TransferRequest& request) : WatchedBody(request, ::InternetReadFile) {}

    std::optional<TransferStep> Start(const platform::TransferRequest& request) {
        HINTERNET session =
            m_watch.Own(::InternetOpenW(L"", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0), Close);
        if (!session) return TransferStep::Session;
        DWORD connect = kConnectTimeoutMs;
        DWORD send = kSendTimeoutMs;
        DWORD receive = request.noProgressLimitMs + kReceiveTimeoutMarginMs;
        ::InternetSetOptionW(session, INTERNET_OPTION_CONNECT_TIMEOUT, &connect, sizeof connect);
        ::InternetSetOptionW(session, INTERNET_OPTION_SEND_TIMEOUT, &send, sizeof send);
        ::InternetSetOptionW(session, INTERNET_OPTION_RECEIVE_TIMEOUT, &receive, sizeof receive);

        m_request = m_watch.Own(
            ::InternetOpenUrlW(session, request.url.c_str(), nullptr, 0, INTERNET_FLAG_RELOAD, 0), Close);
        if (!m_request) return TransferStep::OpenUrl;
        m_watch.Progress();

        DWORD status = 0;
        DWORD size = sizeof status;
        if (!::HttpQueryInfoW(m_request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr)) {
            return TransferStep::QueryStatus;
        }
        m_answer.status = status;
        m_answer.lastErrorAfterStatus = ::GetLastError();
        m_answer.contentLength = ParseContentLength(QueryText(m_request, HTTP_QUERY_CONTENT_LENGTH));
        m_answer.finalUrl = FinalUrl(m_request);
        return std::nullopt;
    }

    // The WinINet path reads in fixed pieces and never asks; the answer is there for the port.
    platform::Result<std::uint32_t> QueryAvailable() override {
        DWORD available = 0;
        if (!::InternetQueryDataAvailable(m_request, &available, 0, 0)) {
            return platform::Failure{Explain(::GetLastError())};
        }
        return static_cast<std::uint32_t>(available);
    }
};

}  // namespace

platform::TransferOpening OpenWithWinInet(const platform::TransferRequest& request) {
    return OpenBody<WinInetBody>(request);
}

}  // namespace tessary::win32
