// The rules of the partner block: how many offers may stand before and after an offer, and which.
#include <algorithm>
#include <cstdint>

#include "config/configuration_manager.h"
#include "config/package.h"
#include "encoding/base62.h"
#include "offers/offer_checker.h"

namespace tessary {
namespace {

bool Contains(const std::vector<std::string>& list, const std::string& text) {
    return std::find(list.begin(), list.end(), text) != list.end();
}

std::string JoinedWithCommas(const std::vector<std::string>& ids) {
    std::string joined;
    for (const auto& id : ids) {
        if (!joined.empty()) joined += ',';
        joined += id;
    }
    return joined;
}

}  // namespace

bool OfferChecker::CheckFlowPosition(const std::shared_ptr<Package>& package,
                                     const std::vector<std::shared_ptr<Package>>& accepted) {
    const Package& offer = *package;
    if (m_acceptedCount > offer.m_flowMb) {
        RejectOffer(package, "SHOWED " + std::to_string(m_acceptedCount) + " PRODUCTS BUT ONLY " +
                                 std::to_string(offer.m_flowMb) + " ALLOWED BEFORE");
        return true;
    }

    if (!offer.m_flowAb.empty() && !m_acceptedIds.empty()) {
        std::vector<std::string> notAllowed;
        for (const auto& id : m_acceptedIds) {
            if (!Contains(offer.m_flowAb, Base62Encode(id))) notAllowed.push_back(id);
        }
        if (!notAllowed.empty()) {
            RejectOffer(package, "NOT ALLOWED AFTER " + JoinedWithCommas(notAllowed));
            return true;
        }
    }

    // Offers granted an extra place are not held back by the limits of the offers before them.
    if (m_config.m_offerCounter != 0) return false;

    for (const auto& earlier : accepted) {
        // The offers accepted after the earlier one, compared as unsigned numbers.
        const auto afterCount =
            static_cast<std::uint32_t>(static_cast<long long>(accepted.size()) - earlier->m_index - 1);
        const auto most = static_cast<std::uint32_t>(earlier->m_flowMa);
        if (most <= afterCount) {
            RejectOffer(package, "ONLY " + std::to_string(most) + " PRODUCTS ALLOWED TO BE SHOWN AFTER " +
                                     earlier->m_offerId);
            return true;
        }
    }

    const std::string ownEncoded = Base62Encode(offer.m_offerId);
    std::vector<std::string> refusing;
    for (const auto& earlier : accepted) {
        if (!earlier->m_flowAa.empty() && !Contains(earlier->m_flowAa, ownEncoded)) refusing.push_back(earlier->m_offerId);
    }
    if (!refusing.empty()) {
        RejectOffer(package, "NOT ALLOWED AFTER " + JoinedWithCommas(refusing));
        return true;
    }
    return false;
}

}  // namespace tessary
