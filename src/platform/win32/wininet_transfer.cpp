// File transfers over WinINet, the second path. The platform follows redirects here; the caller
// learns where they ended.
#include <windows.h>
#include <wininet.h>

#include <optional>
#include <string>

#include "platform/win32/transfer_stacks.h"
#include "platform/win32/transfer_watch.h"

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

class WinInetBody : public platform::TransferBody {
public:
    explicit WinInetBody(const platform::TransferRequest& request)
        : m_watch(request.cancelled, request.noProgressLimitMs) {}

    std::optional<TransferStep> Start(const platform::TransferRequest& request) {
        HINTERNET session =
            m_watch.Own(::InternetOpenW(L"", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0), Close);
        if (!session) return TransferStep::Session;
        DWORD connect = kConnectTimeoutMs;
        DWORD send = kSendTimeoutMs;
        DWORD receive = request.noProgressLimitMs;
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

    platform::Status Explain(platform::Status status) const { return m_watch.Explain(status); }

    const platform::TransferAnswer& Answer() const override { return m_answer; }

    platform::Result<std::uint32_t> QueryAvailable() override {
        DWORD available = 0;
        if (!::InternetQueryDataAvailable(m_request, &available, 0, 0)) {
            return platform::Failure{m_watch.Explain(::GetLastError())};
        }
        return static_cast<std::uint32_t>(available);
    }

    platform::Result<std::size_t> Read(char* buffer, std::size_t size) override {
        DWORD read = 0;
        const DWORD wanted = size > MAXDWORD ? MAXDWORD : static_cast<DWORD>(size);
        if (!::InternetReadFile(m_request, buffer, wanted, &read)) {
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

platform::TransferOpening OpenWithWinInet(const platform::TransferRequest& request) {
    auto body = std::make_unique<WinInetBody>(request);
    const auto failedStep = body->Start(request);
    if (!failedStep) return {std::move(body), TransferStep::Session, platform::kSuccess};
    const platform::Status status = body->Explain(::GetLastError());
    return {nullptr, *failedStep, status};
}

}  // namespace tessary::win32
