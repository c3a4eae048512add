#include "offers/offer_flow.h"

#include <nlohmann/json.hpp>

#include "config/configuration_manager.h"
#include "config/package.h"

namespace tessary {

OfferFlowStep OfferFlow::Answer(OfferAnswer answer, std::size_t offerPagesAhead, ConfigurationManager& config) {
    if (answer == OfferAnswer::SkipAll) m_skipAll = true;
    if (answer != OfferAnswer::Accept && m_offerIndex >= 0 &&
        static_cast<std::size_t>(m_offerIndex) < m_offers.size() &&
        m_offers[static_cast<std::size_t>(m_offerIndex)]->m_skipAllAfterDecline) {
        m_skipAfterDecline = true;
    }
    return OfferFlowSkipCount(offerPagesAhead, config);
}

OfferFlowStep OfferFlow::OfferFlowSkipCount(std::size_t offerPagesAhead, ConfigurationManager& config) {
    OfferFlowStep step;
    // The pages ahead and the offers correspond one to one; the flow never looks past either.
    while (static_cast<std::size_t>(step.skipCount) < offerPagesAhead && m_offerIndex >= 0 &&
           static_cast<std::size_t>(m_offerIndex) + 1 < m_offers.size()) {
        ++m_offerIndex;
        const auto& offer = m_offers[static_cast<std::size_t>(m_offerIndex)];
        bool declinedBefore = false;
        if (!m_skipAll && !m_maxOffersReached && !m_skipAfterDecline) {
            if (config.m_offerDeclined && offer->m_skipIfDeclinedBefore) {
                declinedBefore = true;
                // Passed over on its own account, this offer no longer limits the ones after it.
                offer->m_flowMo = Package::kUnlimited;
            }
            for (int i = 0; i < m_offerIndex; ++i) {
                if (m_offerIndex >= m_offers[static_cast<std::size_t>(i)]->m_flowMo) {
                    m_maxOffersReached = true;
                    break;
                }
            }
        }
        if (!m_skipAll && !m_maxOffersReached && !m_skipAfterDecline && !declinedBefore) return step;

        const char* reason = m_skipAll            ? "SKIP ALL CLICKED"
                             : declinedBefore     ? "SKIPPED BECAUSE OF EARLIER DECLINE"
                             : m_maxOffersReached ? "EXCEEDED MAX NUMBER OF OFFERS IN FLOW"
                                                  : "SKIP ALL AFTER DECLINE OFFER DECLINED";
        step.passedOver.push_back({offer, reason, m_offerIndex < config.m_maxOffers});
        ++step.skipCount;
    }
    return step;
}

bool HidesSkipAll(const Package& offer, int offerCount) {
    // Compared in 64 bits: a maximum of 0 or below must not wrap around.
    return offer.m_index == offerCount - 1 ||
           static_cast<long long>(offer.m_index) == static_cast<long long>(offer.m_flowMo) - 1;
}

void ReportPassedOverOffers(const OfferFlowStep& step) {
    for (const auto& passed : step.passedOver) {
        if (passed.reported) passed.offer->ReportEvent(2, nlohmann::json{{"13", passed.reason}});
    }
}

}  // namespace tessary
