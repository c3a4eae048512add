// Rule entries a hostile or careless document may hold: each is judged without a crash, and the
// offers after it are still judged.
#include "offer_checker_fixture.h"

namespace tessary::testing {
namespace {

using HostileRules = OfferCheckerTest;

TEST_F(HostileRules, EveryEntryIsJudgedAndTheEvaluationGoesOn) {
    ports.system->wow64 = true;
    ports.registry->machine = FakeRegistry::Machine::Wow64Process;
    ports.registry->CreateKey(platform::RegistryRoot::LocalMachine, L"Software\\Vendor");
    const std::string longPath(40000, 'k');
    const std::vector<std::string> paths = {
        "d", "hklm\\x", "HKLM\\SOFTWARE", "hklm\\software", "hklm\\software\\", "hkey_local_machine\\software\\",
        "\\", "\\\\\\", "software", "wow6432node", "hklm\\software\\WOW6432NODE\\", "hkey_foo\\bar",
        "hkcu", "hkey_users", longPath, "vendor\\..\\..\\system", "ven\x01dor"};
    const std::vector<nlohmann::json> hostile = {
        {{"r", paths}},
        {{"ir", paths}},
        {{"rvn", paths}},
        {{"rvd", paths}},
        {{"cmdu", {{{"utr", "HKLM"}, {"utk", "\\"}, {"utvn", ""}, {"utvt", ""}, {"umd", -2147483647 - 1},
                    {"utms", true}}}}},
        {{"cmdu", {{{"utr", "hkey_local_machine"}, {"utk", ""}, {"utvn", ""}, {"utvt", ""}, {"umd", 2147483647},
                    {"utms", false}}}}},
        {{"a", {"", ".", "...", "\xff"}}},
        {{"fe", {"", "\\\\?\\", "C:"}}, {"ife", {"{unknown}"}}},
        {{"iapp", {"", "\\", "..\\x"}}},
        {{"pn", true}, {"pnr", "\\"}},
        {{"pn", true}, {"pnr", "software\\vendor\\"}},
        {{"pv", "...."}},
        {{"pv", "99999999999999999999.1"}},
        {{"ov", 2147483647}},
        {{"disk", -1}},
        {{"cpu", -1}},
        {{"x", 2}},
    };
    for (const auto& rules : hostile) {
        Judge(Offer("hostile-" + std::to_string(&rules - hostile.data()), rules));
        EXPECT_FALSE(lastStop) << rules.dump();
    }
    EXPECT_TRUE(Judge(Offer("clean", {{"v", 99}})));
}

TEST_F(HostileRules, ARuleThatCannotBeEvaluatedDropsOnlyThatOffer) {
    // A process pattern the system cannot convert cannot be compared with anything.
    const auto undecodable = Offer("undecodable", {{"v", 1}, {"a", {"tool"}}});
    ports.text->toWideFails = true;
    EXPECT_FALSE(Judge(undecodable));
    ports.text->toWideFails = false;
    EXPECT_FALSE(lastStop);
    EXPECT_TRUE(rejections.empty());
    EXPECT_EQ(ports.diagnostics->Texts(platform::DiagnosticTarget::Debugger).size(), 1u);
    EXPECT_TRUE(Judge(Offer("next", {{"v", 2}})));
}

}  // namespace
}  // namespace tessary::testing
