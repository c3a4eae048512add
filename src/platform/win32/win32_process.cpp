#include <windows.h>

#include <vector>

#include "platform/win32/failure.h"
#include "platform/win32/handles.h"
#include "platform/win32/system_error_text.h"
#include "platform/win32/win32_ports.h"

namespace tessary::win32 {
namespace {

class Win32RunningProcess : public platform::RunningProcess {
public:
    explicit Win32RunningProcess(KernelHandle process) : m_process(std::move(process)) {}

    platform::Result<void> Wait() override {
        if (::WaitForSingleObject(m_process.Get(), INFINITE) == WAIT_OBJECT_0) return {};
        return FailWithLastError("WaitForSingleObject");
    }

    platform::Result<std::uint32_t> ExitCode() override {
        DWORD code = 0;
        if (!::GetExitCodeProcess(m_process.Get(), &code)) return FailWithLastError("GetExitCodeProcess");
        return static_cast<std::uint32_t>(code);
    }

    bool HasEnded() override { return ::WaitForSingleObject(m_process.Get(), 0) == WAIT_OBJECT_0; }

private:
    KernelHandle m_process;
};

class Win32Processes : public platform::ProcessPort {
public:
    platform::Result<std::unique_ptr<platform::RunningProcess>> Start(const std::wstring& commandLine) override {
        // CreateProcessW may write into the command line, so it gets a copy of its own.
        std::vector<wchar_t> line(commandLine.begin(), commandLine.end());
        line.push_back(L'\0');
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION started{};
        if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &started)) {
            return FailWithLastError("CreateProcessW");
        }
        KernelHandle process(started.hProcess);
        const KernelHandle thread(started.hThread);
        return std::unique_ptr<platform::RunningProcess>(std::make_unique<Win32RunningProcess>(std::move(process)));
    }

    std::wstring SystemErrorText(platform::Status status) const override {
        return win32::SystemErrorText(status, MessageInserts::Keep);
    }
};

}  // namespace

std::shared_ptr<platform::ProcessPort> MakeProcessPort() { return std::make_shared<Win32Processes>(); }

}  // namespace tessary::win32
