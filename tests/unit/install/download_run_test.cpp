#include "install/download_run.h"

#include <gtest/gtest.h>

#include "config/configuration_manager.h"
#include "config/package.h"
#include "configuration_guard.h"
#include "fake_ports.h"

namespace tessary {
namespace {

using testing::W;

LaunchResult Launch(std::uint32_t exitCode, const std::wstring& message, bool started,
                    std::shared_ptr<platform::RunningProcess> process = nullptr) {
    LaunchResult result;
    result.exitCode = exitCode;
    result.message = message;
    result.started = started;
    result.process = std::move(process);
    return result;
}

struct Reported {
    Package* package;
    int code;
    nlohmann::json extra;
};

// A configuration with a main product and offers, the run of one flavour over it, and the events
// it reports, kept in order.
class DownloadRunTest : public ::testing::Test {
protected:
    DownloadRunTest() {
        config->m_filesUrl = L"https://files.test/f/";
        config->m_productUrl = L"product-setup.exe";
        config->m_productFileName = L"Veloran.exe";
        config->m_mainPackage = std::make_shared<Package>(SignedRequest(), true, L"Veloran", L"id", L"cfl", L"ch", 0);
        config->m_acceptedPackages.clear();
        config->m_shownPackages.clear();
        config->m_mainFailureCode3 = true;
        config->m_btClassicOptions = false;
    }

    std::shared_ptr<Package> Offer(const std::string& url, const std::string& arguments = {}) {
        const nlohmann::json offer = {{"ad", {{"o", "offer"}, {"f", "feed"}}},
                                      {"ps", {{"i", "i.png"}, {"dn", "Tool"}, {"u", url}, {"p", arguments}}}};
        auto package = std::make_shared<Package>(SignedRequest(), offer, false, "", 0);
        config->m_shownPackages.push_back(package);
        config->m_acceptedPackages.push_back(package);
        return package;
    }

    DownloadRun& Start(WizardType flavour) {
        run.emplace(flavour, *config, [this](Package& package, int code, const nlohmann::json& extra) {
            events.push_back({&package, code, extra});
        });
        run->Begin();
        return *run;
    }

    // Takes every file of the queue, answering each with the outcome the test gives.
    std::vector<DownloadOrder> DownloadAll(bool ok = true) {
        std::vector<DownloadOrder> orders;
        while (run->HasDownload()) {
            orders.push_back(run->NextDownload());
            run->DownloadEnded(ok, ok ? L"" : L"timed out",
                               L"C:\\Temp\\run\\" + std::to_wstring(orders.size()) + L"\\file.exe");
        }
        return orders;
    }

    testing::FakePorts ports;
    testing::ConfigurationGuard config;
    std::optional<DownloadRun> run;
    std::vector<Reported> events;
};

TEST_F(DownloadRunTest, ProductComesFirstThenTheOffersInTheOrderTheyWereAccepted) {
    Offer("setup.exe");
    Offer("https://cdn.test:8443/tools/b.exe");
    Offer("cdn.test/c.exe");
    Offer("HTTP://intranet/d.exe");
    Start(WizardType::Dlm);

    const auto orders = DownloadAll();
    ASSERT_EQ(orders.size(), 5u);
    // The download flavour's product: its address as it stands, its own name, the download folder.
    EXPECT_EQ(orders[0].urls, std::make_pair(std::wstring(L"product-setup.exe"), std::wstring()));
    EXPECT_EQ(orders[0].fileName, L"Veloran.exe");
    EXPECT_FALSE(orders[0].temporaryFolder);
    EXPECT_EQ(orders[0].packageFolder, L"");
    // Offers: bare names and addresses without a scheme come from the file host.
    EXPECT_EQ(orders[1].urls.first, L"https://files.test/f/setup.exe");
    EXPECT_EQ(orders[2].urls.first, L"https://cdn.test:8443/tools/b.exe");
    EXPECT_EQ(orders[3].urls.first, L"https://files.test/f/cdn.test/c.exe");
    EXPECT_EQ(orders[4].urls.first, L"HTTP://intranet/d.exe");
    for (std::size_t i = 1; i < orders.size(); ++i) {
        EXPECT_TRUE(orders[i].temporaryFolder);
        EXPECT_EQ(orders[i].fileName, L"");
        EXPECT_EQ(orders[i].urls.second, L"");
        // Each file has a folder of its own, so two setup.exe never meet.
        EXPECT_EQ(orders[i].packageFolder, std::to_wstring(i + 1));
    }
}

TEST_F(DownloadRunTest, InstallerFlavourFetchesItsProductFromTheFileHostWithItsFallback) {
    config->m_productFallbackUrl = L"https://mirror.test/product-setup.exe";
    Start(WizardType::Isv);
    const auto order = run->NextDownload();
    EXPECT_EQ(order.urls.first, L"https://files.test/f/product-setup.exe");
    EXPECT_EQ(order.urls.second, L"https://mirror.test/product-setup.exe");
    EXPECT_EQ(order.fileName, L"");
    EXPECT_TRUE(order.temporaryFolder);

    config->m_productFallbackUrl.clear();
    Start(WizardType::Isv);
    EXPECT_EQ(run->NextDownload().urls.second, L"");
}

TEST_F(DownloadRunTest, PartnerMarkersAreWrittenForTheShownOffersThatAskForThem) {
    auto marked = Offer("a.exe");
    marked->m_pnEnabled = true;
    marked->m_pnRegistryValue = "SOFTWARE\\Partner\\Marker";
    auto unmarked = Offer("b.exe");
    unmarked->m_pnRegistryValue = "SOFTWARE\\Partner\\Other";
    config->m_acceptedPackages.clear();  // shown, not accepted: the marker is still written
    Start(WizardType::Dlm);
    EXPECT_TRUE(ports.registry->GetValue(platform::RegistryRoot::LocalMachine, L"SOFTWARE\\Partner", L"Marker"));
    EXPECT_FALSE(ports.registry->GetValue(platform::RegistryRoot::LocalMachine, L"SOFTWARE\\Partner", L"Other"));
}

TEST_F(DownloadRunTest, DownloadFlavourReportsItsProductOnceItIsOnDiskAndQueuesOnlyTheOffers) {
    auto offer = Offer("a.exe");
    Start(WizardType::Dlm);
    DownloadAll();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].package, config->m_mainPackage.get());
    EXPECT_EQ(events[0].code, 3);
    EXPECT_TRUE(events[0].extra.is_null());
    EXPECT_EQ(config->m_downloadedPath, L"C:\\Temp\\run\\1\\file.exe");
    ASSERT_TRUE(run->HasLaunch());
    EXPECT_FALSE(run->NextLaunchIsMainProduct());
    EXPECT_FALSE(run->MainFailed());
}

TEST_F(DownloadRunTest, FailedDownloadsAreReportedAndTheRestGoesOn) {
    auto offer = Offer("a.exe");
    Start(WizardType::Dlm);
    run->NextDownload();
    run->DownloadEnded(false, W("Zeitüberschreitung"), L"");
    run->NextDownload();
    run->DownloadEnded(false, L"404", L"");
    ASSERT_EQ(events.size(), 2u);
    // The product's failure is code 3 in this build, and the text reaches the service as UTF-8.
    EXPECT_EQ(events[0].code, 3);
    EXPECT_EQ(events[0].extra, nlohmann::json({{"12", "DOWNLOAD FAILED: Zeitüberschreitung"}}));
    EXPECT_EQ(events[1].package, offer.get());
    EXPECT_EQ(events[1].code, -1);
    EXPECT_EQ(events[1].extra, nlohmann::json({{"12", "DOWNLOAD FAILED: 404"}}));
    EXPECT_TRUE(run->MainFailed());
    EXPECT_FALSE(run->HasLaunch());

    config->m_mainFailureCode3 = false;
    events.clear();
    Start(WizardType::Isv);
    run->DownloadEnded(false, L"refused", L"");
    EXPECT_EQ(events.at(0).code, -1);
}

TEST_F(DownloadRunTest, OffersStartWithTheirArgumentsAndAFailedStartIsAFailure) {
    auto started = Offer("a.exe", "/silent /lang=dé");
    auto refused = Offer("b.exe");
    Start(WizardType::Dlm);
    DownloadAll();
    events.clear();

    LaunchOrder order = run->NextLaunch();
    EXPECT_EQ(order.path, L"C:\\Temp\\run\\2\\file.exe");
    EXPECT_EQ(order.arguments, W("/silent /lang=dé"));
    EXPECT_FALSE(order.wait);
    run->LaunchEnded(Launch(kExitCodeUnknown, L"exit code = 4294967295", true));

    order = run->NextLaunch();
    run->LaunchEnded(Launch(kExitCodeUnknown, L"Error launching executable: Bad EXE format.", false));
    EXPECT_FALSE(run->HasLaunch());

    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].package, started.get());
    EXPECT_EQ(events[0].code, 3);
    EXPECT_EQ(events[1].package, refused.get());
    EXPECT_EQ(events[1].code, -1);
    EXPECT_EQ(events[1].extra, nlohmann::json({{"12", "EXEC FAILED: Error launching executable: Bad EXE format."}}));
    // A failed offer never sends the wizard to the error page.
    EXPECT_FALSE(run->MainFailed());
}

TEST_F(DownloadRunTest, FoldersOfProgramsThatMayStillRunAreInUse) {
    Offer("a.exe");
    Offer("b.exe");
    Offer("c.exe");
    Start(WizardType::Isv);
    DownloadAll();
    // The product's installer is in use from the moment it is chosen until its end is told.
    run->NextLaunch();
    EXPECT_EQ(run->FoldersInUse(), std::vector<std::wstring>{L"C:\\Temp\\run\\1"});
    run->LaunchEnded(Launch(0, L"", true));
    EXPECT_TRUE(run->FoldersInUse().empty());

    // One offer keeps running, one has ended, one never started.
    std::promise<void> ends;
    ports.processes->SetDefaultOutcome({.runsUntil = ends.get_future().share()});
    run->NextLaunch();
    run->LaunchEnded(Launch(kExitCodeUnknown, L"", true, ports.processes->Start(L"a").Value()));
    ports.processes->SetDefaultOutcome({});
    run->NextLaunch();
    run->LaunchEnded(Launch(kExitCodeUnknown, L"", true, ports.processes->Start(L"b").Value()));
    run->NextLaunch();
    run->LaunchEnded(Launch(kExitCodeUnknown, L"Error launching executable: ", false));
    EXPECT_EQ(run->FoldersInUse(), std::vector<std::wstring>{L"C:\\Temp\\run\\2"});

    ends.set_value();
    EXPECT_TRUE(run->FoldersInUse().empty());
}

TEST_F(DownloadRunTest, InstallerFlavourWaitsForItsProductAndJudgesItsExitCode) {
    config->m_productArguments = L"/quiet";
    Offer("a.exe");
    Start(WizardType::Isv);
    DownloadAll();
    EXPECT_TRUE(events.empty());  // nothing is reported before the installer has run
    EXPECT_EQ(config->m_downloadedPath, L"C:\\Temp\\run\\1\\file.exe");

    ASSERT_TRUE(run->NextLaunchIsMainProduct());
    const LaunchOrder order = run->NextLaunch();
    EXPECT_TRUE(order.wait);
    EXPECT_EQ(order.arguments, L"/quiet");
    run->LaunchEnded(Launch(2, L"exit code = 2", true));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].code, 3);
    EXPECT_EQ(events[0].extra, nlohmann::json({{"12", "EXEC FAILED: exit code = 2"}}));
    EXPECT_TRUE(run->MainFailed());
    // The offers still run.
    ASSERT_TRUE(run->HasLaunch());
    EXPECT_FALSE(run->NextLaunchIsMainProduct());
}

TEST_F(DownloadRunTest, InstallerFlavourWithClassicOptionsPassesTheChoicesToItsProduct) {
    config->m_btClassicOptions = true;
    config->m_configurations = {false, false, true, false, false};
    config->m_options = {false, false, false};
    Start(WizardType::Isv);
    DownloadAll();
    const LaunchOrder order = run->NextLaunch();
    EXPECT_EQ(order.arguments, L"/S /FORCEINSTALL 1000000101010000");
    run->LaunchEnded(Launch(0, L"", true));
    EXPECT_EQ(events.at(0).code, 3);
    EXPECT_TRUE(events.at(0).extra.is_null());
    EXPECT_FALSE(run->MainFailed());
    EXPECT_EQ(config->m_downloadedPath, order.path);
}

}  // namespace
}  // namespace tessary
