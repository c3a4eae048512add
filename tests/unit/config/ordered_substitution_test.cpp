#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <random>

#include "config/insertion_ordered_map.h"
#include "config/ordered_substitution.h"
#include "config/package.h"
#include "configuration_snapshot.h"
#include "fake_ports.h"

namespace tessary {
namespace {

using json = nlohmann::json;

// The rule spelt out the slow, obvious way: pattern after pattern, each replaced in place over the
// whole text, the search going on behind the value it just inserted.
std::string ReplaceOneAfterAnother(std::string text, const std::vector<std::pair<std::string, std::string>>& rules) {
    for (const auto& [pattern, value] : rules) {
        for (auto pos = text.find(pattern); pos != std::string::npos; pos = text.find(pattern, pos + value.size())) {
            text.replace(pos, pattern.size(), value);
        }
    }
    return text;
}

std::string Substitute(const std::string& text, const std::vector<std::pair<std::string, std::string>>& rules) {
    std::vector<Substitution<char>> substitutions(rules.begin(), rules.end());
    return SubstituteInOrder<char>(text, substitutions);
}

TEST(OrderedSubstitution, ChainsSelfReferencesAndJoinsWithTheTextAroundAValue) {
    // {commonpf} goes through {commonpf64} because its entry comes first.
    EXPECT_EQ(Substitute("{commonpf}\\App", {{"{commonpf}", "{commonpf64}"}, {"{commonpf64}", "C:\\PF"}}),
              "C:\\PF\\App");
    EXPECT_EQ(Substitute("{a}", {{"{b}", "B"}, {"{a}", "{b}"}}), "{b}") << "an earlier pattern never sees later text";
    EXPECT_EQ(Substitute("{a}{a}", {{"{a}", "<{a}>"}}), "<{a}><{a}>") << "a value is not searched for its own pattern";
    // A value that is only half a name forms a whole one with the text behind it, and a later
    // pattern finds it there.
    EXPECT_EQ(Substitute("{a}b}|{b}", {{"{a}", "{"}, {"{b}", "B"}}), "B|B");
    EXPECT_EQ(Substitute("x{a}", {{"{a}", "{b"}, {"{b}", "B"}}), "x{b") << "nothing closes the name at the end";
    EXPECT_EQ(Substitute("aaab", {{"aab", "X"}}), "aX") << "a failed start is not lost to a later one";
    EXPECT_EQ(Substitute("abab", {{"", "X"}, {"ab", ""}}), "") << "an empty pattern substitutes nothing";
    EXPECT_EQ(Substitute("[N] and [URL]", {{"[N]", "Quill"}, {"[URL]", "https://q.test/[N]"}}),
              "Quill and https://q.test/[N]");
}

// Any text and any rules over a few characters that matter - braces, repeats that make a search
// fall back, values that hold whole or half patterns - give what the obvious rule gives.
TEST(OrderedSubstitution, AgreesWithReplacingOneAfterAnotherOnRandomTexts) {
    std::mt19937 random(20261209);
    const std::string alphabet = "{}ab";
    const auto randomText = [&](std::size_t maxLength) {
        std::string text(std::uniform_int_distribution<std::size_t>(0, maxLength)(random), ' ');
        for (char& c : text) c = alphabet[std::uniform_int_distribution<std::size_t>(0, alphabet.size() - 1)(random)];
        return text;
    };
    for (int round = 0; round < 20000; ++round) {
        std::vector<std::pair<std::string, std::string>> rules;
        const int count = std::uniform_int_distribution<int>(1, 4)(random);
        for (int i = 0; i < count; ++i) {
            std::string pattern = randomText(4);
            if (pattern.empty()) pattern = "{a}";
            rules.emplace_back(pattern, randomText(5));
        }
        const std::string text = randomText(24);
        ASSERT_EQ(Substitute(text, rules), ReplaceOneAfterAnother(text, rules)) << "text \"" << text << "\"";
    }
}

double SecondsToExpand(const std::string& text, const PackagePlaceholders& table, std::string& result) {
    const auto start = std::chrono::steady_clock::now();
    result = ExpandBracedPlaceholders(text, table);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A hostile answer of megabytes must not hold the loading worker for minutes. Replacing in place
// moved the whole tail at every occurrence: 1.6 MB of one placeholder took half a minute.
TEST(OrderedSubstitution, PlaceholderTextsExpandInLinearTime) {
    PackagePlaceholders table;
    table.Insert("userid", "4c4c4544-0042-3510-8052-b4c04f4b4e32");
    table.Insert("of", "feed-2");
    std::string small;
    for (int i = 0; i < 8 * 1024; ++i) small += i % 2 ? "{userid}" : "{of}";
    std::string large;
    for (int i = 0; i < 8; ++i) large += small;

    // Eight times the text: eight times the work when linear, sixty-four when quadratic. The
    // fastest of a few runs counts, so a busy machine does not decide the outcome.
    std::string result;
    double smallSeconds = 1e9;
    double largeSeconds = 1e9;
    for (int run = 0; run < 3; ++run) {
        smallSeconds = std::min(smallSeconds, SecondsToExpand(small, table, result));
        largeSeconds = std::min(largeSeconds, SecondsToExpand(large, table, result));
        if (largeSeconds < 24 * smallSeconds + 0.05) break;
    }
    EXPECT_EQ(result.size(), large.size() / 12 * (36 + 6));
    EXPECT_EQ(result.substr(0, 48), "feed-24c4c4544-0042-3510-8052-b4c04f4b4e32feed-2");
    EXPECT_LT(largeSeconds, 24 * smallSeconds + 0.05)
        << "small " << smallSeconds << " s, large " << largeSeconds << " s";
    EXPECT_LT(largeSeconds, 5.0);
}

class PackageExpansionTest : public ::testing::Test {
protected:
    testing::FakePorts ports;
    testing::ConfigurationSnapshot config;
};

// A whole offer text of a few megabytes goes through the package's own expansion.
TEST_F(PackageExpansionTest, AnOfferTextOfMegabytesIsReadWithoutStalling) {
    std::string name;
    for (int i = 0; i < 256 * 1024; ++i) name += "{userid}";
    const json offer = {{"ad", {{"o", "offer-7"}, {"f", "feed-2"}}},
                        {"ps", {{"i", "img.png"}, {"dn", name}, {"u", "https://dl.test/ct.exe"}}}};
    const auto start = std::chrono::steady_clock::now();
    const auto package = std::make_shared<Package>(SignedRequest(), offer, false, "", 0);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(package->m_displayName.size(), 256u * 1024 * std::string("4c4c4544-0042").size());
    EXPECT_LT(seconds, 5.0);
}

}  // namespace
}  // namespace tessary
