#pragma once
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/http_port.h"

namespace tessary::testing {

// Answers POSTs from a script; records every call.
class FakeHttp : public platform::HttpPort {
public:
    struct Call {
        std::wstring host, path;
        std::string body;
        platform::HeaderList headers;
    };
    struct Answer {
        bool delivered = true;  // false: transport failure
        unsigned long status = 200;
        std::string body;
    };
    platform::Result<platform::UrlParts> CrackUrl(const std::wstring& url) const override;
    platform::Result<platform::HttpAnswer> HttpsPost(const std::wstring& host, const std::wstring& path,
                                                     const std::string& body, platform::HeaderList headers,
                                                     std::string& response) override;

    std::vector<Call> Calls() const;
    void Queue(Answer answer);

    std::function<Answer(const Call&)> handler;  // used when the queue is empty
    // The thread's last error an answer carries, and the status a transport failure fails with.
    platform::Status lastError = 0;
    platform::Status transportFailure = 12029;  // ERROR_WINHTTP_CANNOT_CONNECT

private:
    mutable std::mutex m_mutex;
    std::vector<Call> m_calls;
    std::deque<Answer> m_answers;
};

}  // namespace tessary::testing
