// Feeds arbitrary documents to the configuration loading and the offer packages. Every
// exception is an accepted answer to a bad document; a crash or a sanitizer report is not.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <memory>

#include "config/configuration_document.h"
#include "config/configuration_manager.h"
#include "configuration_guard.h"
#include "fake_ports.h"
#include "offers/offer_judge.h"

namespace {

using namespace tessary;

struct Machine {
    Machine() {
        SeedLocalMachine();
        ports.system->wow64 = true;
        ports.system->environment[L"ProgramW6432"] = L"C:\\Program Files";
        ports.fileSystem->knownFolders[platform::KnownFolder::LocalAppData] = L"C:\\Users\\u\\AppData\\Local";
        ports.registry->machine = testing::FakeRegistry::Machine::Wow64Process;
        ports.registry->SetDword(platform::RegistryRoot::CurrentUser, L"Software\\Vendor\\App", L"Level", 5);
        ports.registry->SetString(platform::RegistryRoot::CurrentUser, L"Software\\Vendor\\App", L"Mode", L"Fast");
        ports.fileSystem->AddFile(L"C:\\Tool\\tool.exe");
        initial = std::make_unique<testing::ConfigurationGuard>();
    }
    void SeedLocalMachine() {
        ports.registry->SetString(platform::RegistryRoot::LocalMachine, L"SOFTWARE\\Microsoft\\Cryptography",
                                  L"MachineGuid", L"4c4c4544-0042");
        ports.registry->SetString(platform::RegistryRoot::LocalMachine,
                                  L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\tool.exe", L"",
                                  L"C:\\Tool\\tool.exe");
    }
    testing::FakePorts ports;
    // The configuration as every input finds it, whatever the previous one left behind.
    std::unique_ptr<testing::ConfigurationGuard> initial;
};

Machine& TheMachine() {
    static Machine machine;
    return machine;
}

// The machine's real checks, without reports to the service, after the package's own uses of
// its texts.
OfferJudgeFactory FuzzJudges() {
    auto checks = CheckOffersOnThisMachine(*ConfigurationManager::GetInstance(), [] {
        auto ports = CurrentOfferCheckerPorts();
        ports.reportRejection = [](const std::shared_ptr<Package>&, const std::string&) {};
        return ports;
    });
    return [checks](int maxOffers) -> OfferJudge {
        auto judge = checks(maxOffers);
        return [judge](const std::shared_ptr<Package>& offer, const std::vector<std::shared_ptr<Package>>& accepted) {
            offer->ExpandPlaceholders(offer->m_downloadUrl + offer->m_installerArguments);
            offer->WritePnMarker();
            return judge(offer, accepted);
        };
    };
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Machine& machine = TheMachine();
    nlohmann::json document;
    try {
        document = nlohmann::json::parse(data, data + size);
    } catch (const std::exception&) {
        return 0;
    }
    for (int wizardType : {1, 2}) {
        machine.initial->Restore();
        (*machine.initial)->m_wizardType = wizardType;
        try {
            LoadConfigurationDocument(document, FuzzJudges());
        } catch (const std::exception&) {
        }
    }
    // Forgets the partner markers the offers wrote, wherever they went.
    machine.ports.registry->DeleteKey(platform::RegistryRoot::LocalMachine, L"");
    machine.SeedLocalMachine();
    return 0;
}
