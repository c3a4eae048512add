#pragma once
// The one place diagnostic lines go. Nothing here is shown to the user: the Windows sink writes
// to the debugger output and to standard output, and tests install a sink that keeps the lines.
#include <exception>
#include <string>
#include <string_view>

#include "platform/result.h"

namespace tessary::platform {

enum class DiagnosticTarget {
    Debugger,        // the debugger output: navigation, failed system calls, escaped exceptions
    StandardOutput,  // the service client's failed reads
};

class DiagnosticsPort {
public:
    virtual ~DiagnosticsPort() = default;
    // One line of UTF-8 text without its line end, which the sink adds. Called from any thread;
    // must not throw.
    virtual void Write(DiagnosticTarget target, std::string_view line) noexcept = 0;
};

// The sink in force, or one that writes standard-output lines to stdout when none is installed:
// a window procedure may have to report before the ports are installed or after they are gone.
DiagnosticsPort& Diagnostics() noexcept;

void WriteDiagnostic(DiagnosticTarget target, std::string_view line) noexcept;

// "<operation> failed: <status>" on the debugger output. The ports report their failures here;
// absence ("not found") is an answer and is not reported.
void ReportFailure(std::string_view operation, Status status) noexcept;

// "Exception in <where>: <what>" on the debugger output, for the exception being handled. Only
// meaningful inside a catch block.
void ReportCurrentException(std::string_view where) noexcept;

// Runs a Windows callback's body so that no exception unwinds into the system: what escapes is
// reported and the callback answers with fallback() instead.
template <typename Body, typename Fallback>
auto GuardCallback(std::string_view where, Body&& body, Fallback&& fallback) noexcept -> decltype(body()) {
    try {
        return body();
    } catch (...) {
        ReportCurrentException(where);
    }
    return fallback();
}

}  // namespace tessary::platform
