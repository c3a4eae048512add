#pragma once
#include <string>

#include <nlohmann/json.hpp>

namespace tessary {

class ConfigurationManager;

// The tag a download site writes into the executable's name ("Setup_ab1-x2z.exe" → "ab1-x2z"):
// the text after the path's last "_" up to its last ".", when it is 7 characters with a "-";
// otherwise empty.
std::wstring FileNameTag(const std::wstring& modulePath);

// What the configuration endpoint is told about this client and machine.
nlohmann::json BuildConfigurationRequest(const ConfigurationManager& config);

}  // namespace tessary
