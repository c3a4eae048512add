#pragma once
// Saves the whole process-wide configuration and puts it back when the guard ends, whatever a
// test changed in between; new fields are covered without anyone listing them.
#include <memory>

#include "config/configuration_manager.h"

namespace tessary::testing {

class ConfigurationGuard {
public:
    // Needs the ports in force: the first use creates the configuration.
    ConfigurationGuard() : m_config(ConfigurationManager::GetInstance()) {
        // The path table is made once per process; make it before the copy so that putting the
        // copy back leaves the table in place.
        m_config->BuildPathPlaceholders();
        m_saved = *m_config;
    }
    ~ConfigurationGuard() { Restore(); }
    ConfigurationGuard(const ConfigurationGuard&) = delete;
    ConfigurationGuard& operator=(const ConfigurationGuard&) = delete;

    // Puts the saved configuration back now; the guard keeps it for the end as well.
    void Restore() { static_cast<ConfigurationValues&>(*m_config) = m_saved; }

    ConfigurationManager& operator*() const { return *m_config; }
    ConfigurationManager* operator->() const { return m_config.get(); }

private:
    std::shared_ptr<ConfigurationManager> m_config;
    ConfigurationValues m_saved;
};

}  // namespace tessary::testing
