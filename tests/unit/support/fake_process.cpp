#include "fake_process.h"

#include <chrono>

namespace tessary::testing {

class FakeRunningProcess : public platform::RunningProcess {
public:
    FakeRunningProcess(FakeProcesses& owner, const FakeProcesses::Outcome& outcome)
        : m_owner(owner), m_outcome(outcome) {}

    platform::Result<void> Wait() override {
        if (m_outcome.waitFailure) return platform::Failure{*m_outcome.waitFailure};
        if (m_outcome.runsUntil.valid()) m_outcome.runsUntil.wait();
        const std::lock_guard lock(m_owner.m_mutex);
        ++m_owner.m_waits;
        m_ended = true;
        return {};
    }

    platform::Result<std::uint32_t> ExitCode() override {
        // A process that has not ended answers as Windows does: STILL_ACTIVE.
        return m_ended ? m_outcome.exitCode : std::uint32_t{259};
    }

    bool HasEnded() override {
        if (m_ended) return true;
        return !m_outcome.runsUntil.valid() ||
               m_outcome.runsUntil.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
    }

private:
    FakeProcesses& m_owner;
    FakeProcesses::Outcome m_outcome;
    bool m_ended = false;
};

platform::Result<std::unique_ptr<platform::RunningProcess>> FakeProcesses::Start(const std::wstring& commandLine) {
    Outcome outcome;
    {
        const std::lock_guard lock(m_mutex);
        m_commandLines.push_back(commandLine);
        const auto found = m_outcomes.find(commandLine);
        outcome = found == m_outcomes.end() ? m_default : found->second;
    }
    if (outcome.startFailure) return platform::Failure{*outcome.startFailure};
    return std::unique_ptr<platform::RunningProcess>(std::make_unique<FakeRunningProcess>(*this, outcome));
}

std::wstring FakeProcesses::SystemErrorText(platform::Status status) const {
    const auto found = errorTexts.find(status);
    return found == errorTexts.end() ? std::wstring() : found->second;
}

void FakeProcesses::SetOutcome(const std::wstring& commandLine, const Outcome& outcome) {
    const std::lock_guard lock(m_mutex);
    m_outcomes[commandLine] = outcome;
}

void FakeProcesses::SetDefaultOutcome(const Outcome& outcome) {
    const std::lock_guard lock(m_mutex);
    m_default = outcome;
}

std::vector<std::wstring> FakeProcesses::CommandLines() const {
    const std::lock_guard lock(m_mutex);
    return m_commandLines;
}

int FakeProcesses::Waits() const {
    const std::lock_guard lock(m_mutex);
    return m_waits;
}

}  // namespace tessary::testing
