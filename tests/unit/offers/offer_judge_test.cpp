// The document loading with the real checks: the kept offers come back, the rejected ones reach
// the service as event 2 with their reason.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "config/configuration_document.h"
#include "configuration_snapshot.h"
#include "fake_ports.h"
#include "offers/offer_judge.h"

namespace tessary {
namespace {

using json = nlohmann::json;

json OfferObject(const std::string& id, json rules) {
    json ps = {{"i", "i.png"}, {"dn", id}, {"u", "u.exe"}};
    ps.update(rules);
    return {{"ad", {{"o", id}, {"f", "f"}}}, {"ps", ps}};
}

TEST(OfferJudge, TheDocumentKeepsWhatTheMachineAllowsAndReportsTheRest) {
    testing::FakePorts ports;
    testing::ConfigurationSnapshot config;
    config->m_wizardType = 1;
    config->m_configCh.clear();
    ports.registry->CreateKey(platform::RegistryRoot::CurrentUser, L"Software\\Rival");
    const json document = {
        {"i", {{"ct", "Product"}, {"cu", "https://p.test/p.exe"}}},
        {"f", {{"a", "pub"}, {"m", 5}}},
        {"o", {OfferObject("kept", {{"v", 1}}), OfferObject("rival", {{"v", 2}, {"r", {"rival"}}}),
               OfferObject("also-kept", {{"v", 3}})}}};

    const auto loaded = LoadConfigurationDocument(document, CheckOffersOnThisMachine(*config));

    ASSERT_EQ(loaded.offers.size(), 2u);
    EXPECT_EQ(loaded.offers[0]->m_offerId, "kept");
    EXPECT_EQ(loaded.offers[1]->m_offerId, "also-kept");
    // The rejected offer is gone from the list; its report runs on a thread of its own.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (ports.http->Calls().empty() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    const auto calls = ports.http->Calls();
    ASSERT_EQ(calls.size(), 1u);
    const json event = json::parse(json::parse(calls[0].body).at("data").get<std::string>());
    EXPECT_EQ(event["6"], "2");
    EXPECT_EQ(event["5"], "rival");
    EXPECT_EQ(event["13"], "REGISTRY KEY EXISTS");
}

}  // namespace
}  // namespace tessary
