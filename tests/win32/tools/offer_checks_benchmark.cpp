// Times the offer checks against the real registry: 50 offers of 20 rules each, judged by one
// checker as the loading of a configuration does, five times over. Prints the median time of an
// evaluation and the registry calls one evaluation makes.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <vector>

#include <nlohmann/json.hpp>

#include "config/configuration_manager.h"
#include "config/package.h"
#include "counting_registry.h"
#include "offers/offer_checker.h"
#include "platform/ports.h"
#include "platform/win32/win32_ports.h"

namespace {

using namespace tessary;
using json = nlohmann::json;

constexpr int kOffers = 50;
constexpr int kRuns = 5;

// Twenty rules: keys that are and are not there, values, files, processes, applications,
// uninstall times and the three measured facts.
// One text after another. (Written out because GCC 12 warns falsely about a literal added to a
// string at this optimisation level.)
std::string Cat(std::string first, const std::string& second) {
    first.append(second);
    return first;
}

json Rules(int n) {
    const std::string own = Cat("benchmark-vendor-", std::to_string(n));
    return {{"v", n},
            {"r", {Cat(own, "\\a"), Cat(own, "\\b"), Cat("microsoft\\", own), Cat("hklm\\software\\", own),
                   Cat("classes\\", own)}},
            {"ir", {"microsoft", own}},
            {"rvn", {Cat("microsoft\\windows nt\\currentversion\\", own), Cat(own, "\\value")}},
            {"rvd", {"microsoft\\windows nt\\currentversion\\currentbuild\\1", Cat(own, "\\x\\1")}},
            {"fe", {Cat(Cat("C:\\", own), ".txt")}},
            {"a", {own, "rival"}},
            {"eapp", {Cat(own, ".exe")}},
            {"cmdu", {{{"utr", "hkey_current_user"}, {"utk", Cat("software\\", own)}, {"utvn", "uninstalled"},
                       {"utvt", "REG_SZ"}, {"umd", 7}, {"utms", false}}}},
            {"disk", 1},
            {"ram", 1},
            {"cpu", 1}};
}

}  // namespace

int wmain() {
    win32::InstallWin32Ports();
    auto ports = platform::CurrentPorts();
    auto counting = std::make_shared<tools::CountingRegistry>(ports.registry);
    ports.registry = counting;
    platform::InstallPorts(ports);

    auto& config = *ConfigurationManager::GetInstance();
    std::vector<std::shared_ptr<Package>> offers;
    for (int n = 0; n < kOffers; ++n) {
        json ps = Rules(n);
        ps.update(json{{"i", "i.png"}, {"dn", "Offer"}, {"u", "https://files.test/o.exe"}});
        const json offer = {{"ad", {{"o", Cat("o", std::to_string(n))}, {"f", "f"}}}, {"ps", ps}};
        offers.push_back(std::make_shared<Package>(SignedRequest(), offer, false, "c", 0));
    }

    std::vector<double> milliseconds;
    tools::CountingRegistry::Counts perEvaluation;
    int kept = 0;
    for (int run = 0; run < kRuns; ++run) {
        const auto before = counting->GetCounts();
        const auto start = std::chrono::steady_clock::now();
        OfferChecker checker(kOffers, config, OfferCheckerPorts{*counting, platform::FileSystem(), platform::System(),
                                                                platform::Clock(),
                                                                [](const std::shared_ptr<Package>&, const std::string&) {}});
        std::vector<std::shared_ptr<Package>> accepted;
        for (const auto& offer : offers) {
            bool stop = false;
            if (checker.Check(offer, stop, accepted)) accepted.push_back(offer);
        }
        milliseconds.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
        const auto after = counting->GetCounts();
        perEvaluation = {after.opens - before.opens, after.enumerations - before.enumerations,
                         after.reads - before.reads};
        kept = static_cast<int>(accepted.size());
    }
    std::sort(milliseconds.begin(), milliseconds.end());
    std::printf("offer checks: %d offers x 20 rules, %d-bit process, %d kept\n", kOffers,
                static_cast<int>(sizeof(void*) * 8), kept);
    std::printf("evaluation time: median %.1f ms, fastest %.1f ms, slowest %.1f ms (%d runs)\n",
                milliseconds[kRuns / 2], milliseconds.front(), milliseconds.back(), kRuns);
    std::printf("registry calls per evaluation: %d opens, %d enumerations, %d reads\n", perEvaluation.opens,
                perEvaluation.enumerations, perEvaluation.reads);
    return 0;
}
