#include "install/isv_arguments.h"

#include "config/configuration_manager.h"

namespace tessary {

std::wstring BuildIsvArguments(const ConfigurationValues& config) {
    const auto& configurations = config.m_configurations;
    const auto& options = config.m_options;
    // The main installer reads its choices by position; the fixed digits are switches it expects
    // in one state only.
    const bool digits[16] = {configurations[2],
                             configurations[3],
                             configurations[0],
                             false,
                             false,
                             configurations[1],
                             false,
                             true,
                             false,
                             true,
                             configurations[4],
                             configurations[2],
                             options[1],
                             options[2],
                             options[0],
                             false};
    std::wstring arguments = L"/S /FORCEINSTALL ";
    for (const bool set : digits) arguments += set ? L'1' : L'0';
    return arguments;
}

}  // namespace tessary
