#pragma once
#include <functional>
#include <memory>
#include <vector>

#include <nlohmann/json.hpp>

#include "config/package.h"

namespace tessary {

// What the offer checks decide for one offer.
struct OfferVerdict {
    bool keep = false;  // the offer passed and joins the accepted ones
    bool stop = false;  // read no further offers
};

// Judges one freshly built offer against the offers accepted before it.
using OfferJudge =
    std::function<OfferVerdict(const std::shared_ptr<Package>& offer, const std::vector<std::shared_ptr<Package>>& accepted)>;
// Creates the checker of one run once the document's offer limit is known.
using OfferJudgeFactory = std::function<OfferJudge(int maxOffers)>;

struct LoadedConfiguration {
    // The download flavour's product title or URL is empty: the configuration error, reported
    // without an exception.
    bool productMissing = false;
    std::vector<std::shared_ptr<Package>> offers;  // the accepted offers, in document order
};

// Copies the values of a parsed configuration document into the process-wide
// ConfigurationManager and builds one Package per offer, keeping those the checker accepts.
// A missing required key or a value of the wrong type throws the JSON library's exception;
// nothing else but std::exception-derived errors leaves it.
LoadedConfiguration LoadConfigurationDocument(const nlohmann::json& document, const OfferJudgeFactory& makeChecker);

}  // namespace tessary
