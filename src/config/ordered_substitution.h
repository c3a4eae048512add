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
// whole match, to the next one, and the last one writes to the result. So the text is read once,
// and every matcher sees exactly the text the earlier ones produce, which is what replacing pattern
// after pattern over the whole text would give, without moving the tail of a long text at every
// occurrence.
template <typename Char>
class SubstitutionChain {
public:
    explicit SubstitutionChain(const std::vector<Substitution<Char>>& substitutions) {
        for (const auto& [pattern, value] : substitutions) {
            // An empty pattern would match between every two characters; no caller means that.
            if (!pattern.empty()) m_stages.push_back(Stage(pattern, value));
        }
        // The characters that can start a match at each stage or behind it.
        m_starts.resize(m_stages.size() + 1);
        for (std::size_t stage = m_stages.size(); stage-- > 0;) {
            m_starts[stage] = m_starts[stage + 1];
            if (m_starts[stage].find(m_stages[stage].pattern[0]) == std::basic_string<Char>::npos) {
                m_starts[stage].push_back(m_stages[stage].pattern[0]);
            }
        }
    }

    std::basic_string<Char> Run(std::basic_string_view<Char> text) {
        m_result.reserve(text.size());
        Feed(0, text);
        // At the end, what a matcher still holds was no match after all.
        for (std::size_t stage = 0; stage < m_stages.size(); ++stage) {
            Stage& s = m_stages[stage];
            const std::size_t held = s.matched;
            if (held > 0) --m_holding;
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
            uniqueStart = pattern.find(pattern[0], 1) == std::basic_string_view<Char>::npos;
        }
        std::basic_string_view<Char> pattern;
        std::basic_string_view<Char> value;
        std::vector<std::size_t> fallback;
        bool uniqueStart = false;
        std::size_t matched = 0;  // the stage holds pattern[0, matched) back from the next one
    };

    // Pieces are views of the text, of a pattern or of a value, all of which outlive the run.
    // What a stage holds is always the front of its pattern, so what it lets go of is passed on
    // as a view of the pattern; everything else goes on as long spans of the piece itself.
    void Feed(std::size_t stage, std::basic_string_view<Char> piece) {
        if (piece.empty()) return;
        // Most pieces - the text between placeholders, most values - can start no match anywhere
        // down the chain; while no stage holds a partial match, they go straight to the result.
        if (stage == m_stages.size() ||
            (m_holding == 0 && piece.find_first_of(m_starts[stage]) == std::basic_string_view<Char>::npos)) {
            m_result.append(piece);
            return;
        }
        Stage& s = m_stages[stage];
        std::size_t carried = s.matched;  // held from earlier pieces: pattern[0, carried)
        std::size_t out = 0;              // piece[out, i) is let go of or held, not passed on yet
        std::size_t i = 0;
        while (i < piece.size()) {
            if (s.matched == 0) {
                // Holding nothing, the matcher skips to the next possible start of a match.
                i = piece.find(s.pattern[0], i);
                if (i == std::basic_string_view<Char>::npos) {
                    i = piece.size();
                    break;
                }
                const auto rest = piece.substr(i);
                // Names differ soon after their brace: most failed matches show at the second
                // character already.
                if (s.uniqueStart && rest.size() > 1 && s.pattern.size() > 1 && rest[1] != s.pattern[1]) {
                    ++i;
                    continue;
                }
                // The common case, a whole match inside the piece, needs no step by step.
                if (rest.starts_with(s.pattern)) {
                    Feed(stage + 1, piece.substr(out, i - out));
                    Feed(stage + 1, s.value);
                    i += s.pattern.size();
                    out = i;
                    continue;
                }
                // A pattern whose first character comes only first - every "{name}" - can start
                // no match inside a failed one: the search goes on behind its first character,
                // unless the piece ends in the middle of a match, which is held for the next one.
                if (s.uniqueStart) {
                    if (rest.size() < s.pattern.size() && s.pattern.starts_with(rest)) {
                        s.matched = rest.size();
                        ++m_holding;
                        i = piece.size();
                        break;
                    }
                    ++i;
                    continue;
                }
            }
            const Char c = piece[i++];
            const std::size_t held = s.matched;
            std::size_t matched = held;
            while (matched > 0 && s.pattern[matched] != c) matched = s.fallback[matched - 1];
            if (s.pattern[matched] == c) ++matched;
            // Of what the matcher held followed by c, the front that it no longer holds can not be
            // part of a match: the part carried from earlier pieces goes on now, the rest with
            // the span of the piece.
            const std::size_t released = std::min(held + 1 - matched, carried);
            Feed(stage + 1, s.pattern.substr(0, released));
            carried -= released;
            if (matched == s.pattern.size()) {
                // A match restarts the search behind it: the value is not searched again for the
                // same pattern.
                Feed(stage + 1, piece.substr(out, i - (matched - carried) - out));
                Feed(stage + 1, s.value);
                out = i;
                carried = 0;
                matched = 0;
            }
            if ((s.matched == 0) != (matched == 0)) m_holding += matched == 0 ? -1 : 1;
            s.matched = matched;
        }
        // What the matcher still holds of this piece stays held; the rest goes on.
        Feed(stage + 1, piece.substr(out, i - (s.matched - carried) - out));
    }

    std::vector<Stage> m_stages;
    std::vector<std::basic_string<Char>> m_starts;
    int m_holding = 0;  // how many stages hold a partial match
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
