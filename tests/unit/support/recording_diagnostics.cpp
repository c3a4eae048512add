#include "recording_diagnostics.h"

namespace tessary::testing {

void RecordingDiagnostics::Write(platform::DiagnosticTarget target, std::string_view line) noexcept {
    // A sink must never throw; a line that cannot be kept (no memory) is lost, not the test run.
    try {
        std::lock_guard lock(m_mutex);
        m_lines.push_back({target, std::string(line)});
    } catch (...) {
    }
}

std::vector<RecordingDiagnostics::Line> RecordingDiagnostics::Lines() const {
    std::lock_guard lock(m_mutex);
    return m_lines;
}

std::vector<std::string> RecordingDiagnostics::Texts(platform::DiagnosticTarget target) const {
    std::vector<std::string> texts;
    for (const auto& line : Lines()) {
        if (line.target == target) texts.push_back(line.text);
    }
    return texts;
}

}  // namespace tessary::testing
