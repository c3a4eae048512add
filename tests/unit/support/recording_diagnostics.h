#pragma once
#include <mutex>
#include <string>
#include <vector>

#include "platform/diagnostics.h"

namespace tessary::testing {

// Keeps every diagnostic line, so tests can read what the program reported.
class RecordingDiagnostics : public platform::DiagnosticsPort {
public:
    struct Line {
        platform::DiagnosticTarget target;
        std::string text;
        bool operator==(const Line&) const = default;
    };
    void Write(platform::DiagnosticTarget target, std::string_view line) noexcept override;
    std::vector<Line> Lines() const;
    // The lines written to one target, in order.
    std::vector<std::string> Texts(platform::DiagnosticTarget target) const;

private:
    mutable std::mutex m_mutex;
    std::vector<Line> m_lines;
};

}  // namespace tessary::testing
