#pragma once
// The disclaimer of an offer page: the language's text with the offer's name and the addresses of
// its privacy policy and terms put in, as markup for a link control.
#include <string>

namespace tessary {

class Package;

// The offer's own texts as the disclaimer shows them, decoded from UTF-8.
struct OfferDisclaimerValues {
    std::wstring displayName;
    std::wstring privacyUrl;
    std::wstring termsUrl;
};

// Replaces every "[PACKAGE_NAME]", "[PACKAGE_PRIVACY_URL]" and "[PACKAGE_EULA_URL]" of text in one
// pass from left to right; what is put in is never searched again, so a value that holds a
// placeholder stays as it is. Values cannot add markup: the name loses its angle brackets to
// look-alikes, and an address becomes the empty link target unless it is an http or https
// address, in which quotes, angle brackets, blanks and control characters are percent-encoded.
std::wstring FillOfferDisclaimer(const std::wstring& text, const OfferDisclaimerValues& values);

// The values of an offer package. Text that is not UTF-8 is put in empty rather than garbled.
OfferDisclaimerValues DisclaimerValuesOf(const Package& offer);

}  // namespace tessary
