#include "fake_http.h"

namespace tessary::testing {

platform::Result<platform::UrlParts> FakeHttp::CrackUrl(const std::wstring& url) const {
    const auto schemeEnd = url.find(L"://");
    if (schemeEnd == std::wstring::npos) return platform::Failure{12006};  // ERROR_WINHTTP_UNRECOGNIZED_SCHEME
    platform::UrlParts parts;
    parts.scheme = url.substr(0, schemeEnd);
    const auto hostStart = schemeEnd + 3;
    const auto pathStart = url.find_first_of(L"/?#", hostStart);
    std::wstring authority =
        url.substr(hostStart, pathStart == std::wstring::npos ? std::wstring::npos : pathStart - hostStart);
    const auto colon = authority.find(L':');
    parts.port = parts.scheme == L"http" ? 80 : 443;
    if (colon != std::wstring::npos) {
        parts.port = static_cast<unsigned>(std::stoul(authority.substr(colon + 1)));
        authority.resize(colon);
    }
    if (authority.empty()) return platform::Failure{12006};  // ERROR_WINHTTP_UNRECOGNIZED_SCHEME
    parts.host = authority;
    if (pathStart != std::wstring::npos) {
        const auto extraStart = url.find_first_of(L"?#", pathStart);
        parts.path =
            url.substr(pathStart, extraStart == std::wstring::npos ? std::wstring::npos : extraStart - pathStart);
        if (extraStart != std::wstring::npos) parts.extra = url.substr(extraStart);
    }
    return parts;
}

platform::Result<platform::HttpAnswer> FakeHttp::HttpsPost(const std::wstring& host, const std::wstring& path,
                                                           const std::string& body, platform::HeaderList headers,
                                                           std::string& response) {
    Call call{host, path, body, std::move(headers)};
    Answer answer;
    {
        std::lock_guard lock(m_mutex);
        m_calls.push_back(call);
        if (!m_answers.empty()) {
            answer = m_answers.front();
            m_answers.pop_front();
        } else if (handler) {
            answer = handler(call);
        }
    }
    if (!answer.delivered) return platform::Failure{transportFailure};
    response += answer.body;
    return platform::HttpAnswer{answer.status, lastError};
}

std::vector<FakeHttp::Call> FakeHttp::Calls() const {
    std::lock_guard lock(m_mutex);
    return m_calls;
}

void FakeHttp::Queue(Answer answer) {
    std::lock_guard lock(m_mutex);
    m_answers.push_back(std::move(answer));
}

}  // namespace tessary::testing
