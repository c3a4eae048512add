#pragma once
#include <cstdint>
#include <string>

namespace tessary {

// Everything a build fixes. The values come from the build's own settings; tests construct
// other sets to play other flavours.
struct BuildConstants {
    std::wstring wizardKey;
    bool btVariant = false;
    bool btClassicOptions = false;
    bool mainFailureCode3 = true;
    std::wstring serviceHost;  // "https://" + host of the three service endpoints
    std::wstring companyHost;  // "https://" + host of the company web site
    std::wstring brand;
    std::wstring clientId;
    std::wstring sourceId;
    std::uint32_t backgroundColor = 0;
    std::uint32_t accentColor = 0;
    // Installer-flavour constants.
    std::wstring isvProductTitle;
    std::wstring isvProductUrl;
    std::wstring isvProductFallbackUrl;
    std::wstring isvProductPrivacyUrl;
    std::wstring isvProductTermsUrl;
    std::wstring isvProductArguments;
    std::wstring isvLaunchTarget;
    std::wstring isvLaunchParameters;
};

// The constants this binary was built with.
const BuildConstants& CompiledBuildConstants();

}  // namespace tessary
