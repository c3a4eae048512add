#include "platform/diagnostics.h"

#include <cstdio>

#include "platform/ports.h"

namespace tessary::platform {
namespace {

// Without a platform sink there is no debugger to write to; standard output still exists.
class StandardOutputOnly : public DiagnosticsPort {
public:
    void Write(DiagnosticTarget target, std::string_view line) noexcept override {
        if (target != DiagnosticTarget::StandardOutput) return;
        std::fwrite(line.data(), 1, line.size(), stdout);
        std::fputc('\n', stdout);
    }
};

}  // namespace

DiagnosticsPort& Diagnostics() noexcept {
    static StandardOutputOnly fallback;
    const auto& installed = CurrentPorts().diagnostics;
    return installed ? *installed : fallback;
}

void WriteDiagnostic(DiagnosticTarget target, std::string_view line) noexcept { Diagnostics().Write(target, line); }

void ReportFailure(std::string_view operation, Status status) noexcept {
    try {
        std::string line(operation);
        line += " failed: ";
        line += std::to_string(status);
        WriteDiagnostic(DiagnosticTarget::Debugger, line);
    } catch (...) {
        // Out of memory while reporting: the failure itself is still returned to the caller.
    }
}

void ReportCurrentException(std::string_view where) noexcept {
    try {
        std::string line = "Exception in ";
        line += where;
        line += ": ";
        try {
            throw;
        } catch (const std::exception& error) {
            line += error.what();
        } catch (...) {
            line += "not a standard exception";
        }
        WriteDiagnostic(DiagnosticTarget::Debugger, line);
    } catch (...) {
        // Nothing is left to report with; the callback still must not let anything through.
    }
}

}  // namespace tessary::platform
