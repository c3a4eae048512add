#pragma once
// The process-wide configuration, set up for package tests: fixed machine identity, session and
// path placeholders, and every field the configuration document fills put back afterwards.
#include <memory>
#include <string>
#include <tuple>

#include "config/configuration_manager.h"

namespace tessary::testing {

class ConfigurationSnapshot {
public:
    // Needs the fake ports installed: the first use creates the configuration.
    ConfigurationSnapshot() : m_config(ConfigurationManager::GetInstance()), m_saved(Fields(*m_config)) {
        m_config->BuildPathPlaceholders();
        m_savedPaths = m_config->m_pathPlaceholders;
        m_config->m_pathPlaceholders = {};
        m_config->m_machineId = "4c4c4544-0042";
        m_config->m_sessionTimestamp = "20251209080000";
    }
    ~ConfigurationSnapshot() {
        Fields(*m_config) = m_saved;
        m_config->m_pathPlaceholders = m_savedPaths;
    }
    ConfigurationSnapshot(const ConfigurationSnapshot&) = delete;
    ConfigurationSnapshot& operator=(const ConfigurationSnapshot&) = delete;

    ConfigurationManager& operator*() const { return *m_config; }
    ConfigurationManager* operator->() const { return m_config.get(); }

private:
    using FieldTuple = std::tuple<int, std::wstring, std::wstring, std::wstring, std::wstring, std::wstring,
                                  std::wstring, std::wstring, std::wstring, std::wstring, std::wstring, std::wstring,
                                  int, int, std::string, std::string, std::string, std::string, std::string>;
    using FieldRefs = std::tuple<int&, std::wstring&, std::wstring&, std::wstring&, std::wstring&, std::wstring&,
                                 std::wstring&, std::wstring&, std::wstring&, std::wstring&, std::wstring&,
                                 std::wstring&, int&, int&, std::string&, std::string&, std::string&, std::string&,
                                 std::string&>;
    static FieldRefs Fields(ConfigurationManager& c) {
        return {c.m_wizardType,      c.m_productTitle,  c.m_productUrl, c.m_productImageUrl, c.m_productFileName,
                c.m_productPrivacyUrl, c.m_productTermsUrl, c.m_configCh, c.m_configCfl, c.m_brand,
                c.m_clientId,        c.m_eventsUrl,     c.m_maxOffers,  c.m_offerCount,      c.m_countryCode,
                c.m_publisherId,     c.m_ispb,          c.m_machineId,  c.m_sessionTimestamp};
    }

    std::shared_ptr<ConfigurationManager> m_config;
    FieldTuple m_saved;
    PlaceholderTable m_savedPaths;
};

}  // namespace tessary::testing
