#include "offers/offer_disclaimer.h"

#include <array>
#include <cstdio>
#include <exception>
#include <string_view>

#include "config/package.h"
#include "encoding/text_conversion.h"
#include "encoding/url_check.h"

namespace tessary {
namespace {

// A link control reads "<a" and "</a>" as markup wherever they stand; without "<" no name can
// open or close a link. The look-alikes keep the name readable.
std::wstring AsLinkText(const std::wstring& text) {
    std::wstring escaped;
    escaped.reserve(text.size());
    for (const wchar_t c : text) {
        if (c == L'<') {
            escaped += L'\u2039';
        } else if (c == L'>') {
            escaped += L'\u203A';
        } else {
            escaped += c;
        }
    }
    return escaped;
}

bool NeedsPercentEncoding(wchar_t c) {
    return c <= L' ' || c == 0x7F || c == L'"' || c == L'\'' || c == L'<' || c == L'>';
}

// The target of an anchor, between double quotes: only web addresses, and nothing in them that
// could end the attribute or the tag.
std::wstring AsLinkTarget(const std::wstring& url) {
    if (!IsWebAddress(url)) return {};
    std::wstring escaped;
    escaped.reserve(url.size());
    for (const wchar_t c : url) {
        if (!NeedsPercentEncoding(c)) {
            escaped += c;
            continue;
        }
        wchar_t code[4] = {};
        std::swprintf(code, 4, L"%%%02X", static_cast<unsigned>(c));
        escaped += code;
    }
    return escaped;
}

std::wstring DecodedOrEmpty(const std::string& text) {
    try {
        return Utf8ToWide(text);
    } catch (const std::exception&) {
        return {};
    }
}

}  // namespace

std::wstring FillOfferDisclaimer(const std::wstring& text, const OfferDisclaimerValues& values) {
    const std::array<std::pair<std::wstring_view, std::wstring>, 3> substitutions{{
        {L"[PACKAGE_NAME]", AsLinkText(values.displayName)},
        {L"[PACKAGE_PRIVACY_URL]", AsLinkTarget(values.privacyUrl)},
        {L"[PACKAGE_EULA_URL]", AsLinkTarget(values.termsUrl)},
    }};
    std::wstring filled;
    filled.reserve(text.size());
    std::size_t position = 0;
    while (position < text.size()) {
        const std::size_t open = text.find(L'[', position);
        if (open == std::wstring::npos) break;
        filled.append(text, position, open - position);
        position = open;
        bool replaced = false;
        for (const auto& [placeholder, value] : substitutions) {
            if (text.compare(open, placeholder.size(), placeholder) != 0) continue;
            filled += value;
            position = open + placeholder.size();
            replaced = true;
            break;
        }
        if (!replaced) {
            filled += L'[';
            ++position;
        }
    }
    if (position < text.size()) filled.append(text, position, std::wstring::npos);
    return filled;
}

OfferDisclaimerValues DisclaimerValuesOf(const Package& offer) {
    return {DecodedOrEmpty(offer.m_displayName), DecodedOrEmpty(offer.m_privacyUrl), DecodedOrEmpty(offer.m_termsUrl)};
}

}  // namespace tessary
