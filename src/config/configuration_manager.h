#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "config/build_constants.h"
#include "config/insertion_ordered_map.h"
#include "platform/image.h"

namespace tessary {

class Package;

using PlaceholderTable = InsertionOrderedMap<std::wstring, std::wstring>;

// Every value the configuration holds: build constants, values derived from the machine, and the
// slots the wizard fills as it goes. It holds no lock, so the whole of it can be copied: tests save
// and restore it in one piece.
struct ConfigurationValues {
    int m_wizardType = 0;
    bool m_btVariant = false;
    bool m_btClassicOptions = false;
    bool m_mainFailureCode3 = true;
    std::wstring m_productTitle;
    std::wstring m_productUrl;
    std::wstring m_productFallbackUrl;
    std::wstring m_productImageUrl;
    std::wstring m_productPrivacyUrl;
    std::wstring m_productTermsUrl;
    std::wstring m_sdkPrivacyUrl;
    std::wstring m_downloadFolder;
    std::wstring m_productFileName;
    std::wstring m_tempFolder;
    std::wstring m_productArguments;
    std::array<bool, 3> m_options{};
    std::array<bool, 5> m_configurations{};
    std::wstring m_launchTarget;
    std::wstring m_launchParameters;
    std::wstring m_clientId;
    std::wstring m_downloadedPath;
    std::wstring m_version;
    std::wstring m_configUrl;
    std::wstring m_eventsUrl;
    std::wstring m_brand;
    std::wstring m_sourceId;
    std::wstring m_configCh;
    std::wstring m_configCfl;
    std::uint32_t m_backgroundColor = 0;
    std::uint32_t m_accentColor = 0;
    int m_maxOffers = 0;
    int m_offerCounter = 0;
    int m_offerCount = 0;
    std::wstring m_filesUrl;
    std::wstring m_languageName;
    std::wstring m_localeName;
    std::string m_countryCode;
    std::string m_publisherId;
    std::string m_ispb;
    std::vector<std::shared_ptr<Package>> m_acceptedPackages;
    std::vector<std::shared_ptr<Package>> m_shownPackages;
    std::shared_ptr<Package> m_mainPackage;
    std::shared_ptr<platform::Image> m_productImage;
    std::string m_sessionTimestamp;
    std::string m_machineId;
    PlaceholderTable m_pathPlaceholders;
    PlaceholderTable m_pathPlaceholders64;
    bool m_placeholdersReady = false;
    bool m_exitRequested = false;
    bool m_offerDeclined = false;
};

// The one process-wide object every part consults. Its fields are public; each is written by the
// few places that own it.
class ConfigurationManager : public ConfigurationValues {
public:
    static std::shared_ptr<ConfigurationManager> GetInstance();

    explicit ConfigurationManager(const BuildConstants& constants);

    // Session values and path placeholders, computed once and cached.
    std::string GetSessionTimestamp();
    std::string GetTimestampMs() const;
    std::string GetMachineId();
    PlaceholderTable GetPathPlaceholders();
    void BuildPathPlaceholders();

private:
    void SetUpDownloadFlavour();
    void SetUpInstallerFlavour(const BuildConstants& constants);

    // The first computation of each cache may race between the interface thread and the
    // loading worker; these keep it to one.
    std::mutex m_sessionMutex;
    std::once_flag m_placeholdersOnce;
};

// The version of this executable from its fixed file version, "major.minor.build.revision";
// empty when the version resource cannot be read.
std::wstring GetProgramVersion();

// Makes a new, uniquely named folder in the temporary path and returns its path. The caller
// checks that the folder exists.
std::wstring CreateRunTempFolder();

}  // namespace tessary
