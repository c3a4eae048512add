#include <windows.h>
#include <winhttp.h>

#include <cstdio>
#include <cstring>
#include <new>
#include <vector>

#include "platform/win32/failure.h"
#include "platform/win32/win32_ports.h"
#include "platform/win32/winhttp_handle.h"
#include "platform/win32/winhttp_session.h"

namespace tessary::win32 {
namespace {

constexpr INTERNET_PORT kHttpsPort = 443;

// The exchange's diagnostic lines go to standard output.
template <typename... Arguments>
void Print(const char* format, Arguments... arguments) {
    if constexpr (sizeof...(Arguments) == 0) {
        platform::WriteDiagnostic(platform::DiagnosticTarget::StandardOutput, format);
    } else {
        char line[128] = {};
        std::snprintf(line, sizeof line, format, arguments...);
        platform::WriteDiagnostic(platform::DiagnosticTarget::StandardOutput, line);
    }
}

std::wstring Part(const wchar_t* text, DWORD length) { return text ? std::wstring(text, length) : std::wstring(); }

class Win32Http : public platform::HttpPort {
public:
    Win32Http() : m_system(MakeSystemPort()) {}

    platform::Result<platform::UrlParts> CrackUrl(const std::wstring& url) const override {
        URL_COMPONENTS components{};
        components.dwStructSize = sizeof components;
        // Lengths of -1 ask for pointers into the URL instead of copies.
        components.dwSchemeLength = static_cast<DWORD>(-1);
        components.dwHostNameLength = static_cast<DWORD>(-1);
        components.dwUrlPathLength = static_cast<DWORD>(-1);
        components.dwExtraInfoLength = static_cast<DWORD>(-1);
        if (!::WinHttpCrackUrl(url.c_str(), 0, 0, &components)) return FailWithLastError("WinHttpCrackUrl");
        platform::UrlParts parts;
        parts.scheme = Part(components.lpszScheme, components.dwSchemeLength);
        parts.host = Part(components.lpszHostName, components.dwHostNameLength);
        parts.port = components.nPort;
        parts.path = Part(components.lpszUrlPath, components.dwUrlPathLength);
        parts.extra = Part(components.lpszExtraInfo, components.dwExtraInfoLength);
        return parts;
    }

    platform::Result<platform::HttpAnswer> HttpsPost(const std::wstring& host, const std::wstring& path,
                                                     const std::string& body, platform::HeaderList headers,
                                                     std::string& response) override {
        const WinHttpHandle session(::WinHttpOpen(nullptr, SessionProxyAccess(*m_system), WINHTTP_NO_PROXY_NAME,
                                                  WINHTTP_NO_PROXY_BYPASS, 0));
        if (!session) return FailWithLastError("WinHttpOpen");

        DWORD protocols = SecureProtocols(*m_system);
        if (!::WinHttpSetOption(session.Get(), WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols, sizeof protocols)) {
            return FailWithLastError("WinHttpSetOption");
        }

        // The service is always reached over TLS on its standard port, whatever the URL said.
        const WinHttpHandle connection(::WinHttpConnect(session.Get(), host.c_str(), kHttpsPort, 0));
        if (!connection) return FailWithLastError("WinHttpConnect");
        const WinHttpHandle request(::WinHttpOpenRequest(connection.Get(), L"POST", path.c_str(), nullptr,
                                                         WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                                         WINHTTP_FLAG_SECURE));
        if (!request) return FailWithLastError("WinHttpOpenRequest");

        headers.emplace_back(L"Expect", L"100-continue");
        headers.emplace_back(L"Content-Type", L"application/json");
        for (const auto& [name, value] : headers) {
            const std::wstring line = name + L": " + value;
            if (!::WinHttpAddRequestHeaders(request.Get(), line.c_str(), static_cast<DWORD>(-1),
                                            WINHTTP_ADDREQ_FLAG_ADD)) {
                Print("WinHttpAddRequestHeaders error: %d", static_cast<int>(::GetLastError()));
            }
        }

        const auto length = static_cast<DWORD>(std::strlen(body.c_str()));
        if (!::WinHttpSendRequest(request.Get(), WINHTTP_NO_ADDITIONAL_HEADERS, 0, const_cast<char*>(body.c_str()),
                                  length, length, 0)) {
            return FailWithLastError("WinHttpSendRequest");
        }
        if (!::WinHttpReceiveResponse(request.Get(), nullptr)) return FailWithLastError("WinHttpReceiveResponse");

        DWORD code = 0;
        DWORD size = sizeof code;
        ::WinHttpQueryHeaders(request.Get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                              WINHTTP_HEADER_NAME_BY_INDEX, &code, &size, WINHTTP_NO_HEADER_INDEX);

        ReadBody(request.Get(), response);
        return platform::HttpAnswer{code, ::GetLastError()};
    }

private:
    // A failed read leaves what arrived so far; the exchange still counts as made.
    static void ReadBody(HINTERNET request, std::string& response) {
        for (;;) {
            DWORD available = 0;
            if (!::WinHttpQueryDataAvailable(request, &available)) {
                Print("Error %u in WinHttpQueryDataAvailable.", static_cast<unsigned>(::GetLastError()));
                return;
            }
            if (available == 0) return;
            std::vector<char> chunk;
            try {
                chunk.assign(static_cast<std::size_t>(available) + 1, '\0');
            } catch (const std::bad_alloc&) {
                Print("Out of memory");
                return;
            }
            DWORD read = 0;
            if (!::WinHttpReadData(request, chunk.data(), available, &read)) {
                Print("Error %u in WinHttpReadData.", static_cast<unsigned>(::GetLastError()));
                continue;
            }
            // The answer is text: a chunk ends at its first NUL.
            response.append(chunk.data());
        }
    }

    std::shared_ptr<platform::SystemPort> m_system;
};

}  // namespace

std::shared_ptr<platform::HttpPort> MakeHttpPort() { return std::make_shared<Win32Http>(); }

}  // namespace tessary::win32
