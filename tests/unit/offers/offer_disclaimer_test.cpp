#include "offers/offer_disclaimer.h"

#include <gtest/gtest.h>

#include "config/package.h"
#include "configuration_snapshot.h"
#include "fake_ports.h"

namespace tessary {
namespace {

using testing::W;

constexpr wchar_t kEnglish[] =
    L"When you click \"Accept\", you agree to the installation of \"[PACKAGE_NAME]\" and that you have read the "
    L"<a href=\"[PACKAGE_PRIVACY_URL]\">Privacy Policy</a> and agree to the terms of its "
    L"<a href=\"[PACKAGE_EULA_URL]\">End User License Agreement</a>.";

std::wstring Fill(const std::wstring& text, const std::wstring& name, const std::wstring& privacy,
                  const std::wstring& terms) {
    return FillOfferDisclaimer(text, {name, privacy, terms});
}

TEST(OfferDisclaimer, PutsTheNameAndBothAddressesIntoEveryPlaceholder) {
    EXPECT_EQ(Fill(kEnglish, L"Atlas", L"https://atlas.test/privacy", L"http://atlas.test/terms"),
              L"When you click \"Accept\", you agree to the installation of \"Atlas\" and that you have read the "
              L"<a href=\"https://atlas.test/privacy\">Privacy Policy</a> and agree to the terms of its "
              L"<a href=\"http://atlas.test/terms\">End User License Agreement</a>.");
    EXPECT_EQ(Fill(L"[PACKAGE_NAME] [PACKAGE_NAME][PACKAGE_NAME] [PACKAGE_NAM] [[PACKAGE_NAME]", L"A", L"", L""),
              L"A AA [PACKAGE_NAM] [A");
}

TEST(OfferDisclaimer, WhatIsPutInIsNeverSearchedAgain) {
    // A name holding a placeholder would loop, or leak an address into the text, if it were.
    EXPECT_EQ(Fill(L"\"[PACKAGE_NAME]\" <a href=\"[PACKAGE_PRIVACY_URL]\">p</a>",
                   L"[PACKAGE_NAME] [PACKAGE_PRIVACY_URL]", L"https://p.test/[PACKAGE_NAME]", L""),
              L"\"[PACKAGE_NAME] [PACKAGE_PRIVACY_URL]\" <a href=\"https://p.test/[PACKAGE_NAME]\">p</a>");
}

TEST(OfferDisclaimer, ValuesCannotAddOrEndLinks) {
    const std::wstring text = L"\"[PACKAGE_NAME]\" <a href=\"[PACKAGE_PRIVACY_URL]\">p</a>";
    EXPECT_EQ(Fill(text, L"Evil <a href=\"file:///c:/x.exe\">click</a>", L"", L""),
              L"\"Evil \u2039a href=\"file:///c:/x.exe\"\u203Aclick\u2039/a\u203A\" <a href=\"\">p</a>");
    EXPECT_EQ(Fill(text, L"N", L"https://p.test/\"><a href=\"https://evil.test\">x y", L""),
              L"\"N\" <a href=\"https://p.test/%22%3E%3Ca%20href=%22https://evil.test%22%3Ex%20y\">p</a>");
}

TEST(OfferDisclaimer, OnlyWebAddressesBecomeLinkTargets) {
    const std::wstring text = L"[PACKAGE_PRIVACY_URL]|[PACKAGE_EULA_URL]";
    EXPECT_EQ(Fill(text, L"", L"HTTPS://P.TEST/a", L"Http://t.test"), L"HTTPS://P.TEST/a|Http://t.test");
    for (const wchar_t* refused : {L"file:///C:/Windows/notepad.exe", L"C:\\setup.exe", L"javascript:alert(1)",
                                   L"ftp://f.test/x", L"https://", L"www.example.com", L" https://x.test"}) {
        EXPECT_EQ(Fill(text, L"", refused, refused), L"|") << refused;
    }
}

TEST(OfferDisclaimer, AnOffersTextsAreReadAsUtf8) {
    testing::FakePorts ports;
    testing::ConfigurationSnapshot config;
    const nlohmann::json offer = {{"ad", {{"o", "o"}, {"f", "f"}}},
                                  {"ps",
                                   {{"i", "i.png"},
                                    {"dn", "Bildk\xC3\xBCnstler \xE2\x80\x93 Notizen"},
                                    {"u", "u.exe"},
                                    {"cp", "https://p.test/\xC3\xA4"}}}};
    const Package package(SignedRequest(), offer, false, "", 0);
    const auto values = DisclaimerValuesOf(package);
    EXPECT_EQ(values.displayName, W("Bildkünstler – Notizen"));
    EXPECT_EQ(values.privacyUrl, W("https://p.test/ä"));
    EXPECT_EQ(values.termsUrl, L"");
}

}  // namespace
}  // namespace tessary
