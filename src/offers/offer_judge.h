#pragma once
// Connects the offer checks to the loading of the configuration document.
#include <functional>

#include "config/configuration_document.h"
#include "offers/offer_checker.h"

namespace tessary {

// One OfferChecker per evaluation, reading the machine through the ports the function gives when
// the evaluation starts.
OfferJudgeFactory CheckOffersOnThisMachine(ConfigurationManager& config,
                                           std::function<OfferCheckerPorts()> ports = CurrentOfferCheckerPorts);

}  // namespace tessary
