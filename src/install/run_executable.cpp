#include "install/run_executable.h"

#include <memory>

#include "platform/detached_thread.h"
#include "platform/diagnostics.h"
#include "platform/ports.h"

namespace tessary {
namespace {

constexpr wchar_t kLaunchError[] = L"Error launching executable: ";

LaunchResult FailedLaunch(const std::wstring& why) { return LaunchResult{kExitCodeUnknown, kLaunchError + why, false}; }

}  // namespace

std::wstring InstallerCommandLine(const std::wstring& path, const std::wstring& arguments) {
    return L"\"" + path + L"\" " + arguments;
}

LaunchResult RunExecutable(const std::wstring& path, const std::wstring& arguments, bool wait) {
    auto& processes = platform::Processes();
    const auto process = processes.Start(InstallerCommandLine(path, arguments));
    if (!process) return FailedLaunch(processes.SystemErrorText(process.GetStatus()));

    LaunchResult result;
    result.started = true;
    if (wait && (*process)->Wait()) {
        // A code that cannot be read stays unknown, which reads as a failure below.
        const auto code = (*process)->ExitCode();
        if (code) result.exitCode = *code;
    }
    if (result.exitCode != 0) result.message = L"exit code = " + std::to_wstring(result.exitCode);
    return result;
}

std::future<LaunchResult> RunExecutableAsync(std::wstring path, std::wstring arguments, bool wait) {
    // Shared with the thread, which may outlive the future and whoever held it.
    auto promise = std::make_shared<std::promise<LaunchResult>>();
    auto future = promise->get_future();
    const bool running =
        platform::StartDetachedThread([promise, path = std::move(path), arguments = std::move(arguments), wait]() {
            // The future becomes ready on every way out: a page polls it until it is.
            try {
                promise->set_value(RunExecutable(path, arguments, wait));
            } catch (...) {
                platform::ReportCurrentException("RunExecutable");
                try {
                    promise->set_value(FailedLaunch(L"the launch ended with an internal error"));
                } catch (...) {
                    promise->set_exception(std::current_exception());
                }
            }
        });
    if (!running) promise->set_value(FailedLaunch(L"no thread could be started to run the program"));
    return future;
}

}  // namespace tessary
