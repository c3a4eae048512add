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
#include "real_ports.h"
#include "real_registry.h"

namespace tessary {
namespace {

using json = nlohmann::json;

const std::wstring kScratchPath = L"Software\\TessaryOfferChecks";

class OfferChecksOnWindows : public ::testing::Test {
protected:
    OfferChecksOnWindows() { m_config->m_maxOffers = 100; }

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
    // Removes the scratch keys of both roots in both views before the test and after it.
    testing::RealRegistryUnderTest m_registry{
        {{platform::RegistryRoot::CurrentUser, kScratchPath}, {platform::RegistryRoot::LocalMachine, kScratchPath}}};
    testing::ConfigurationGuard m_config;
    std::unique_ptr<OfferChecker> m_checker;
    std::vector<std::shared_ptr<Package>> m_accepted;
    std::string m_reason;
    int m_made = 0;
};

TEST_F(OfferChecksOnWindows, KeysInEitherViewAreFoundAsTheShippedProgramSeesThem) {
    using platform::RegistryRoot;
    using platform::RegistryView;
    m_registry.CreateKey(RegistryRoot::LocalMachine, RegistryView::Force64, kScratchPath + L"\\Native");
    m_registry.CreateKey(RegistryRoot::LocalMachine, RegistryView::Force32, kScratchPath + L"\\Redirected");
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
        m_registry.RemoveTestKeys();
        m_checker.reset();
        const json rules = {{"pn", true}, {"pnr", marker}};
        EXPECT_EQ(ReasonFor(rules), "") << marker;
        const auto shown = std::make_shared<Package>(
            SignedRequest(),
            json{{"ad", {{"o", "shown"}, {"f", "f"}}},
                 {"ps", {{"i", "i"}, {"dn", "d"}, {"u", "u"}, {"pn", true}, {"pnr", marker}}}},
            false, "c", 0);
        ASSERT_TRUE(shown->WritePnMarker());
        const auto written = m_registry.Port().TestKey(platform::RegistryRoot::LocalMachine, kScratchPath,
                                                       platform::RegistryView::Force32);
        EXPECT_TRUE(written) << marker << " " << written.GetStatus();
        // The next evaluation sees it; the one before cached the Software keys without it.
        m_checker.reset();
        EXPECT_EQ(ReasonFor(rules), "PN NO SHOW") << marker;
    }
}

}  // namespace
}  // namespace tessary
