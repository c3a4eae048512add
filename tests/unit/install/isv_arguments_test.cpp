#include <gtest/gtest.h>

#include "config/configuration_manager.h"
#include "install/isv_arguments.h"

namespace tessary {
namespace {

TEST(BuildIsvArguments, FixedDigitsWithEveryChoiceClear) {
    const ConfigurationValues config;
    EXPECT_EQ(BuildIsvArguments(config), L"/S /FORCEINSTALL 0000000101000000");
}

TEST(BuildIsvArguments, EachChoiceLandsOnItsOwnPositions) {
    // Positions counted from 1, as the main installer reads them.
    struct Case {
        int configuration;  // -1: none
        int option;         // -1: none
        const wchar_t* digits;
    };
    const Case cases[] = {
        {2, -1, L"1000000101010000"},  // configuration 2 fills positions 1 and 12
        {3, -1, L"0100000101000000"}, {0, -1, L"0010000101000000"}, {1, -1, L"0000010101000000"},
        {4, -1, L"0000000101100000"}, {-1, 1, L"0000000101001000"}, {-1, 2, L"0000000101000100"},
        {-1, 0, L"0000000101000010"},
    };
    for (const auto& c : cases) {
        ConfigurationValues config;
        if (c.configuration >= 0) config.m_configurations[c.configuration] = true;
        if (c.option >= 0) config.m_options[c.option] = true;
        EXPECT_EQ(BuildIsvArguments(config), std::wstring(L"/S /FORCEINSTALL ") + c.digits)
            << "configuration " << c.configuration << ", option " << c.option;
    }
}

TEST(BuildIsvArguments, EveryChoiceSetLeavesOnlyTheFixedZeros) {
    ConfigurationValues config;
    config.m_configurations.fill(true);
    config.m_options.fill(true);
    EXPECT_EQ(BuildIsvArguments(config), L"/S /FORCEINSTALL 1110010101111110");
}

}  // namespace
}  // namespace tessary
