#include "offers/offer_flow.h"

#include <gtest/gtest.h>

#include "config/package.h"
#include "configuration_snapshot.h"
#include "fake_ports.h"

namespace tessary {
namespace {

using json = nlohmann::json;

struct OfferSettings {
    int mo = Package::kUnlimited;
    bool saad = false;
    bool sied = false;
};

class OfferFlowTest : public ::testing::Test {
protected:
    OfferFlowTest() { config->m_maxOffers = 10; }

    // The flow over offers with these settings, the first of them on screen.
    OfferFlow Flow(std::initializer_list<OfferSettings> settings) {
        std::vector<std::shared_ptr<Package>> offers;
        for (const auto& s : settings) {
            const json offer = {{"ad", {{"o", "offer-" + std::to_string(offers.size())}, {"f", "feed"}}},
                                {"ps", {{"i", "i.png"}, {"dn", "Tool"}, {"u", "u.exe"}}}};
            auto package =
                std::make_shared<Package>(SignedRequest(), offer, false, "c-1", static_cast<int>(offers.size()));
            package->m_flowMo = s.mo;
            package->m_skipAllAfterDecline = s.saad;
            package->m_skipIfDeclinedBefore = s.sied;
            offers.push_back(package);
        }
        return OfferFlow(std::move(offers));
    }
    // Answers the current offer page as its page would: a refusal marks the run as declined.
    OfferFlowStep Answer(OfferFlow& flow, OfferAnswer answer) {
        if (answer != OfferAnswer::Accept) config->m_offerDeclined = true;
        const std::size_t ahead = flow.m_offers.size() - 1 - static_cast<std::size_t>(flow.m_offerIndex);
        return flow.Answer(answer, ahead, *config);
    }
    static std::vector<std::string> Reasons(const OfferFlowStep& step) {
        std::vector<std::string> reasons;
        for (const auto& passed : step.passedOver) reasons.push_back(passed.reason);
        return reasons;
    }

    testing::FakePorts ports;
    testing::ConfigurationSnapshot config;
};

TEST_F(OfferFlowTest, AcceptingEveryOfferShowsEachInTurn) {
    OfferFlow flow = Flow({{}, {}, {}});
    for (int shown = 1; shown <= 2; ++shown) {
        const auto step = Answer(flow, OfferAnswer::Accept);
        EXPECT_EQ(step.skipCount, 0);
        EXPECT_TRUE(step.passedOver.empty());
        EXPECT_EQ(flow.m_offerIndex, shown);
    }
    // On the last offer page nothing follows: the page after the offers is next.
    EXPECT_EQ(Answer(flow, OfferAnswer::Accept).skipCount, 0);
    EXPECT_EQ(flow.m_offerIndex, 2);
}

TEST_F(OfferFlowTest, SkipAllPassesOverEveryLaterOfferAndWinsOverOtherReasons) {
    OfferFlow flow = Flow({{.saad = true}, {.sied = true}, {}});
    const auto step = Answer(flow, OfferAnswer::SkipAll);
    EXPECT_EQ(step.skipCount, 2);
    EXPECT_EQ(Reasons(step), (std::vector<std::string>{"SKIP ALL CLICKED", "SKIP ALL CLICKED"}));
    EXPECT_EQ(step.passedOver[1].offer, flow.m_offers[2]);
    EXPECT_TRUE(flow.m_skipAll);
    EXPECT_TRUE(flow.m_skipAfterDecline);
}

TEST_F(OfferFlowTest, DeclineOnAnOfferThatEndsTheFlowPassesOverTheRest) {
    OfferFlow flow = Flow({{}, {.saad = true}, {}, {}});
    EXPECT_EQ(Answer(flow, OfferAnswer::Accept).skipCount, 0);
    const auto step = Answer(flow, OfferAnswer::Decline);
    EXPECT_EQ(Reasons(step), (std::vector<std::string>{"SKIP ALL AFTER DECLINE OFFER DECLINED",
                                                       "SKIP ALL AFTER DECLINE OFFER DECLINED"}));
}

TEST_F(OfferFlowTest, AnEarlierDeclinePassesOverOnlyOffersThatAskForIt) {
    OfferFlow flow = Flow({{}, {}, {.sied = true}, {}});
    EXPECT_EQ(Answer(flow, OfferAnswer::Decline).skipCount, 0);  // offer 1 is shown
    // Accepted in between, the decline still counts for offer 2; offer 3 is shown.
    const auto step = Answer(flow, OfferAnswer::Accept);
    EXPECT_EQ(step.skipCount, 1);
    EXPECT_EQ(Reasons(step), std::vector<std::string>{"SKIPPED BECAUSE OF EARLIER DECLINE"});
    EXPECT_EQ(flow.m_offerIndex, 3);
}

TEST_F(OfferFlowTest, AnOffersFlowMaximumPassesOverTheOffersFromThatIndexOn) {
    OfferFlow flow = Flow({{.mo = 2}, {}, {}, {}});
    EXPECT_EQ(Answer(flow, OfferAnswer::Accept).skipCount, 0);  // index 1 is below 2
    const auto step = Answer(flow, OfferAnswer::Accept);
    EXPECT_EQ(Reasons(step), (std::vector<std::string>{"EXCEEDED MAX NUMBER OF OFFERS IN FLOW",
                                                       "EXCEEDED MAX NUMBER OF OFFERS IN FLOW"}));
    EXPECT_TRUE(flow.m_maxOffersReached);
}

TEST_F(OfferFlowTest, AnOfferPassedOverForAnEarlierDeclineNoLongerLimitsTheFlow) {
    OfferFlow flow = Flow({{}, {.mo = 1, .sied = true}, {}});
    const auto step = Answer(flow, OfferAnswer::Decline);
    // Offer 1 goes for the decline; its maximum of 1 would otherwise pass over offer 2 as well.
    EXPECT_EQ(Reasons(step), std::vector<std::string>{"SKIPPED BECAUSE OF EARLIER DECLINE"});
    EXPECT_EQ(flow.m_offers[1]->m_flowMo, Package::kUnlimited);
    EXPECT_FALSE(flow.m_maxOffersReached);
    EXPECT_EQ(flow.m_offerIndex, 2);
}

TEST_F(OfferFlowTest, AZeroOrNegativeFlowMaximumEndsTheFlowAfterItsOwnOffer) {
    for (const int mo : {0, -5}) {
        SCOPED_TRACE(mo);
        OfferFlow flow = Flow({{.mo = mo}, {}, {}});
        const auto step = Answer(flow, OfferAnswer::Accept);
        EXPECT_EQ(step.skipCount, 2);
        EXPECT_EQ(Reasons(step).front(), "EXCEEDED MAX NUMBER OF OFFERS IN FLOW");
    }
}

TEST_F(OfferFlowTest, AnEarlierDeclineIsTheReasonEvenWhereTheMaximumIsAlsoPassed) {
    OfferFlow flow = Flow({{.mo = 1}, {.sied = true}, {}});
    const auto step = Answer(flow, OfferAnswer::Decline);
    EXPECT_EQ(Reasons(step), (std::vector<std::string>{"SKIPPED BECAUSE OF EARLIER DECLINE",
                                                       "EXCEEDED MAX NUMBER OF OFFERS IN FLOW"}));
}

TEST_F(OfferFlowTest, OnlyOffersBelowTheConfiguredMaximumAreReported) {
    config->m_maxOffers = 2;
    OfferFlow flow = Flow({{}, {}, {}, {}});
    const auto step = Answer(flow, OfferAnswer::SkipAll);
    ASSERT_EQ(step.passedOver.size(), 3u);
    EXPECT_TRUE(step.passedOver[0].reported);   // index 1
    EXPECT_FALSE(step.passedOver[1].reported);  // index 2
    EXPECT_FALSE(step.passedOver[2].reported);  // index 3

    ReportPassedOverOffers(step);
    for (const auto& offer : flow.m_offers) offer->WaitForPendingEvents();
    const auto calls = ports.http->Calls();
    ASSERT_EQ(calls.size(), 1u);
    const json event = json::parse(json::parse(calls[0].body).at("data").get<std::string>());
    EXPECT_EQ(event["6"], "2");
    EXPECT_EQ(event["13"], "SKIP ALL CLICKED");
    EXPECT_EQ(event["5"], "offer-1");
}

TEST_F(OfferFlowTest, SkipAllOnTheLastOfferPassesOverNothing) {
    OfferFlow flow = Flow({{}, {}});
    EXPECT_EQ(Answer(flow, OfferAnswer::Accept).skipCount, 0);
    const auto step = Answer(flow, OfferAnswer::SkipAll);
    EXPECT_EQ(step.skipCount, 0);
    EXPECT_TRUE(step.passedOver.empty());
    EXPECT_TRUE(flow.m_skipAll);
}

TEST_F(OfferFlowTest, SkipAllIsHiddenOnTheLastOfferAndWhereTheOffersOwnMaximumEndsTheFlow) {
    OfferFlow flow = Flow({{}, {.mo = 2}, {}, {}});
    const auto hidden = [&](std::size_t index) { return HidesSkipAll(*flow.m_offers[index], 4); };
    EXPECT_FALSE(hidden(0));
    EXPECT_TRUE(hidden(1)) << "its maximum of 2 ends the flow after index 1";
    EXPECT_FALSE(hidden(2));
    EXPECT_TRUE(hidden(3)) << "the last offer";
    EXPECT_TRUE(HidesSkipAll(*flow.m_offers[0], 1)) << "the only offer";
    flow.m_offers[0]->m_flowMo = -2147483647 - 1;  // no wrap-around below the smallest maximum
    EXPECT_FALSE(HidesSkipAll(*flow.m_offers[0], 4));
}

TEST_F(OfferFlowTest, NeverLooksPastTheOffersOrThePagesAhead) {
    OfferFlow flow = Flow({{}, {}});
    config->m_offerDeclined = true;
    flow.m_skipAll = true;
    // More pages claimed than there are offers: the walk stops at the last offer.
    EXPECT_EQ(flow.OfferFlowSkipCount(5, *config).skipCount, 1);
    EXPECT_EQ(flow.m_offerIndex, 1);
    EXPECT_EQ(flow.OfferFlowSkipCount(5, *config).skipCount, 0);
    // No offer pages ahead: nothing is looked at.
    OfferFlow other = Flow({{}, {}});
    other.m_skipAll = true;
    EXPECT_EQ(other.OfferFlowSkipCount(0, *config).skipCount, 0);
    EXPECT_EQ(other.m_offerIndex, 0);
}

}  // namespace
}  // namespace tessary
