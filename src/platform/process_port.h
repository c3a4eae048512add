#pragma once
// Starting the programs the wizard downloaded. The decisions (the command line, whether to wait,
// what an exit code means) stay with the portable caller; this only starts, waits and asks.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/result.h"

namespace tessary::platform {

// A started program. Letting go of the object lets go of the program, never ends it.
class RunningProcess {
public:
    virtual ~RunningProcess() = default;
    // Returns once the program has ended, however long that takes.
    virtual Result<void> Wait() = 0;
    // The code the program ended with; only meaningful after Wait.
    virtual Result<std::uint32_t> ExitCode() = 0;
    // Whether the program has ended, without waiting; false while that cannot be told.
    virtual bool HasEnded() = 0;
};

class ProcessPort {
public:
    virtual ~ProcessPort() = default;
    // Starts the command line as it is (the program is its first, quoted part), with the
    // wizard's environment, current folder and rights, inheriting no handle.
    virtual Result<std::unique_ptr<RunningProcess>> Start(const std::wstring& commandLine) = 0;
    // The system's message for a status as the system words it (line end included, inserts such
    // as "%1" left as they are), or "" when it has none.
    virtual std::wstring SystemErrorText(Status status) const = 0;
};

}  // namespace tessary::platform
