// What one evaluation costs: every machine fact and registry list is read once, however many
// offers ask for it.
#include "offer_checker_fixture.h"

namespace tessary::testing {
namespace {

using platform::RegistryRoot;
using platform::RegistryView;

class CheckerCost : public OfferCheckerTest {
protected:
    CheckerCost() {
        ports.system->wow64 = true;
        ports.registry->machine = FakeRegistry::Machine::Wow64Process;
        auto& registry = *ports.registry;
        for (const RegistryView view : {RegistryView::Force32, RegistryView::Force64}) {
            for (const RegistryRoot root : {RegistryRoot::LocalMachine, RegistryRoot::CurrentUser}) {
                registry.CreateKey(root, L"Software\\Present\\Product", view);
            }
        }
        registry.SetString(RegistryRoot::LocalMachine,
                           L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\tool.exe", L"",
                           L"C:\\Tool\\tool.exe", RegistryView::Force64);
        ports.fileSystem->AddFile(L"C:\\Tool\\tool.exe");
        ports.fileSystem->knownFolders[platform::KnownFolder::Desktop] = L"C:\\Users\\u\\Desktop";
        ports.fileSystem->freeBytes = {{L"C:\\Users\\u\\Desktop", 100ull << 30}};
        registry.SetDword(RegistryRoot::LocalMachine, L"HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0",
                          L"~MHz", 3000, RegistryView::Force64);
    }

    // An offer with five relative keys that are not there, an application that is, a running
    // program that is not, and demands on disk, memory and processor.
    nlohmann::json Rules(int n) {
        nlohmann::json keys = nlohmann::json::array();
        for (int k = 0; k < 5; ++k) keys.push_back("absent" + std::to_string(n) + "-" + std::to_string(k) + "\\key");
        return {{"v", n}, {"r", keys}, {"iapp", {"tool.exe"}}, {"a", {"rival"}}, {"x", 3}};
    }

    int m_judged = 0;

    void JudgeOffers(int count) {
        for (int n = 0; n < count; ++n) {
            EXPECT_TRUE(Judge(Offer("offer-" + std::to_string(m_judged), Rules(m_judged))))
                << (rejections.empty() ? "" : rejections.back().reason);
            ++m_judged;
        }
    }
};

TEST_F(CheckerCost, TwentyOffersCostWhatOneDoes) {
    JudgeOffers(1);
    const auto afterOne = ports.registry->GetCounts();
    JudgeOffers(19);
    const auto afterTwenty = ports.registry->GetCounts();

    // One Software enumeration per root and view, one App Paths index (its keys in both views of
    // both roots, where they exist), no key opened for a first component the lists lack.
    EXPECT_EQ(afterTwenty.enumerations, afterOne.enumerations);
    EXPECT_EQ(afterTwenty.opens, afterOne.opens);
    EXPECT_EQ(afterTwenty.reads, afterOne.reads);
    // Software of both roots in both views, and the one App Paths key there is.
    EXPECT_EQ(afterOne.enumerations, 4 + 1);
    // Those five, the three App Paths keys tried that are not there, the application's own key
    // and the processor's.
    EXPECT_EQ(afterOne.opens, 5 + 3 + 1 + 1);
    EXPECT_EQ(ports.fileSystem->freeSpaceReads, 1);
    EXPECT_EQ(ports.system->memoryReads, 1);
    EXPECT_EQ(ports.system->processListReads, 1);
}

}  // namespace
}  // namespace tessary::testing
