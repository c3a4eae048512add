#include <gtest/gtest.h>

#include "config/configuration_document.h"
#include "configuration_snapshot.h"
#include "fake_ports.h"

namespace tessary {
namespace {

using json = nlohmann::json;
using testing::W;

json OfferObject(const std::string& id, bool exclusive = false) {
    return {{"ad", {{"o", id}, {"f", "f"}}},
            {"ps", {{"i", "i.png"}, {"dn", id}, {"u", "u.exe"}, {"exc", exclusive}}}};
}

class DocumentTest : public ::testing::Test {
protected:
    DocumentTest() {
        config->m_wizardType = 1;
        config->m_configCh.clear();
        config->m_offerCount = 0;
    }
    static json Document() {
        return {{"l", "DE"},
                {"i", {{"ct", "Prödukt"}, {"cu", "https://p.test/p.exe"}, {"ch", "ch1"}, {"cb", "isp"}}},
                {"f", {{"a", "pub"}, {"m", 3.8}}},
                {"o", {OfferObject("a"), OfferObject("b"), OfferObject("c")}}};
    }
    // A checker that answers from a list and records what it saw.
    LoadedConfiguration Load(const json& document, std::vector<OfferVerdict> verdicts = {}) {
        return LoadConfigurationDocument(document, [this, verdicts](int maxOffers) mutable {
            seenLimit = maxOffers;
            return [this, verdicts](const std::shared_ptr<Package>& offer, const std::vector<std::shared_ptr<Package>>&) {
                checked.push_back(offer->m_offerId + "@" + std::to_string(offer->m_index));
                return checked.size() <= verdicts.size() ? verdicts[checked.size() - 1] : OfferVerdict{true, false};
            };
        });
    }

    testing::FakePorts ports;
    testing::ConfigurationSnapshot config;
    int seenLimit = -1;
    std::vector<std::string> checked;
};

TEST_F(DocumentTest, FillsTheConfigurationAndKeepsTheOffersTheCheckerAccepts) {
    const auto loaded = Load(Document(), {{false, false}, {true, false}, {true, false}});
    EXPECT_FALSE(loaded.productMissing);
    EXPECT_EQ(config->m_countryCode, "DE");
    EXPECT_EQ(config->m_productTitle, W("Prödukt"));
    EXPECT_EQ(config->m_productFileName, W("Prödukt.exe"));
    EXPECT_EQ(config->m_productImageUrl, L"");
    EXPECT_EQ(config->m_configCh, L"ch1");
    EXPECT_EQ(config->m_ispb, "isp");
    EXPECT_EQ(config->m_publisherId, "pub");
    EXPECT_EQ(config->m_maxOffers, 3);
    EXPECT_EQ(seenLimit, 3);
    // The index counts the offers accepted before: the rejected first one does not.
    EXPECT_EQ(checked, (std::vector<std::string>{"a@0", "b@0", "c@1"}));
    ASSERT_EQ(loaded.offers.size(), 2u);
    EXPECT_EQ(loaded.offers[1]->m_offerId, "c");
    EXPECT_EQ(config->m_offerCount, 2);
}

TEST_F(DocumentTest, AnEmptyTitleOrUrlIsTheConfigurationErrorWithoutException) {
    for (const char* key : {"ct", "cu"}) {
        json document = Document();
        document["i"][key] = "";
        const auto loaded = Load(document);
        EXPECT_TRUE(loaded.productMissing) << key;
        EXPECT_TRUE(loaded.offers.empty());
        EXPECT_EQ(seenLimit, -1);
    }
}

TEST_F(DocumentTest, MissingRequiredPartsFailTheWholeDocument) {
    const std::vector<json::json_pointer> required = {json::json_pointer("/i"), json::json_pointer("/i/ct"),
                                                      json::json_pointer("/i/cu"), json::json_pointer("/f"),
                                                      json::json_pointer("/f/m"), json::json_pointer("/o/2/ps/dn")};
    for (const auto& pointer : required) {
        json document = Document();
        document[pointer.parent_pointer()].erase(pointer.back());
        EXPECT_THROW(Load(document), json::out_of_range) << pointer.to_string();
    }
    for (const json& wrong : {json::array(), json("text"), json{{"i", {{"ct", 1}, {"cu", "u"}}}}}) {
        EXPECT_THROW(Load(wrong), json::type_error) << wrong.dump();
    }
    json listAsObject = Document();
    listAsObject["o"] = {{"x", OfferObject("a")}};
    EXPECT_THROW(Load(listAsObject), json::type_error);
}

TEST_F(DocumentTest, OffersAreReadOnlyWhenPresentAndNotSwitchedOff) {
    json withoutOffers = Document();
    withoutOffers.erase("o");
    withoutOffers["f"].erase("m");  // not needed without offers
    EXPECT_TRUE(Load(withoutOffers).offers.empty());

    json switchedOff = Document();
    switchedOff["i"]["ch"] = "00xA";
    EXPECT_TRUE(Load(switchedOff).offers.empty());
    EXPECT_TRUE(checked.empty());
    EXPECT_EQ(seenLimit, -1);
}

TEST_F(DocumentTest, AnAcceptedExclusiveOfferOrAStopEndsTheList) {
    json document = Document();
    document["o"][0] = OfferObject("a", true);
    document["o"][1] = "not even an offer";
    EXPECT_EQ(Load(document).offers.size(), 1u);

    checked.clear();
    EXPECT_EQ(Load(Document(), {{false, true}}).offers.size(), 0u);
    checked.clear();
    EXPECT_EQ(Load(Document(), {{true, true}}).offers.size(), 1u);
    EXPECT_EQ(checked.size(), 1u);
}

TEST_F(DocumentTest, TheInstallerFlavourSkipsTheProductBlock) {
    config->m_wizardType = 2;
    config->m_productTitle = L"Built in";
    json document = Document();
    document.erase("i");
    EXPECT_EQ(Load(document).offers.size(), 3u);
    EXPECT_EQ(config->m_productTitle, L"Built in");
    EXPECT_TRUE(Load(json::array()).offers.empty());
}

}  // namespace
}  // namespace tessary
