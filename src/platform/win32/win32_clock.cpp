#include <windows.h>

#include "platform/win32/failure.h"
#include "platform/win32/win32_ports.h"

namespace tessary::win32 {
namespace {

class Win32Clock : public platform::ClockPort {
public:
    std::int64_t UnixTimeMs() const override {
        FILETIME now{};
        ::GetSystemTimeAsFileTime(&now);
        const auto ticks = (static_cast<std::int64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
        constexpr std::int64_t kTicksFrom1601To1970 = 116444736000000000LL;
        return (ticks - kTicksFrom1601To1970) / 10000;
    }

    platform::Result<std::tm> LocalTime(std::time_t seconds) const override {
        std::tm out{};
        // The runtime answers with an errno value; the Windows code for a time it cannot convert is this one.
        if (localtime_s(&out, &seconds) != 0) return FailWith("localtime_s", ERROR_INVALID_PARAMETER);
        return out;
    }

    void SleepMs(unsigned milliseconds) override { ::Sleep(milliseconds); }
};

}  // namespace

std::shared_ptr<platform::ClockPort> MakeClockPort() { return std::make_shared<Win32Clock>(); }

}  // namespace tessary::win32
