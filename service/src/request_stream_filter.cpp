#include "request_stream_filter.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace tessary::service {
namespace {

// Longer heads than this go through untouched: the HTTP library has its own limits and refuses them.
constexpr std::size_t kMaxHead = 64 * 1024;

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string_view WithoutLineEnd(std::string_view line) {
    if (line.ends_with('\n')) line.remove_suffix(1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    return line;
}

std::optional<std::uint64_t> ParseLength(std::string_view text) {
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

}  // namespace

std::string RequestStreamFilter::Feed(std::string_view bytes) {
    std::string out;
    while (!bytes.empty()) {
        switch (m_state) {
            case State::PassThrough:
                out.append(bytes);
                return out;
            case State::Body: {
                const auto size = static_cast<std::size_t>(std::min<std::uint64_t>(m_bodyLeft, bytes.size()));
                out.append(bytes.substr(0, size));
                bytes.remove_prefix(size);
                m_bodyLeft -= size;
                if (m_bodyLeft == 0) m_state = State::Head;
                break;
            }
            case State::Head:
                if (!TakeHead(bytes, out)) return out;
                break;
        }
    }
    return out;
}

bool RequestStreamFilter::TakeHead(std::string_view& bytes, std::string& out) {
    // Empty lines before a request line may come between requests and mean nothing.
    if (m_head.empty()) {
        while (!bytes.empty() && (bytes.front() == '\r' || bytes.front() == '\n')) bytes.remove_prefix(1);
    }
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        m_head.push_back(bytes[i]);
        if (bytes[i] != '\n') continue;
        const bool emptyLine = WithoutLineEnd(std::string_view(m_head).substr(m_lineStart)).empty();
        m_lineStart = m_head.size();
        if (!emptyLine) continue;
        bytes.remove_prefix(i + 1);
        out += RewriteHead(m_head);
        m_head.clear();
        m_lineStart = 0;
        return true;
    }
    bytes = {};
    if (m_head.size() > kMaxHead) {
        out += m_head;
        m_head.clear();
        m_state = State::PassThrough;
    }
    return false;
}

std::string RequestStreamFilter::RewriteHead(std::string_view head) {
    std::string out;
    std::optional<std::string_view> expect;
    std::string order;
    std::optional<std::uint64_t> length;
    bool lengthKnown = true;
    bool requestLine = true;
    while (!head.empty()) {
        const std::string_view line = head.substr(0, head.find('\n') + 1);
        head.remove_prefix(line.size());
        const std::string_view content = WithoutLineEnd(line);
        const auto colon = content.find(':');
        if (requestLine || content.empty() || colon == std::string_view::npos) {
            // The line that ends the head: the header put back goes just before it.
            if (content.empty() && expect) {
                out.append(kForwardedExpectHeader).append(": ").append(*expect).append("\r\n");
            }
            if (content.empty() && !order.empty()) {
                out.append(kForwardedOrderHeader).append(": ").append(order).append("\r\n");
            }
            out += line;
            requestLine = false;
            continue;
        }
        const std::string_view name = content.substr(0, colon);
        const std::string_view value = Trimmed(content.substr(colon + 1));
        if (EqualsIgnoringCase(name, kForwardedExpectHeader) || EqualsIgnoringCase(name, kForwardedOrderHeader)) {
            continue;
        }
        order.append(order.empty() ? "" : ",").append(name);
        if (EqualsIgnoringCase(name, "Expect") && EqualsIgnoringCase(value, "100-continue")) {
            expect = value;
            continue;
        }
        if (EqualsIgnoringCase(name, "Content-Length")) {
            const auto parsed = ParseLength(value);
            if (!parsed || (length && *length != *parsed)) lengthKnown = false;
            length = parsed;
        } else if (EqualsIgnoringCase(name, "Transfer-Encoding")) {
            lengthKnown = false;
        }
        out += line;
    }
    // Without a length this filter cannot tell where the next request starts, so the rest of the
    // connection goes through as it is; the library then frames (or refuses) it on its own.
    if (!lengthKnown) {
        m_state = State::PassThrough;
    } else if (length.value_or(0) > 0) {
        m_state = State::Body;
        m_bodyLeft = *length;
    } else {
        m_state = State::Head;
    }
    return out;
}

}  // namespace tessary::service
