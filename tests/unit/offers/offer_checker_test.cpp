// Which offers may stand together: the limit, verticals, exclusive offers and the positions the
// partner block allows.
#include "offer_checker_fixture.h"

#include "encoding/base62.h"

namespace tessary::testing {
namespace {

// A partner offer with the given flow settings.
nlohmann::json Flow(nlohmann::json settings) { return {{"pn", true}, {"cfs", std::move(settings)}}; }

using OfferLimit = OfferCheckerTest;

TEST_F(OfferLimit, AZeroMaximumStopsAtTheFirstOfferWithoutReport) {
    config->m_maxOffers = 0;
    EXPECT_FALSE(Judge(Offer("a")));
    EXPECT_TRUE(lastStop);
    EXPECT_TRUE(rejections.empty());
}

TEST_F(OfferLimit, TheOfferAfterTheMaximumStopsWithoutReport) {
    config->m_maxOffers = 2;
    EXPECT_TRUE(Judge(Offer("a", {{"v", 1}})));
    EXPECT_TRUE(Judge(Offer("b", {{"v", 2}})));
    EXPECT_FALSE(Judge(Offer("c", {{"v", 3}})));
    EXPECT_TRUE(lastStop);
    EXPECT_TRUE(rejections.empty());
}

TEST_F(OfferLimit, AConditionalOfferAcceptedSecondGrantsAnExtraPlaceButNoMoreReports) {
    config->m_maxOffers = 2;
    EXPECT_TRUE(Judge(Offer("a", {{"v", 1}})));
    EXPECT_TRUE(Judge(Offer("b", {{"v", 2}, {"pn", true}, {"cfs", {{"sied", true}}}})));
    EXPECT_EQ(config->m_offerCounter, 1);
    // Still evaluated (limit 3), but its rejection is not reported: two are accepted already.
    EXPECT_FALSE(Judge(Offer("c", {{"v", 2}})));
    EXPECT_FALSE(lastStop);
    EXPECT_TRUE(rejections.empty());
    EXPECT_TRUE(Judge(Offer("d", {{"v", 4}})));
    EXPECT_FALSE(Judge(Offer("e", {{"v", 5}})));
    EXPECT_TRUE(lastStop);
}

TEST_F(OfferLimit, AConditionalOfferAcceptedFirstGrantsNothing) {
    EXPECT_TRUE(Judge(Offer("a", {{"pn", true}, {"cfs", {{"sied", true}}}})));
    EXPECT_EQ(config->m_offerCounter, 0);
}

TEST_F(OfferLimit, ALimitAndCounterAtTheEndsOfIntDoNotOverflow) {
    config->m_maxOffers = INT_MAX;
    config->m_offerCounter = INT_MAX;
    EXPECT_TRUE(Judge(Offer("a")));
    EXPECT_FALSE(lastStop);
}

using Verticals = OfferCheckerTest;

TEST_F(Verticals, OneOfferPerVerticalAndOneWithout) {
    EXPECT_TRUE(Judge(Offer("a", {{"v", 7}})));
    EXPECT_FALSE(Judge(Offer("b", {{"v", 7}})));
    EXPECT_TRUE(Judge(Offer("c")));   // no "v": vertical 0, an ordinary one
    EXPECT_FALSE(Judge(Offer("d")));
    EXPECT_TRUE(Judge(Offer("e", {{"v", -1}})));
    EXPECT_FALSE(Judge(Offer("f", {{"v", -1}})));
    EXPECT_EQ(rejections, (std::vector<Rejection>{{"b", "SAME VERTICAL OFFER ALREADY PRESENT"},
                                                  {"d", "SAME VERTICAL OFFER ALREADY PRESENT"},
                                                  {"f", "MULTIPLE OFFERS W/O VERTICAL"}}));
}

TEST_F(Verticals, AnExclusiveOfferStandsOnlyFirst) {
    EXPECT_TRUE(Judge(Offer("a", {{"exc", true}})));
    EXPECT_FALSE(lastStop);  // the document loading stops after an accepted exclusive offer
    EXPECT_TRUE(rejections.empty());
}

TEST_F(Verticals, AnExclusiveOfferAfterAnotherIsRejected) {
    EXPECT_TRUE(Judge(Offer("a", {{"v", 1}})));
    EXPECT_FALSE(Judge(Offer("b", {{"v", 2}, {"exc", true}})));
    EXPECT_EQ(rejections.back().reason, "EXCLUSIVE, BUT ANOTHER OFFER ALREADY PRESENT");
}

using FlowPosition = OfferCheckerTest;

TEST_F(FlowPosition, MostOffersBefore) {
    EXPECT_TRUE(Judge(Offer("a", {{"v", 1}})));
    EXPECT_FALSE(Judge(Offer("b", Flow({{"mb", 0}}))));
    EXPECT_EQ(rejections.back().reason, "SHOWED 1 PRODUCTS BUT ONLY 0 ALLOWED BEFORE");
    EXPECT_TRUE(Judge(Offer("c", Flow({{"mb", 1}}))));
}

TEST_F(FlowPosition, AllowedBeforeNamesEveryAcceptedIdTheListLacks) {
    EXPECT_TRUE(Judge(Offer("first", {{"v", 1}})));
    EXPECT_TRUE(Judge(Offer("second", {{"v", 2}})));
    EXPECT_TRUE(Judge(Offer("third", {{"v", 3}})));
    const std::string allowed = Base62Encode(std::string("second"));
    EXPECT_FALSE(Judge(Offer("partner", Flow({{"ab", {allowed, "other"}}}))));
    EXPECT_EQ(rejections.back().reason, "NOT ALLOWED AFTER first,third");
}

TEST_F(FlowPosition, AnAllowedBeforeListIsIgnoredWhileNothingIsAccepted) {
    EXPECT_TRUE(Judge(Offer("partner", Flow({{"ab", {"zz"}}}))));
}

TEST_F(FlowPosition, MostOffersAfterAnEarlierPartner) {
    EXPECT_TRUE(Judge(Offer("w", {{"v", 1}, {"pn", true}, {"cfs", {{"ma", 1}}}})));
    EXPECT_TRUE(Judge(Offer("x", {{"v", 2}})));
    EXPECT_FALSE(Judge(Offer("y", {{"v", 3}})));
    EXPECT_EQ(rejections.back().reason, "ONLY 1 PRODUCTS ALLOWED TO BE SHOWN AFTER w");
}

TEST_F(FlowPosition, AnExtraPlaceLiftsTheLimitsOfEarlierOffers) {
    config->m_offerCounter = 1;
    EXPECT_TRUE(Judge(Offer("w", {{"v", 1}, {"pn", true}, {"cfs", {{"ma", 1}, {"aa", {"zz"}}}}})));
    EXPECT_TRUE(Judge(Offer("x", {{"v", 2}})));
    EXPECT_TRUE(Judge(Offer("y", {{"v", 3}})));
}

TEST_F(FlowPosition, AllowedAfterNamesEveryEarlierOfferThatRefuses) {
    const std::string encoded = Base62Encode(std::string("late"));
    EXPECT_TRUE(Judge(Offer("p", {{"v", 1}, {"pn", true}, {"cfs", {{"aa", {encoded}}}}})));
    EXPECT_FALSE(Judge(Offer("o", {{"v", 2}})));
    EXPECT_EQ(rejections.back().reason, "NOT ALLOWED AFTER p");
    EXPECT_TRUE(Judge(Offer("late", {{"v", 3}})));
}

TEST_F(FlowPosition, TheFirstRejectingRuleGivesTheOnlyReason) {
    EXPECT_TRUE(Judge(Offer("a", {{"v", 1}})));
    // Too many before, same vertical and a registry key rule that would match: one reason.
    ports.registry->CreateKey(platform::RegistryRoot::CurrentUser, L"Software\\Vendor");
    EXPECT_FALSE(Judge(Offer("b", {{"v", 1}, {"r", {"vendor"}}, {"pn", true}, {"cfs", {{"mb", 0}}}})));
    ASSERT_EQ(rejections.size(), 1u);
    EXPECT_EQ(rejections[0].reason, "SHOWED 1 PRODUCTS BUT ONLY 0 ALLOWED BEFORE");
}

// An offer that breaks every rule is turned away by the first of them; without it, by the next, in
// the order the checks run.
using CheckOrder = OfferCheckerTest;

TEST_F(CheckOrder, EachRuleIsCheckedInItsPlace) {
    using platform::RegistryRoot;
    ports.registry->CreateKey(RegistryRoot::CurrentUser, L"Software\\Vendor");
    ports.registry->SetString(RegistryRoot::CurrentUser, L"Software\\Vendor", L"Removed",
                              std::to_wstring(ports.clock->nowMs / 1000));
    ports.registry->SetString(RegistryRoot::LocalMachine, L"SOFTWARE\\Microsoft\\Internet Explorer", L"Version",
                              L"8.0.7601.17514");
    ports.registry->SetDword(RegistryRoot::LocalMachine, L"SOFTWARE\\Partner", L"Shown", 20991231);
    ports.fileSystem->knownFolders[platform::KnownFolder::Desktop] = L"C:\\";
    ports.system->processNames = {L"rival.exe"};
    config->m_version = L"1.0";
    json rules = {{"r", {"vendor"}},
                  {"disk", 1 << 30},
                  {"ram", 1 << 30},
                  {"cpu", 1},
                  {"ov", 64},
                  {"pv", "2"},
                  {"win64", true},
                  {"ife", {"C:\\missing.exe"}},
                  {"a", {"rival"}},
                  {"iapp", {"absent.exe"}},
                  {"cmdu", {{{"utr", "hkey_current_user"}, {"utk", "software\\vendor"}, {"utvn", "removed"},
                             {"utvt", ""}, {"umd", 7}, {"utms", false}}}},
                  {"x", 2},
                  {"pn", true},
                  {"pnr", "SOFTWARE\\Partner\\Shown"}};
    for (const auto& [rule, reason] : std::vector<std::pair<std::string, std::string>>{
             {"r", "REGISTRY KEY EXISTS"},
             {"disk", "NOT ENOUGH DISK SPACE"},
             {"ram", "NOT ENOUGH RAM"},
             {"cpu", "CPU CHECK FAILED: Couldn't open registry"},
             {"ov", "UNSUPPORTED OS VERSION"},
             {"pv", "UNSUPPORTED PLATFORM VERSION"},
             {"win64", "64 BIT OS REQUIRED"},
             {"ife", "NONE OF THE FILES EXISTS"},
             {"a", "APPLICATION RUNNING"},
             {"iapp", "REGISTRY INCLUDE APP NOT FOUND"},
             {"cmdu", "MIN DAYS UNINSTALL CHECKER"}}) {
        EXPECT_EQ(ReasonFor(rules), reason);
        rules.erase(rule);
    }
    EXPECT_EQ(ReasonFor(rules), "NO CHROME");
    ports.registry->SetString(RegistryRoot::CurrentUser, L"SOFTWARE\\Google\\Chrome\\BLBeacon", L"Path",
                              L"D:\\chrome.exe");
    ports.fileSystem->AddFile(L"D:\\chrome.exe");
    EXPECT_EQ(ReasonFor(rules), "OLD IE VERSION");
    rules.erase("x");
    EXPECT_EQ(ReasonFor(rules), "PN NO SHOW");
    rules.erase("pn");
    EXPECT_EQ(ReasonFor(rules), "");
    EXPECT_EQ(Accepted().size(), 1u);
}

}  // namespace
}  // namespace tessary::testing
