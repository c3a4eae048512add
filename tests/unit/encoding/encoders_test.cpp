#include <gtest/gtest.h>

#include <random>
#include <regex>
#include <stdexcept>

#include "encoding/base62.h"
#include "encoding/digests.h"
#include "encoding/os_version.h"
#include "encoding/text_conversion.h"
#include "encoding/url_check.h"
#include "fake_ports.h"

namespace tessary {
namespace {

using testing::FakePorts;
using testing::W;

TEST(Digests, Sha256HexIsLowercaseHexOfTheBytes) {
    FakePorts ports;
    EXPECT_EQ(Sha256Hex("").Value(), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    EXPECT_EQ(Sha256Hex("abc").Value(), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(Sha256Hex("The quick brown fox jumps over the lazy dog").Value(),
              "d7a8fbb307d7809469ca9abcb0082e4f8d5651e46d3cdb762d02d0bf37c9e592");
}

TEST(Digests, Md5HexHashesTheAnsiBytes) {
    FakePorts ports;
    EXPECT_EQ(Md5Hex(L""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(Md5Hex(L"abc"), "900150983cd24fb0d6963f7d28e17f72");
    // One byte 0xE9 in the ANSI page, not the two bytes of UTF-8.
    EXPECT_EQ(Md5Hex(W("Café")), "355c5442233eb033103eb7e1255a17db");
}

// SHA-256 signs requests, so its caller must learn why there is none; MD5 only tags one, so its
// failure is an empty tag.
TEST(Digests, AFailingProviderGivesNoDigestAndSha256CarriesTheStatus) {
    FakePorts ports;
    constexpr platform::Status kBadAlgorithm = 0x80090008;  // NTE_BAD_ALGID
    ports.crypto->failure = kBadAlgorithm;

    const auto sha256 = Sha256Hex("abc");
    EXPECT_TRUE(sha256.Failed());
    EXPECT_EQ(sha256.GetStatus(), kBadAlgorithm);
    EXPECT_EQ(Md5Hex(L"abc"), "");
}

// Before, a failed conversion gave "", and "" has a digest of its own.
TEST(Digests, Md5HexOfATextTheSystemCannotConvertIsEmpty) {
    FakePorts ports;
    ports.text->toNarrowFails = true;
    EXPECT_EQ(Md5Hex(L"abc"), "");
}

TEST(Base62, EncodesTheBytesAsOneBigEndianNumber) {
    EXPECT_EQ(Base62Encode("abc"), "qMin");
    EXPECT_EQ(Base62Encode(std::vector<std::uint8_t>{0x61}), "1z");
    EXPECT_EQ(Base62Encode(std::vector<std::uint8_t>{61}), "Z");
    EXPECT_EQ(Base62Encode(std::vector<std::uint8_t>{62}), "10");
    EXPECT_EQ(Base62Encode(std::vector<std::uint8_t>{0x01, 0x00}), "48");
    std::vector<std::uint8_t> counting;
    for (std::uint8_t b = 1; b <= 32; ++b) counting.push_back(b);
    EXPECT_EQ(Base62Encode(counting), "eOH211g4C8WTvwm00MY5RSnsfLkGAwQq4MB8GDeQNO");
    EXPECT_EQ(Base62Encode(std::vector<std::uint8_t>(20, 0xFF)), "AwGeptL1TMEBFSqZfp4BXWGY80v");
    EXPECT_EQ(Base62Encode("6f1c3c0e-6a54-4f51-9b2d-2f0c4a7b1e93|ofr-1|20251209080000"),
              "2n73VROsTW4uju8N8NRol8pwqtxvsbSuqDZVzrb21uoiGQegYmfOfPJ7LYQcYQC3Rsi2WvOmTmgc8");
}

TEST(Base62, LeadingZeroBytesAreLost) {
    EXPECT_EQ(Base62Encode(""), "");
    EXPECT_EQ(Base62Encode(std::vector<std::uint8_t>{}), "");
    EXPECT_EQ(Base62Encode(std::vector<std::uint8_t>{0, 0, 0}), "");
    EXPECT_EQ(Base62Encode(std::vector<std::uint8_t>{0, 0, 0x01, 0x00}), "48");
    EXPECT_EQ(Base62Encode(std::string_view("\0\0abc", 5)), "qMin");
}

TEST(Utf8ToWide, ConvertsAndReportsASystemFailure) {
    FakePorts ports;
    EXPECT_EQ(Utf8ToWide(""), L"");
    EXPECT_EQ(Utf8ToWide("h\xC3\xA9llo \xE2\x82\xAC"), W("héllo €"));

    ports.text->toWideFails = true;
    EXPECT_EQ(Utf8ToWide(""), L"");
    try {
        Utf8ToWide("abc");
        FAIL() << "no exception";
    } catch (const std::runtime_error& error) {
        EXPECT_STREQ(error.what(), "MultiByteToWideChar() failed: 0");
    }
}

TEST(OsVersionString, JoinsMajorMinorAndBuild) {
    FakePorts ports;
    ports.system->osVersion = platform::OsVersion{6, 1, 7601};
    EXPECT_EQ(OsVersionString(), "6.1.7601");
    ports.system->osVersion.reset();
    EXPECT_EQ(OsVersionString(), "");
}

TEST(IsValidUrl, AcceptsHostsWithADotAndRejectsBareNames) {
    FakePorts ports;
    EXPECT_TRUE(IsValidUrl(L"https://cdn.example.com/f/setup.exe?x=1#top"));
    EXPECT_TRUE(IsValidUrl(L"http://cdn.example.com"));
    EXPECT_TRUE(IsValidUrl(L"cdn.example.com/f/setup.exe"));
    EXPECT_TRUE(IsValidUrl(L"my-host_1.example?q"));
    EXPECT_TRUE(IsValidUrl(L"setup.exe"));  // looks like a host name, so it is taken as absolute

    EXPECT_FALSE(IsValidUrl(L""));
    EXPECT_FALSE(IsValidUrl(L"setup"));
    EXPECT_FALSE(IsValidUrl(L"https://localhost/o"));
    EXPECT_FALSE(IsValidUrl(L"https://cdn.example.com:8443/f"));
    EXPECT_FALSE(IsValidUrl(L"ftp://cdn.example.com/f"));
    EXPECT_FALSE(IsValidUrl(L".example"));
    EXPECT_FALSE(IsValidUrl(L"example."));
    EXPECT_FALSE(IsValidUrl(L"cdn.example.com setup.exe"));
    EXPECT_FALSE(IsValidUrl(L"cdn.example.com/a\nb"));
    EXPECT_FALSE(IsValidUrl(W("cdn.exämple.com")));

    ports.text->toNarrowFails = true;
    EXPECT_FALSE(IsValidUrl(L"https://cdn.example.com/f/setup.exe"));
}

// The decision must be the regular expression's, character for character.
TEST(IsValidUrl, AgreesWithTheRegularExpression) {
    const std::regex pattern(R"(^((http|https):\/\/)?([\w.-]+)(\.[\w.-]+)+([\/?#].*)?$)", std::regex::ECMAScript);
    const std::string_view alphabet("ab_.-/?#: \n\r\xE9\0", 15);
    const std::vector<std::string> prefixes{"", "http://", "https://", "htt", "https:/"};
    std::mt19937 random(7);
    for (int round = 0; round < 20000; ++round) {
        std::string text = prefixes[random() % prefixes.size()];
        const auto length = random() % 9;
        for (unsigned i = 0; i < length; ++i) text.push_back(alphabet[random() % alphabet.size()]);
        ASSERT_EQ(MatchesUrlPattern(text), std::regex_match(text, pattern)) << '"' << text << '"';
    }
}

TEST(IsValidUrl, StaysFastOnHostileInput) {
    std::string dotted;
    for (int i = 0; i < 5000; ++i) dotted += "a.";
    EXPECT_FALSE(MatchesUrlPattern(dotted + "a!"));
    EXPECT_TRUE(MatchesUrlPattern("https://cdn.example.com/" + std::string(1'000'000, 'x')));
}

}  // namespace
}  // namespace tessary
