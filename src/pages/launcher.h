#pragma once
#include <functional>
#include <string>

namespace tessary {

// Starts what a finish page leaves the user with: a file, or a program with its parameters,
// through the shell's "open" action.
using Launcher = std::function<void(const std::wstring& file, const std::wstring& parameters)>;

// The shell itself, with the window state the started program chooses.
Launcher ShellLauncher();

}  // namespace tessary
