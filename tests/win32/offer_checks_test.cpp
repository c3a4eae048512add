// The offer checks on the real registry, file system and process list. Both builds run this on
// 64-bit Windows: the 64-bit one natively, the shipped 32-bit one under WOW64, and they must
// judge alike. Keys are written with the system's own functions below a scratch key.
#include <windows.h>

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "config/configuration_manager.h"
#include "config/package.h"
#include "configuration_guard.h"
#include "offers/offer_checker.h"
#include "platform/win32/handles.h"
#include "real_ports.h"

namespace tessary {
namespace {

using json = nlohmann::json;

constexpr wchar_t kScratch[] = L"TessaryOfferChecks";

void RemoveScratchKeys() {
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
            win32::RegistryKey software;
            if (::RegOpenKeyExW(root, L"Software", 0, KEY_ALL_ACCESS | view, software.Put()) == ERROR_SUCCESS) {
                ::RegDeleteTreeW(software.Get(), kScratch);
            }
        }
    }
}

void CreateKey(HKEY root, const std::wstring& path, REGSAM view) {
    win32::RegistryKey key;
    ASSERT_EQ(::RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_WRITE | view, nullptr, key.Put(), nullptr),
              ERROR_SUCCESS);
}

class OfferChecksOnWindows : public ::testing::Test {
protected:
    OfferChecksOnWindows() {
        RemoveScratchKeys();
        m_config->m_maxOffers = 100;
    }
    ~OfferChecksOnWindows() override { RemoveScratchKeys(); }

    // The reason an offer with these rules is turned away with, or "" when it is kept.
    std::string ReasonFor(json rules) {
        if (!m_checker) {
            m_checker = std::make_unique<OfferChecker>(
                100, *m_config,
                OfferCheckerPorts{platform::Registry(), platform::FileSystem(), platform::System(), platform::Clock(),
                                  [this](const std::shared_ptr<Package>&, const std::string& reason) {
                                      m_reason = reason;
                                  }});
        }
        json ps = {{"i", "i.png"}, {"dn", "Tool"}, {"u", "https://files.test/t.exe"}, {"v", ++m_made}};
        ps.update(rules);
        const json offer = {{"ad", {{"o", "offer-" + std::to_string(m_made)}, {"f", "f"}}}, {"ps", ps}};
        auto package = std::make_shared<Package>(SignedRequest(), offer, false, "c", 0);
        m_reason.clear();
        bool stop = false;
        const bool kept = m_checker->Check(package, stop, m_accepted);
        if (kept) m_accepted.push_back(package);
        return m_reason;
    }

    testing::RealPorts m_ports;
    testing::ConfigurationGuard m_config;
    std::unique_ptr<OfferChecker> m_checker;
    std::vector<std::shared_ptr<Package>> m_accepted;
    std::string m_reason;
    int m_made = 0;
};

TEST_F(OfferChecksOnWindows, KeysInEitherViewAreFoundAsTheShippedProgramSeesThem) {
    const std::wstring scratch = std::wstring(L"Software\\") + kScratch;
    CreateKey(HKEY_LOCAL_MACHINE, scratch + L"\\Native", KEY_WOW64_64KEY);
    CreateKey(HKEY_LOCAL_MACHINE, scratch + L"\\Redirected", KEY_WOW64_32KEY);
    const std::string relative = "tessaryofferchecks\\";
    EXPECT_EQ(ReasonFor({{"r", {relative + "native"}}}), "REGISTRY KEY EXISTS");
    EXPECT_EQ(ReasonFor({{"r", {relative + "redirected"}}}), "REGISTRY KEY EXISTS");
    EXPECT_EQ(ReasonFor({{"r", {"hklm\\software\\" + relative + "native"}}}), "REGISTRY KEY EXISTS");
    EXPECT_EQ(ReasonFor({{"r", {"hklm\\software\\wow6432node\\" + relative + "redirected"}}}), "REGISTRY KEY EXISTS");
    // The 64-bit view's key is not behind Wow6432Node, and the 32-bit one is not in the 64-bit view.
    EXPECT_EQ(ReasonFor({{"r", {"hklm\\software\\wow6432node\\" + relative + "native"}}}), "");
    EXPECT_EQ(ReasonFor({{"r", {"hklm\\software\\" + relative + "redirected"}}}), "");
}

TEST_F(OfferChecksOnWindows, ThisTestProgramIsARunningApplication) {
    EXPECT_EQ(ReasonFor({{"a", {"win32_tests"}}}), "APPLICATION RUNNING");
    EXPECT_EQ(ReasonFor({{"a", {"no-such-program"}}}), "");
}

TEST_F(OfferChecksOnWindows, BothBuildsRunOn64BitWindows) {
    EXPECT_EQ(ReasonFor({{"win64", true}}), "");
}

TEST_F(OfferChecksOnWindows, MachineFactsAreRead) {
    EXPECT_EQ(ReasonFor({{"disk", 1}, {"ram", 1}, {"cpu", 1}}), "");
    EXPECT_EQ(ReasonFor({{"ram", 1ll << 40}}), "NOT ENOUGH RAM");
}

// The marker lands in the 32-bit view, where the shipped program keeps it, and keeps the offer away
// however the document spells the key.
TEST_F(OfferChecksOnWindows, APartnerMarkerWrittenKeepsTheOfferAway) {
    for (const std::string marker : {"SOFTWARE\\TessaryOfferChecks\\Shown", "software\\tessaryofferchecks\\shown"}) {
        RemoveScratchKeys();
        m_checker.reset();
        const json rules = {{"pn", true}, {"pnr", marker}};
        EXPECT_EQ(ReasonFor(rules), "") << marker;
        const auto shown = std::make_shared<Package>(
            SignedRequest(),
            json{{"ad", {{"o", "shown"}, {"f", "f"}}},
                 {"ps", {{"i", "i"}, {"dn", "d"}, {"u", "u"}, {"pn", true}, {"pnr", marker}}}},
            false, "c", 0);
        ASSERT_TRUE(shown->WritePnMarker());
        win32::RegistryKey written;
        EXPECT_EQ(::RegOpenKeyExW(HKEY_LOCAL_MACHINE, (std::wstring(L"Software\\") + kScratch).c_str(), 0,
                                  KEY_READ | KEY_WOW64_32KEY, written.Put()),
                  ERROR_SUCCESS)
            << marker;
        // The next evaluation sees it; the one before cached the Software keys without it.
        m_checker.reset();
        EXPECT_EQ(ReasonFor(rules), "PN NO SHOW") << marker;
    }
}

}  // namespace
}  // namespace tessary
