#pragma once
#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tessary {

// One substitution: every occurrence of pattern becomes value.
template <typename Char>
using Substitution = std::pair<std::basic_string_view<Char>, std::basic_string_view<Char>>;

namespace detail {

// The substitutions as a chain of matchers, one per substitution. The text enters the first
// matcher; a matcher passes on what cannot be part of its pattern, and its value in place of a
// whole match, to the next one, and the last one writes to the result. So the text
// is read once, and every matcher sees exactly the text the earlier ones produce, which is what
// replacing pattern after pattern over the whole text would give, without moving the tail of a
// long text at every occurrence.
template <typename Char>
class SubstitutionChain {
public:
    explicit SubstitutionChain(const std::vector<Substitution<Char>>& substitutions) {
        for (const auto& [pattern, value] : substitutions) {
            // An empty pattern would match between every two characters; no caller means that.
            if (!pattern.empty()) m_stages.push_back(Stage(pattern, value));
        }
    }

    std::basic_string<Char> Run(std::basic_string_view<Char> text) {
        m_result.reserve(text.size());
        Feed(0, text);
        // At the end, what a matcher still holds was no match after all.
        for (std::size_t stage = 0; stage < m_stages.size(); ++stage) {
            Stage& s = m_stages[stage];
            const std::size_t held = s.matched;
            s.matched = 0;
            Feed(stage + 1, s.pattern.substr(0, held));
        }
        return std::move(m_result);
    }

private:
    struct Stage {
        Stage(std::basic_string_view<Char> p, std::basic_string_view<Char> v) : pattern(p), value(v) {
            // Knuth-Morris-Pratt fallbacks: after a mismatch the matcher keeps the longest part of
            // what it holds that can still begin a match, so no character is read twice.
            fallback.assign(pattern.size(), 0);
            for (std::size_t i = 1, k = 0; i < pattern.size(); ++i) {
                while (k > 0 && pattern[i] != pattern[k]) k = fallback[k - 1];
                if (pattern[i] == pattern[k]) ++k;
                fallback[i] = k;
            }
        }
        std::basic_string_view<Char> pattern;
        std::basic_string_view<Char> value;
        std::vector<std::size_t> fallback;
        std::size_t matched = 0;  // the stage holds pattern[0, matched) back from the next one
    };

    // Pieces are views of the text, of a pattern or of a value, all of which outlive the run.
    void Feed(std::size_t stage, std::basic_string_view<Char> piece) {
        if (piece.empty()) return;
        if (stage == m_stages.size()) {
            m_result.append(piece);
            return;
        }
        Stage& s = m_stages[stage];
        while (!piece.empty()) {
            if (s.matched == 0) {
                // Holding nothing, the matcher passes on everything before the next possible start
                // of a match at once.
                const std::size_t start = piece.find(s.pattern[0]);
                if (start == std::basic_string_view<Char>::npos) {
                    Feed(stage + 1, piece);
                    return;
                }
                Feed(stage + 1, piece.substr(0, start));
                piece.remove_prefix(start);
                // The common case, a whole match in one piece, needs no step by step.
                if (piece.starts_with(s.pattern)) {
                    piece.remove_prefix(s.pattern.size());
                    Feed(stage + 1, s.value);
                    continue;
                }
            }
            const Char c = piece[0];
            const std::size_t held = s.matched;
            std::size_t matched = held;
            while (matched > 0 && s.pattern[matched] != c) matched = s.fallback[matched - 1];
            if (s.pattern[matched] == c) ++matched;
            // Of what the matcher held followed by c, the front that it no longer holds can not be
            // part of a match and goes on.
            const std::size_t released = held + 1 - matched;
            const bool whole = matched == s.pattern.size();
            s.matched = whole ? 0 : matched;
            Feed(stage + 1, s.pattern.substr(0, std::min(released, held)));
            if (released > held) Feed(stage + 1, piece.substr(0, 1));
            piece.remove_prefix(1);
            // A match restarts the search behind it: the value is not searched for the same pattern.
            if (whole) Feed(stage + 1, s.value);
        }
    }

    std::vector<Stage> m_stages;
    std::basic_string<Char> m_result;
};

}  // namespace detail

// The text with the substitutions applied in their order: each replaces every occurrence of its
// pattern, left to right, in the text the earlier ones left. A value is not searched again for its
// own pattern; later patterns do see it, also where it joins the text around it. The work grows
// with the lengths of the text and of the result only, so a hostile text of megabytes costs
// milliseconds, not minutes.
template <typename Char>
std::basic_string<Char> SubstituteInOrder(std::basic_string_view<Char> text,
                                          const std::vector<Substitution<Char>>& substitutions) {
    return detail::SubstitutionChain<Char>(substitutions).Run(text);
}

}  // namespace tessary
