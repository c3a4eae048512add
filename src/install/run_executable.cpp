#include "install/run_executable.h"

#include "platform/detached_task.h"
#include "platform/diagnostics.h"
#include "platform/ports.h"

namespace tessary {
namespace {

constexpr wchar_t kLaunchError[] = L"Error launching executable: ";

LaunchResult FailedLaunch(const std::wstring& why) {
    LaunchResult failed;
    failed.message = kLaunchError + why;
    return failed;
}

}  // namespace

std::wstring InstallerCommandLine(const std::wstring& path, const std::wstring& arguments) {
    return L"\"" + path + L"\" " + arguments;
}

LaunchResult RunExecutable(const std::wstring& path, const std::wstring& arguments, bool wait) {
    auto& processes = platform::Processes();
    auto process = processes.Start(InstallerCommandLine(path, arguments));
    if (!process) return FailedLaunch(processes.SystemErrorText(process.GetStatus()));

    LaunchResult result;
    result.started = true;
    if (!wait) {
        result.process = std::move(process).Value();
    } else if ((*process)->Wait()) {
        // A code that cannot be read stays unknown, which reads as a failure below.
        const auto code = (*process)->ExitCode();
        if (code) result.exitCode = *code;
    }
    if (result.exitCode != 0) result.message = L"exit code = " + std::to_wstring(result.exitCode);
    return result;
}

std::future<LaunchResult> RunExecutableAsync(std::wstring path, std::wstring arguments, bool wait) {
    // The future becomes ready on every way out: a page polls it until it is.
    return platform::StartDetachedTask(
        [path = std::move(path), arguments = std::move(arguments), wait] {
            try {
                return RunExecutable(path, arguments, wait);
            } catch (...) {
                platform::ReportCurrentException("RunExecutable");
                return FailedLaunch(L"the launch ended with an internal error");
            }
        },
        FailedLaunch(L"no thread could be started to run the program"));
}

}  // namespace tessary
