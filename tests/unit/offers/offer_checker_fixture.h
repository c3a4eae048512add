#pragma once
// Offers built from document objects and judged by one checker over the fake ports, with every
// rejection kept in order.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "config/package.h"
#include "configuration_snapshot.h"
#include "fake_ports.h"
#include "offers/offer_checker.h"

namespace tessary::testing {

class OfferCheckerTest : public ::testing::Test {
protected:
    using json = nlohmann::json;

    struct Rejection {
        std::string offerId;
        std::string reason;
        bool operator==(const Rejection&) const = default;
    };

    OfferCheckerTest() { config->m_maxOffers = 100; }

    // An offer with the given "ps" members besides the required ones.
    std::shared_ptr<Package> Offer(const std::string& id, json rules = json::object()) {
        json ps = {{"i", "i.png"}, {"dn", "Tool " + id}, {"u", "https://files.example/" + id + ".exe"}};
        ps.update(rules);
        const json offer = {{"ad", {{"o", id}, {"f", "feed"}}}, {"ps", ps}};
        return std::make_shared<Package>(SignedRequest(), offer, false, "c-1", static_cast<int>(m_accepted.size()));
    }

    OfferChecker& Checker() {
        if (!m_checker) {
            OfferCheckerPorts checkerPorts{*ports.registry, *ports.fileSystem, *ports.system, *ports.clock,
                                           [this](const std::shared_ptr<Package>& offer, const std::string& reason) {
                                               rejections.push_back({offer->m_offerId, reason});
                                           }};
            m_checker = std::make_unique<OfferChecker>(config->m_maxOffers, *config, std::move(checkerPorts));
        }
        return *m_checker;
    }

    // Judges the offer the way the document loading does: an accepted one joins the list.
    bool Judge(const std::shared_ptr<Package>& offer) {
        lastStop = false;
        const bool kept = Checker().Check(offer, lastStop, m_accepted);
        if (kept) m_accepted.push_back(offer);
        return kept;
    }

    // The reason an offer with these rules is turned away with, or "" when it is kept or dropped
    // silently. Each such offer has a vertical of its own unless the rules give one.
    std::string ReasonFor(json rules) {
        const std::size_t before = rejections.size();
        if (!rules.contains("v")) rules["v"] = 1000 + m_made;
        Judge(Offer("offer-" + std::to_string(++m_made), std::move(rules)));
        return rejections.size() > before ? rejections.back().reason : std::string();
    }

    const std::vector<std::shared_ptr<Package>>& Accepted() const { return m_accepted; }

    FakePorts ports;
    ConfigurationSnapshot config;
    std::vector<Rejection> rejections;
    bool lastStop = false;

private:
    std::unique_ptr<OfferChecker> m_checker;
    std::vector<std::shared_ptr<Package>> m_accepted;
    int m_made = 0;
};

}  // namespace tessary::testing
