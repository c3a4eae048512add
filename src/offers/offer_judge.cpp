#include "offers/offer_judge.h"

#include <memory>

namespace tessary {

OfferJudgeFactory CheckOffersOnThisMachine(ConfigurationManager& config, std::function<OfferCheckerPorts()> ports) {
    return [&config, ports = std::move(ports)](int maxOffers) -> OfferJudge {
        auto checker = std::make_shared<OfferChecker>(maxOffers, config, ports());
        return [checker](const std::shared_ptr<Package>& offer, const std::vector<std::shared_ptr<Package>>& accepted) {
            OfferVerdict verdict;
            verdict.keep = checker->Check(offer, verdict.stop, accepted);
            return verdict;
        };
    };
}

}  // namespace tessary
