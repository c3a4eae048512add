#pragma once
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace tessary {

class ConfigurationManager;
class Package;

// The user's answer on an offer page.
enum class OfferAnswer { Accept, Decline, SkipAll };

// An offer page the flow passes over, and the reason it gives to the service.
struct PassedOverOffer {
    std::shared_ptr<Package> offer;
    std::string reason;
    bool reported = false;  // only offers below the configuration's maximum are reported
};

// Where the wizard goes after an answer on an offer page: how many of the following offer pages
// it passes over, and which.
struct OfferFlowStep {
    int skipCount = 0;
    std::vector<PassedOverOffer> passedOver;
};

// The walk through the offer pages: which offer is current, the flags the user's answers and the
// offers' own flow settings raise, and the decision of which later offer pages are passed over.
// The host owns one, asks it after every answer and moves by what it says. The flags only ever go
// from false to true, and the offer index only grows; offer pages have no Back.
class OfferFlow {
public:
    OfferFlow() = default;
    explicit OfferFlow(std::vector<std::shared_ptr<Package>> offers) : m_offers(std::move(offers)) {}

    const std::vector<std::shared_ptr<Package>>& Offers() const { return m_offers; }

    // Records an answer given on the page of the current offer, then decides how many of the
    // offerPagesAhead offer pages that follow it are passed over. A declined or skipped offer
    // sets the configuration's m_offerDeclined before this is called (the offer page does it).
    OfferFlowStep Answer(OfferAnswer answer, std::size_t offerPagesAhead, ConfigurationManager& config);

    // The decision alone: walks the offer pages ahead of the current one, passing over each that
    // the flags or an earlier offer's flow maximum exclude, until one is to be shown or none is
    // left. Each page it looks at advances m_offerIndex.
    OfferFlowStep OfferFlowSkipCount(std::size_t offerPagesAhead, ConfigurationManager& config);

    std::vector<std::shared_ptr<Package>> m_offers;
    int m_offerIndex = 0;
    bool m_skipAll = false;
    bool m_skipAfterDecline = false;
    bool m_maxOffersReached = false;
};

// Whether the page of an offer hides Skip All: on the last of the offerCount offer pages, and on
// the page after which the offer's own flow maximum ends the flow.
bool HidesSkipAll(const Package& offer, int offerCount);

// Sends event 2 with its reason for each passed-over offer the step marks as reported.
void ReportPassedOverOffers(const OfferFlowStep& step);

}  // namespace tessary
