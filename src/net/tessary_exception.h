#pragma once
#include <stdexcept>
#include <string>

#include "platform/http_port.h"
#include "platform/result.h"

namespace tessary {

// A failed exchange with the remote service. It keeps what it was made from, so a caller can tell
// a service that answered badly from one that could not be reached at all.
class TessaryException : public std::runtime_error {
public:
    // A failure of our own making, before anything was sent (no URL, a system too old).
    explicit TessaryException(const std::string& what) : std::runtime_error(what) {}
    // The service answered, but not with what we need.
    TessaryException(const std::string& what, const platform::HttpAnswer& answer)
        : std::runtime_error(what), m_httpStatus(answer.status) {}
    // A step of the exchange could not be made; the system said why.
    TessaryException(const std::string& what, platform::Failure failure)
        : std::runtime_error(what), m_systemStatus(failure.status) {}

    // The HTTP status of the answer; 0 when no answer arrived.
    unsigned long HttpStatus() const noexcept { return m_httpStatus; }
    // The system's status of the step that failed; 0 when no system call failed.
    platform::Status SystemStatus() const noexcept { return m_systemStatus; }

private:
    unsigned long m_httpStatus = 0;
    platform::Status m_systemStatus = platform::kSuccess;
};

}  // namespace tessary
