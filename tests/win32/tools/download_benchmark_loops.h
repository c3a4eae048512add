#pragma once
// The bare loops the download benchmark holds the program's transfers against: one GET with one
// HTTP stack and nothing else, each piece written to the file as it arrives. Each stack in a file
// of its own, since their headers do not compile together.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace tessary::tools {

// What a loop did: the bytes it wrote, or the call that failed and its error code.
struct LoopOutcome {
    std::uint64_t bytes = 0;
    const char* failedCall = nullptr;
    unsigned long error = 0;
};

// Reads in pieces of readSize; with readSize 0, asks how much is ready before each read and reads
// exactly that, as the program's WinHTTP path does.
LoopOutcome BareWinHttpLoop(const std::wstring& url, std::size_t readSize, HANDLE file);
LoopOutcome BareWinInetLoop(const std::wstring& url, std::size_t readSize, HANDLE file);

// Writes a whole piece; false when the system refused.
bool WriteWhole(HANDLE file, const char* data, std::size_t size);

}  // namespace tessary::tools
