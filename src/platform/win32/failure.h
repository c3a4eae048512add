#pragma once
// Turning a failed system call into the failure side of a port's Result, reported once, here.
#include <windows.h>

#include <string_view>

#include "platform/diagnostics.h"
#include "platform/result.h"

namespace tessary::win32 {

// The failure of a call that returned a status itself (the registry functions do).
inline platform::Failure FailWith(std::string_view operation, platform::Status status) {
    if (!platform::IsNotFound(status)) platform::ReportFailure(operation, status);
    return platform::Failure{status};
}

// The failure of a call that left its status in GetLastError.
inline platform::Failure FailWithLastError(std::string_view operation) { return FailWith(operation, ::GetLastError()); }

// The status inside an HRESULT: the Windows code when it wraps one, the HRESULT itself otherwise.
inline platform::Status StatusOf(HRESULT result) {
    if (HRESULT_FACILITY(result) == FACILITY_WIN32) return static_cast<platform::Status>(HRESULT_CODE(result));
    return static_cast<platform::Status>(result);
}

}  // namespace tessary::win32
