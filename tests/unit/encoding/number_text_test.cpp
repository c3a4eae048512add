#include "encoding/number_text.h"

#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>

namespace tessary {
namespace {

constexpr auto kMax32 = std::numeric_limits<std::uint32_t>::max();
constexpr auto kMax64 = std::numeric_limits<std::uint64_t>::max();

TEST(DecimalNumbers, ReadTheLeadingDigitsAfterBlanksAndAPlusSign) {
    for (auto parse : {+[](std::wstring_view t) { return std::optional<std::uint64_t>(ParseDecimal32(t)); },
                       +[](std::wstring_view t) { return ParseDecimal64(t); }}) {
        EXPECT_EQ(parse(L"010"), 10u);
        EXPECT_EQ(parse(L"0"), 0u);
        EXPECT_EQ(parse(L"+5"), 5u);
        EXPECT_EQ(parse(L" 7"), 7u);
        EXPECT_EQ(parse(L"\t\r\n 42"), 42u);
        EXPECT_EQ(parse(L"5 MB"), 5u);
        EXPECT_EQ(parse(L"12abc"), 12u);
        EXPECT_EQ(parse(L"0x10"), 0u) << "decimal only: the x ends the number";
    }
}

TEST(DecimalNumbers, NothingForTextsWithoutANumberOrWithASign) {
    for (const wchar_t* text : {L"", L" ", L"abc", L"+", L"-", L"-1", L"-0", L"+-5", L"+ 5", L"MB 5", L"\u0665"}) {
        EXPECT_EQ(ParseDecimal32(text), std::nullopt) << text;
        EXPECT_EQ(ParseDecimal64(text), std::nullopt);
    }
}

TEST(DecimalNumbers, NothingForANumberThatDoesNotFitIn32Or64Bits) {
    EXPECT_EQ(ParseDecimal32(L"4294967295"), kMax32);
    EXPECT_EQ(ParseDecimal32(L"4294967296"), std::nullopt);
    EXPECT_EQ(ParseDecimal64(L"4294967296"), 4294967296u);
    EXPECT_EQ(ParseDecimal32(L"00000000000000000000004294967295"), kMax32) << "leading zeros are no overflow";

    EXPECT_EQ(ParseDecimal64(L"18446744073709551615"), kMax64);
    EXPECT_EQ(ParseDecimal64(L"18446744073709551616"), std::nullopt);
    EXPECT_EQ(ParseDecimal64(L"18446744073709551620"), std::nullopt);
    EXPECT_EQ(ParseDecimal64(L"99999999999999999999"), std::nullopt);
    EXPECT_EQ(ParseDecimal32(L"18446744073709551616"), std::nullopt);

    const std::wstring huge(1000, L'9');
    EXPECT_EQ(ParseDecimal32(huge), std::nullopt);
    EXPECT_EQ(ParseDecimal64(huge), std::nullopt);
}

TEST(LeadingFloat, ReadsTheFirstTwoComponentsOfADottedVersion) {
    EXPECT_EQ(ParseLeadingFloat(L"9.11.19041.0"), 9.11f);
    EXPECT_EQ(ParseLeadingFloat(L"8.0.7601.17514"), 8.0f);
    EXPECT_EQ(ParseLeadingFloat(L"11"), 11.0f);
    EXPECT_EQ(ParseLeadingFloat(L" +7.5 beta"), 7.5f);
    EXPECT_EQ(ParseLeadingFloat(L"-1.25"), -1.25f);
    EXPECT_EQ(ParseLeadingFloat(L".5"), 0.5f);
    EXPECT_EQ(ParseLeadingFloat(L"5."), 5.0f);
    EXPECT_EQ(ParseLeadingFloat(L"1e5"), 1.0f) << "no exponent is read";
    EXPECT_LT(*ParseLeadingFloat(L"8.0.7601.17514"), *ParseLeadingFloat(L"9.11.19041.0"));
}

TEST(LeadingFloat, NothingWithoutDigitsOrBeyondTheFloatRange) {
    for (const wchar_t* text : {L"", L"abc", L".", L"+", L"-.", L" .x"}) {
        EXPECT_EQ(ParseLeadingFloat(text), std::nullopt) << text;
    }
    EXPECT_EQ(ParseLeadingFloat(L"1" + std::wstring(40, L'0')), std::nullopt);
    EXPECT_EQ(ParseLeadingFloat(std::wstring(400, L'9')), std::nullopt);
}

TEST(LeadingFloat, LongFractionsKeepTheirSignificantDigits) {
    EXPECT_EQ(ParseLeadingFloat(L"1.00000000000000000000000000001"), 1.0f);
    EXPECT_FLOAT_EQ(*ParseLeadingFloat(L"0." + std::wstring(300, L'1')), 1.0f / 9);
    // Zeros after the point are not significant digits: the digits after them still count.
    EXPECT_FLOAT_EQ(*ParseLeadingFloat(L"0.000000000000000000000125"), 1.25e-22f);
    EXPECT_EQ(ParseLeadingFloat(L"0." + std::wstring(5000, L'0') + L"1"), 0.0f);
}

TEST(LeadingDigits, ReadAVersionComponentTheWayTheCRuntimeDoes) {
    EXPECT_EQ(LeadingDigitsOrZero(L"19041"), 19041);
    EXPECT_EQ(LeadingDigitsOrZero(L"17514.x"), 17514);
    EXPECT_EQ(LeadingDigitsOrZero(L" -3"), -3);
    EXPECT_EQ(LeadingDigitsOrZero(L""), 0);
    EXPECT_EQ(LeadingDigitsOrZero(L"abc"), 0);
    EXPECT_EQ(LeadingDigitsOrZero(L"2147483647"), std::numeric_limits<int>::max());
    EXPECT_EQ(LeadingDigitsOrZero(L"2147483648"), std::numeric_limits<int>::max());
    EXPECT_EQ(LeadingDigitsOrZero(std::wstring(1000, L'9')), std::numeric_limits<int>::max());
}

}  // namespace
}  // namespace tessary
