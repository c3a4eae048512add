#include <gtest/gtest.h>

#include <set>

#include "config/package.h"
#include "configuration_snapshot.h"
#include "encoding/base62.h"
#include "encoding/digests.h"
#include "fake_ports.h"

namespace tessary {
namespace {

using json = nlohmann::json;
using testing::W;

class PackageTest : public ::testing::Test {
protected:
    static json Offer(json ps = json::object()) {
        json offer = {{"ad", {{"o", "offer-7"}, {"f", "feed-2"}}},
                      {"ps", {{"i", "img.png"}, {"dn", "Clean Tool"}, {"u", "https://dl.test/ct.exe"}}}};
        offer["ps"].update(ps);
        return offer;
    }
    std::shared_ptr<Package> Build(const json& offer, const std::string& psC = "") {
        return std::make_shared<Package>(SignedRequest(), offer, false, psC, 0);
    }

    testing::FakePorts ports;
    testing::ConfigurationSnapshot config;
};

TEST_F(PackageTest, ReadsTheDescriptionRulesAndListsOfAnOffer) {
    config->m_pathPlaceholders.Insert(L"commonpf", L"{commonpf64}");
    config->m_pathPlaceholders.Insert(L"commonpf64", L"C:\\Program Files");
    const auto package = Build(Offer({{"p", "/S"}, {"v", 3}, {"exc", true}, {"c", "c-{of}"}, {"disk", 100},
                                      {"ov", 61}, {"pv", "{of}"}, {"win64", true},
                                      {"fe", {"{commonpf}\\Jürgen\\a.exe"}}, {"ife", {"{localappdata}\\b"}},
                                      {"a", {"app.exe"}}, {"rvd", {"Dätä"}},
                                      {"cmdu", {{{"utr", "HKLM"}, {"utk", "K"}, {"utvn", "N"}, {"utvt", "T"},
                                                 {"umd", 7}, {"utms", true}}}}}),
                                 "given");

    EXPECT_EQ(package->m_offerId, "offer-7");
    EXPECT_EQ(package->m_adF, "feed-2");
    EXPECT_EQ(package->m_displayName, "Clean Tool");
    EXPECT_EQ(package->m_installerArguments, "/S");
    EXPECT_EQ(package->m_vertical, 3);
    EXPECT_TRUE(package->m_exclusive);
    EXPECT_EQ(package->m_psC, "c-feed-2");
    EXPECT_EQ(package->m_diskRequirement, 100);
    EXPECT_EQ(package->m_osRequirement, 61);
    EXPECT_EQ(package->m_platformRequirement, "{of}");  // not expanded
    EXPECT_TRUE(package->m_requires64Bit);
    EXPECT_EQ(package->m_filesMustNotExist, std::vector<std::wstring>{W("C:\\Program Files\\Jürgen\\a.exe")});
    EXPECT_EQ(package->m_filesOneMustExist, std::vector<std::wstring>{L"{localappdata}\\b"});  // not in the table
    EXPECT_EQ(package->m_runningApps, std::vector<std::string>{"app.exe"});
    EXPECT_EQ(package->m_registryValueData, std::vector<std::wstring>{W("Dätä")});
    ASSERT_EQ(package->m_minDaysRules.size(), 1u);
    EXPECT_EQ(package->m_minDaysRules[0].utvt, L"T");
    EXPECT_EQ(package->m_minDaysRules[0].umd, 7);
    EXPECT_TRUE(package->m_minDaysRules[0].utms);
    EXPECT_FALSE(package->m_pnEnabled);
    EXPECT_EQ(package->m_flowMo, 2147483647);
    EXPECT_EQ(package->m_flowMb, 2147483647);

    EXPECT_EQ(Build(Offer(), "given")->m_psC, "given");
}

TEST_F(PackageTest, EveryRequiredKeyIsAMissingKeyError) {
    const std::vector<json::json_pointer> required = {
        json::json_pointer("/ad"),    json::json_pointer("/ps"),    json::json_pointer("/ad/o"),
        json::json_pointer("/ad/f"),  json::json_pointer("/ps/i"),  json::json_pointer("/ps/dn"),
        json::json_pointer("/ps/u")};
    for (const auto& pointer : required) {
        json offer = Offer();
        offer[pointer.parent_pointer()].erase(pointer.back());
        EXPECT_THROW(Build(offer), json::out_of_range) << pointer.to_string();
    }
    json rule = {{"utr", "a"}, {"utk", "b"}, {"utvn", "c"}, {"utvt", "d"}};
    EXPECT_THROW(Build(Offer({{"cmdu", {rule}}})), json::out_of_range);  // "umd" missing
}

TEST_F(PackageTest, ValuesOfTheWrongTypeAreTypeErrors) {
    json rule = {{"utr", "a"}, {"utk", "b"}, {"utvn", "c"}, {"utvt", "d"}, {"umd", 1}, {"utms", 1}};
    const std::vector<json> wrong = {
        {{"dn", 5}},          {{"v", "3"}},    {{"disk", nullptr}}, {{"exc", 1}},    {{"fe", "a"}},
        {{"r", {1}}},         {{"cmdu", {rule}}}, {{"cmdu", {"x"}}}, {{"x", "3"}},   {{"pn", "yes"}},
        {{"pn", true}, {"cfs", {1}}}, {{"pn", true}, {"pnrp", {{"default", 2}}}},    {{"cfs", 1}, {"pn", true}},
    };
    for (const auto& ps : wrong) EXPECT_THROW(Build(Offer(ps)), json::type_error) << ps.dump();
    EXPECT_THROW(Build(json::array()), json::type_error);
    json flat = Offer();
    flat["ps"] = "img.png";
    EXPECT_THROW(Build(flat), json::type_error);
}

TEST_F(PackageTest, NumbersAreTruncatedBooleansCountAndHugeValuesSaturate) {
    const auto package = Build(Offer({{"v", 2.9}, {"ov", true}, {"disk", -3.7}, {"ram", 1e300}, {"cpu", 18446744073709551615u}}));
    EXPECT_EQ(package->m_vertical, 2);
    EXPECT_EQ(package->m_osRequirement, 1);
    EXPECT_EQ(package->m_diskRequirement, -3);
    EXPECT_EQ(package->m_ramRequirement, INT64_MAX);
    EXPECT_EQ(package->m_cpuRequirement, INT64_MAX);
    EXPECT_EQ(Build(Offer({{"ov", -1e12}}))->m_osRequirement, INT32_MIN);
}

TEST_F(PackageTest, PresetsOverrideExplicitValues) {
    const json explicitValues = {{"disk", 1}, {"ram", 2}, {"cpu", 3}};
    auto three = Offer(explicitValues);
    three["ps"]["x"] = 3;
    const auto preset3 = Build(three);
    EXPECT_EQ(std::tie(preset3->m_diskRequirement, preset3->m_ramRequirement, preset3->m_cpuRequirement),
              std::make_tuple(512, 1536, 1500));
    auto four = Offer(explicitValues);
    four["ps"]["x"] = 4;
    const auto preset4 = Build(four);
    EXPECT_EQ(std::tie(preset4->m_diskRequirement, preset4->m_ramRequirement, preset4->m_cpuRequirement),
              std::make_tuple(1, 2, 3));
    EXPECT_FALSE(preset4->m_requiresChrome || preset4->m_requiresNoChrome || preset4->m_requires64Bit);

    EXPECT_EQ(Build(Offer({{"x", 1}}))->m_ramRequirement, 250);
    const auto chromeAndIe = Build(Offer({{"x", 2}}));
    EXPECT_TRUE(chromeAndIe->m_requiresChrome && chromeAndIe->m_checkIeVersion);
    EXPECT_TRUE(Build(Offer({{"x", 10}}))->m_requires64Bit);
    EXPECT_TRUE(Build(Offer({{"x", 12.5}}))->m_requiresChrome);
    EXPECT_TRUE(Build(Offer({{"x", 13}}))->m_requiresNoChrome);
}

TEST_F(PackageTest, PlaceholdersComeInTheirOrderAndExpandThroughEarlierOnes) {
    config->m_countryCode = "US";
    config->m_publisherId = "pub";
    config->m_ispb = "isp";
    config->m_brand = L"Veloran";
    config->m_clientId = L"Veloran_DLM";
    const auto package = Build(Offer({{"u", "https://dl.test/{cc}/{aflt}?o={of}&p={pnrparam}"},
                                      {"pn", true}, {"pnau", "https://api.test"}, {"pnr", "SOFTWARE\\{of}\\m"},
                                      {"sp", "--{userid}"}, {"p", "{pnstubparams} {pnsid}"},
                                      {"cfs", {{"mo", 2}, {"saad", true}, {"aa", {"x"}}}}}));

    std::vector<std::string> keys;
    for (const auto& entry : package->m_placeholders) keys.push_back(entry.first);
    EXPECT_EQ(keys, (std::vector<std::string>{"userid", "sessionid", "cc", "pubid", "ispb", "aflt", "account_md5",
                                              "pxl", "of", "pnrparam", "pnstubparams", "pnapiurl", "pnapikey",
                                              "pnop", "account", "installer", "pnsid"}));
    EXPECT_EQ(*package->m_placeholders.Find("account_md5"), Md5Hex(L"Veloran"));
    EXPECT_EQ(*package->m_placeholders.Find("pxl"), Base62Encode("4c4c4544-0042|offer-7|20251209080000"));
    EXPECT_EQ(*package->m_placeholders.Find("pnsid"), std::to_string(ports.clock->nowMs));
    // "u" is read before the partner block, so {pnrparam} is still unknown there.
    EXPECT_EQ(package->m_downloadUrl, "https://dl.test/US/91088?o=feed-2&p={pnrparam}");
    EXPECT_EQ(package->m_pnRegistryValue, "SOFTWARE\\feed-2\\m");
    EXPECT_EQ(package->m_installerArguments, "--4c4c4544-0042 " + std::to_string(ports.clock->nowMs));
    EXPECT_EQ(package->m_pnApiUrl, "https://api.test");
    EXPECT_EQ(package->m_flowMo, 2);
    EXPECT_EQ(package->m_flowMa, 2147483647);
    EXPECT_TRUE(package->m_skipAllAfterDecline);
    EXPECT_EQ(package->m_flowAa, std::vector<std::string>{"x"});
}

TEST_F(PackageTest, APlaceholderHoldingItsOwnNameExpandsOnce) {
    config->m_publisherId = "<{pubid}>";
    const auto package = Build(Offer({{"dn", "{pubid}|{pubid}"}}));
    EXPECT_EQ(package->m_displayName, "<{pubid}>|<{pubid}>");
    EXPECT_EQ(package->ExpandPlaceholders("{unknown}{pubid}"), "{unknown}<{pubid}>");
}

TEST_F(PackageTest, PartnerParameterFollowsTheSystemVersion) {
    const json choices = {{"10.0", "win10"}, {"default", "other"}};
    const auto parameter = [&](const json& pnrp) {
        return *Build(Offer({{"pn", true}, {"pnrp", pnrp}}))->m_placeholders.Find("pnrparam");
    };
    EXPECT_EQ(parameter(choices), "win10");
    ports.system->osVersion = platform::OsVersion{6, 1, 7601};
    EXPECT_EQ(parameter(choices), "other");
    ports.system->osVersion.reset();
    EXPECT_EQ(parameter(choices), "other");
    EXPECT_EQ(parameter({{"6.1", "win7"}}), "");
    EXPECT_EQ(parameter("not an object"), "");
}

TEST_F(PackageTest, MainProductHasNoPlaceholders) {
    const Package product(SignedRequest(), true, W("Véloran"), L"id", L"cfl", L"ch", 0);
    EXPECT_TRUE(product.m_placeholders.empty());
    EXPECT_EQ(product.ExpandPlaceholders("{userid}/{of}"), "{userid}/{of}");
    EXPECT_EQ(product.m_displayName, "V\xC3\xA9loran");
}

TEST(CountryToAffiliateId, MapsSixtyTwoUpperCaseCodesAndEverythingElseToTheDefault) {
    EXPECT_EQ(Package::CountryToAffiliateId("us"), "91082");
    EXPECT_EQ(Package::CountryToAffiliateId(""), "91082");
    EXPECT_EQ(Package::CountryToAffiliateId("US "), "91082");
    const std::vector<std::pair<std::string, std::string>> samples = {
        {"US", "91088"}, {"CA", "91166"}, {"BR", "91199"}, {"AU", "91214"}, {"KR", "91214"}, {"DZ", "91105"},
        {"AE", "91105"}, {"TR", "91105"}, {"TH", "91215"}, {"SG", "91215"}, {"LK", "91215"}, {"DE", "91082"}};
    for (const auto& [country, id] : samples) EXPECT_EQ(Package::CountryToAffiliateId(country), id) << country;

    std::multiset<std::string> ids;
    for (char a = 'A'; a <= 'Z'; ++a) {
        for (char b = 'A'; b <= 'Z'; ++b) {
            const auto id = Package::CountryToAffiliateId(std::string{a, b});
            if (id != "91082") ids.insert(id);
        }
    }
    EXPECT_EQ(ids.size(), 62u);
    EXPECT_EQ(ids.count("91105"), 23u);
    EXPECT_EQ(ids.count("91215"), 33u);
}

TEST_F(PackageTest, PartnerMarkerHoldsTheLocalDateHalfAYearAhead) {
    auto package = Build(Offer({{"pn", true}, {"pnr", "SOFTWARE\\Partner\\Seen"}}));
    const auto marker = [&] {
        const auto value =
            ports.registry->GetValue(platform::RegistryRoot::LocalMachine, L"SOFTWARE\\Partner", L"Seen");
        EXPECT_TRUE(value && value->type == platform::kRegDword);
        return value ? value->number : 0;
    };
    ASSERT_TRUE(package->WritePnMarker());
    EXPECT_EQ(marker(), 20260607u);  // 2025-12-09 + 180 days

    ports.clock->utcOffsetSeconds = -9 * 3600;  // still 8 December there
    ASSERT_TRUE(package->WritePnMarker());
    EXPECT_EQ(marker(), 20260606u);

    ports.clock->localTimeFails = true;
    EXPECT_FALSE(package->WritePnMarker());
    ports.clock->localTimeFails = false;
    ports.registry->FailKey(platform::RegistryRoot::LocalMachine, L"SOFTWARE\\Partner", {.write = 5});
    EXPECT_FALSE(package->WritePnMarker());
    ports.registry->FailKey(platform::RegistryRoot::LocalMachine, L"SOFTWARE\\Partner", {});
    const int writes = ports.registry->GetCounts().writes;
    for (const char* bad : {"Seen", "\\Seen", ""}) {
        package->m_pnRegistryValue = bad;
        EXPECT_FALSE(package->WritePnMarker()) << bad;
    }
    EXPECT_EQ(ports.registry->GetCounts().writes, writes) << "a value without a key is not written";
}

}  // namespace
}  // namespace tessary
