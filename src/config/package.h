#pragma once
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "config/insertion_ordered_map.h"
#include "config/signed_request.h"
#include "platform/image.h"

// The Windows headers turn this name into a macro for their event log; Package's own
// ReportEvent must keep its name in code that sees those headers too.
#ifdef ReportEvent
#undef ReportEvent
#endif

namespace tessary {

// One "cmdu" rule: keep the offer away for umd days after the uninstallation time stored in a
// registry value.
struct MinDaysRule {
    std::wstring utr;   // root name
    std::wstring utk;   // key path below the root
    std::wstring utvn;  // value name
    std::wstring utvt;  // value type text, kept but not used
    int umd = 0;        // minimum number of days
    bool utms = false;  // the stored time counts milliseconds instead of seconds
};

// Text placeholders of a package. The order matters: a value may itself hold a placeholder that
// only a later entry resolves.
using PackagePlaceholders = InsertionOrderedMap<std::string, std::string>;

// One deliverable package: the main product or an offer from the configuration document. Always
// held by shared pointer, never copied: its event reports run on threads of their own that keep
// it alive.
class Package : public std::enable_shared_from_this<Package> {
public:
    // The flow numbers' value when the document sets none.
    static constexpr int kUnlimited = 2147483647;

    // An offer from its object of the configuration document ("ad" and "ps"). Throws the JSON
    // library's out_of_range for a missing required key and its type_error for a wrong type.
    Package(const SignedRequest& request, const nlohmann::json& offer, bool isMainProduct, const std::string& psC,
            int index);
    // The main product, from texts alone: no document, no placeholders, no rules.
    Package(const SignedRequest& request, bool isMainProduct, std::string displayName, std::string offerId,
            std::string adF, std::string psC, int index);
    // The same from wide configuration texts, stored as UTF-8.
    Package(const SignedRequest& request, bool isMainProduct, const std::wstring& displayName,
            const std::wstring& offerId, const std::wstring& adF, const std::wstring& psC, int index);

    Package(const Package&) = delete;
    Package& operator=(const Package&) = delete;

    // Refreshes the main product once the configuration has arrived.
    void UpdateMainProduct(const SignedRequest& request, const std::wstring& offerId, const std::wstring& cfl,
                           const std::wstring& title, const std::wstring& ch);

    // Replaces each "{key}" of the placeholder map, in the map's order.
    std::string ExpandPlaceholders(const std::string& text) const;

    // Stores the partner marker: the date 180 days from today as yyyymmdd under
    // HKEY_LOCAL_MACHINE, at the path of m_pnRegistryValue. True when it was written.
    bool WritePnMarker() const;

    // The affiliate identifier of a country code; "91082" for every code not in the table.
    static std::string CountryToAffiliateId(const std::string& countryCode);

    // Sends the event on a thread of its own and returns at once. Nothing is sent once a
    // terminal event has been delivered. extra: null or an object whose members replace the
    // template's values of the same keys. The package must be owned by a shared pointer.
    void ReportEvent(int code, const nlohmann::json& extra = nullptr);
    // Blocks until no report of this package is in flight.
    void WaitForPendingEvents();
    // Blocks until no report of any package is in flight, or until; true when none is any more.
    static bool WaitForAllPendingEvents(std::chrono::steady_clock::time_point until);

    // Fetches the offer's picture from the file host into m_image on a thread of its own, then
    // calls done there (if given); a picture that does not arrive or decode leaves m_image empty.
    // The main product has no picture of its own: done is called at once.
    void DownloadImage(std::function<void()> done);

    std::mutex m_eventMutex;
    std::condition_variable m_eventsIdle;
    int m_pendingEvents = 0;
    SignedRequest m_request;
    bool m_isMainProduct = false;
    std::string m_displayName;
    std::string m_offerId;
    std::string m_adF;
    std::string m_psC;
    std::string m_imageName;
    std::string m_downloadUrl;
    std::string m_installerArguments;
    std::string m_privacyUrl;
    std::string m_termsUrl;
    std::atomic<int> m_vertical{0};
    std::int64_t m_diskRequirement = 0;
    std::int64_t m_ramRequirement = 0;
    std::int64_t m_cpuRequirement = 0;
    int m_osRequirement = 0;
    std::string m_platformRequirement;
    bool m_requires64Bit = false;
    int m_index = 0;
    std::atomic<bool> m_eventsStopped{false};
    nlohmann::json m_eventTemplate;
    std::shared_ptr<platform::Image> m_image;
    PackagePlaceholders m_placeholders;
    std::vector<std::wstring> m_filesMustNotExist;
    std::vector<std::wstring> m_filesOneMustExist;
    std::vector<std::string> m_runningApps;
    std::vector<std::wstring> m_registryKeysMustNotExist;
    std::vector<std::wstring> m_registryKeysOneMustExist;
    std::vector<std::wstring> m_registryValues;
    std::vector<std::wstring> m_registryValueData;
    std::vector<std::wstring> m_eapp;
    std::vector<std::wstring> m_iapp;
    bool m_exclusive = false;
    bool m_requiresChrome = false;
    bool m_requiresNoChrome = false;
    bool m_checkIeVersion = false;
    std::vector<MinDaysRule> m_minDaysRules;
    bool m_pnEnabled = false;
    std::string m_pnApiUrl;
    std::string m_pnApiKey;
    std::string m_pnRegistryValue;
    std::string m_pnOp;
    bool m_pnSi = false;
    std::string m_pnStubParams;
    std::string m_pnLa;
    int m_flowMb = kUnlimited;
    std::vector<std::string> m_flowAb;
    int m_flowMa = kUnlimited;
    std::vector<std::string> m_flowAa;
    int m_flowMo = kUnlimited;
    bool m_skipAllAfterDecline = false;
    bool m_skipIfDeclinedBefore = false;

private:
    void InsertSessionPlaceholders();
    void ReadDescription(const nlohmann::json& ps);
    void ReadRules(const nlohmann::json& ps);
    void ApplyPreset(int preset);
    void ReadPartnerBlock(const nlohmann::json& ps);
    void ReadFlowSettings(const nlohmann::json& ps);
    std::string ReadExpanded(const nlohmann::json& ps, const char* key, std::string fallback = {});

    // Builds m_eventTemplate from m_request and the package's own fields.
    void BuildEventTemplate();
    void SendEvent(int code, const nlohmann::json& extra);
    void FinishEvent();
};

}  // namespace tessary
