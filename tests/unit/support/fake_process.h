#pragma once
#include <cstdint>
#include <future>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/process_port.h"

namespace tessary::testing {

// Notes every command line it is asked to start and answers with a scripted outcome; safe to
// call from the launch threads.
class FakeProcesses : public platform::ProcessPort {
public:
    struct Outcome {
        std::optional<platform::Status> startFailure{};  // the start fails with this status
        std::uint32_t exitCode = 0;
        std::optional<platform::Status> waitFailure{};  // Wait fails with this status
        // When valid, the program "runs" until this is ready: Wait blocks on it. Otherwise it
        // has ended as soon as it started.
        std::shared_future<void> runsUntil{};
    };

    platform::Result<std::unique_ptr<platform::RunningProcess>> Start(const std::wstring& commandLine) override;
    std::wstring SystemErrorText(platform::Status status) const override;

    // The outcome for one command line; the default one for every other.
    void SetOutcome(const std::wstring& commandLine, const Outcome& outcome);
    void SetDefaultOutcome(const Outcome& outcome);
    std::vector<std::wstring> CommandLines() const;
    // How many processes were waited for until they ended.
    int Waits() const;

    std::map<platform::Status, std::wstring> errorTexts{{2, L"File not found.\r\n"},
                                                        {193, L"%1 is not a valid Win32 application.\r\n"}};

private:
    friend class FakeRunningProcess;
    mutable std::mutex m_mutex;
    Outcome m_default;
    std::map<std::wstring, Outcome> m_outcomes;
    std::vector<std::wstring> m_commandLines;
    int m_waits = 0;
};

}  // namespace tessary::testing
