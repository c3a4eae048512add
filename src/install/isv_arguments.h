#pragma once
#include <string>

namespace tessary {

struct ConfigurationValues;

// The main installer's command line in the installer flavour with the classic options:
// "/S /FORCEINSTALL " and sixteen digits from the user's option and configuration choices.
std::wstring BuildIsvArguments(const ConfigurationValues& config);

}  // namespace tessary
