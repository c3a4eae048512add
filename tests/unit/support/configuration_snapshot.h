#pragma once
// The process-wide configuration, set up for package tests: fixed machine identity and session,
// no path placeholders, and everything put back afterwards.
#include "configuration_guard.h"

namespace tessary::testing {

class ConfigurationSnapshot : public ConfigurationGuard {
public:
    // Needs the fake ports installed: the first use creates the configuration.
    ConfigurationSnapshot() {
        (*this)->m_pathPlaceholders = {};
        (*this)->m_machineId = "4c4c4544-0042";
        (*this)->m_sessionTimestamp = "20251209080000";
    }
};

}  // namespace tessary::testing
