#pragma once
// The system's own words for a status, for the ports that hand them to the user's texts.
#include <string>

#include "platform/result.h"

namespace tessary::win32 {

enum class MessageInserts {
    // Inserts are filled from no arguments: only for codes whose messages have none (the transfer
    // stacks' codes), where the text comes out as the transfers' texts always did.
    Expand,
    // "%1" stays as it is, so a message with inserts ("%1 is not a valid Win32 application.",
    // what starting a file that is no program gives) comes out too.
    Keep,
};

// The message exactly as the system words it (line end included), or "" when it has none.
std::wstring SystemErrorText(platform::Status status, MessageInserts inserts);

}  // namespace tessary::win32
