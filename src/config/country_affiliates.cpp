#include <string_view>
#include <unordered_map>

#include "config/package.h"

namespace tessary {

std::string Package::CountryToAffiliateId(const std::string& countryCode) {
    static const std::unordered_map<std::string_view, std::string_view> table = [] {
        // Each group lists its two-letter codes separated by single spaces.
        const std::pair<std::string_view, std::string_view> groups[] = {
            {"91088", "US"},
            {"91166", "CA"},
            {"91199", "BR"},
            {"91214", "AU NZ KR"},
            {"91105", "DZ BG CY CZ EG GR HU IE IL KW MA PL PT QA RO RU SA SK ZA TN TR UA AE"},
            {"91215", "TH MX PH AR VN TW PE CL CO VE RS LK DO JO HK LT PS HR CR BA SV GE MD AL UY BY LB SN PA LV ID "
                      "PK SG"},
        };
        std::unordered_map<std::string_view, std::string_view> byCountry;
        for (const auto& [id, countries] : groups) {
            for (std::size_t pos = 0; pos < countries.size(); pos += 3) byCountry.emplace(countries.substr(pos, 2), id);
        }
        return byCountry;
    }();
    // The lookup is exact: "us" is not "US".
    const auto found = table.find(countryCode);
    return std::string(found == table.end() ? std::string_view("91082") : found->second);
}

}  // namespace tessary
