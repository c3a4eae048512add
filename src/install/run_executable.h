#pragma once
#include <cstdint>
#include <future>
#include <memory>
#include <string>

#include "platform/process_port.h"

namespace tessary {

// The exit code of a program nobody waited for, or that never started.
inline constexpr std::uint32_t kExitCodeUnknown = 0xFFFFFFFFu;

// What starting a downloaded program gave.
struct LaunchResult {
    std::uint32_t exitCode = kExitCodeUnknown;
    // "exit code = %u" for any exit code but 0 (so also for a program nobody waited for), or
    // "Error launching executable: %s" with the system's text; empty for an exit code of 0.
    std::wstring message;
    // The process was created. A program nobody waits for has succeeded once this is set.
    bool started = false;
    // A program nobody waits for, so that the wizard can tell whether it still runs.
    std::shared_ptr<platform::RunningProcess> process;
};

// The command line a program is started with: the path in double quotes, one blank, then the
// arguments (so it ends with a blank when there are none).
std::wstring InstallerCommandLine(const std::wstring& path, const std::wstring& arguments);

// Starts the program with the wizard's environment, folder and rights; with wait, waits until it
// has ended and takes its exit code.
LaunchResult RunExecutable(const std::wstring& path, const std::wstring& arguments, bool wait);

// RunExecutable on a thread of its own. The future is ready once it has returned; dropping the
// future never waits, so closing the wizard does not wait for an installer. When no thread can
// be started the future is ready at once with a launch that failed.
std::future<LaunchResult> RunExecutableAsync(std::wstring path, std::wstring arguments, bool wait);

}  // namespace tessary
