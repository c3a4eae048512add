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

namespace {

using namespace tessary;

struct Machine {
    Machine() {
        SetMachineGuid();
        ports.system->wow64 = true;
        ports.system->environment[L"ProgramW6432"] = L"C:\\Program Files";
        ports.fileSystem->knownFolders[platform::KnownFolder::LocalAppData] = L"C:\\Users\\u\\AppData\\Local";
        initial = std::make_unique<testing::ConfigurationGuard>();
    }
    void SetMachineGuid() {
        ports.registry->SetString(platform::RegistryRoot::LocalMachine, L"SOFTWARE\\Microsoft\\Cryptography",
                                  L"MachineGuid", L"4c4c4544-0042");
    }
    testing::FakePorts ports;
    // The configuration as every input finds it, whatever the previous one left behind.
    std::unique_ptr<testing::ConfigurationGuard> initial;
};

Machine& TheMachine() {
    static Machine machine;
    return machine;
}

OfferChecker FuzzChecker(int maxOffers) {
    return [maxOffers](const std::shared_ptr<Package>& offer, const std::vector<std::shared_ptr<Package>>& accepted) {
        offer->ExpandPlaceholders(offer->m_downloadUrl + offer->m_installerArguments);
        offer->WritePnMarker();
        const bool keep = offer->m_vertical % 2 == 0;
        return OfferVerdict{keep, static_cast<int>(accepted.size()) >= maxOffers};
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
            LoadConfigurationDocument(document, FuzzChecker);
        } catch (const std::exception&) {
        }
    }
    // Forgets the partner markers the offers wrote, wherever they went.
    machine.ports.registry->DeleteKey(platform::RegistryRoot::LocalMachine, L"");
    machine.SetMachineGuid();
    return 0;
}
