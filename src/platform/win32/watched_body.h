#pragma once
// What the bodies of the two HTTP stacks share: the watch that owns their handles, the request the
// body is read from, the answer, and the read call, which has the same shape in both stacks.
#include <windows.h>

#include <memory>
#include <utility>

#include "platform/transfer_port.h"
#include "platform/win32/transfer_watch.h"

namespace tessary::win32 {

class WatchedBody : public platform::TransferBody {
public:
    // WinHttpReadData and InternetReadFile; both stacks' handles are untyped pointers.
    using ReadCall = BOOL(WINAPI*)(void* request, void* buffer, DWORD wanted, DWORD* read);

    WatchedBody(const platform::TransferRequest& request, ReadCall read)
        : m_watch(request.cancelled, request.noProgressLimitMs), m_read(read) {}

    // The status a failed call is reported with: the watch's reason when it closed the handles.
    platform::Status Explain(platform::Status status) const { return m_watch.Explain(status); }

    const platform::TransferAnswer& Answer() const override { return m_answer; }

    platform::Result<std::size_t> Read(char* buffer, std::size_t size) override {
        DWORD read = 0;
        const DWORD wanted = size > MAXDWORD ? MAXDWORD : static_cast<DWORD>(size);
        if (!m_read(m_request, buffer, wanted, &read)) return platform::Failure{Explain(::GetLastError())};
        if (read > 0) m_watch.Progress();
        return static_cast<std::size_t>(read);
    }

protected:
    TransferWatch m_watch;
    void* m_request = nullptr;  // owned by the watch
    platform::TransferAnswer m_answer;

private:
    ReadCall m_read;
};

// Opens a body of one stack (Body::Start returns the step that failed, if one did): the body
// whose answer arrived, or that step with its status.
template <class Body, class... Arguments>
platform::TransferOpening OpenBody(const platform::TransferRequest& request, const Arguments&... arguments) {
    auto body = std::make_unique<Body>(request);
    const auto failedStep = body->Start(request, arguments...);
    if (!failedStep) return {std::move(body), platform::TransferStep::Session, platform::kSuccess};
    const platform::Status status = body->Explain(::GetLastError());
    return {nullptr, *failedStep, status};
}

}  // namespace tessary::win32
