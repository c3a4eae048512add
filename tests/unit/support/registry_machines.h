#pragma once
// The kinds of machine registry tests run on, for parameterised suites.
#include <string>

#include <gtest/gtest.h>

#include "fake_registry.h"

namespace tessary::testing {

inline const auto kEveryRegistryMachine = ::testing::Values(
    FakeRegistry::Machine::Windows32, FakeRegistry::Machine::Process64, FakeRegistry::Machine::Wow64Process);

// The name a parameterised test gets for its machine.
inline std::string RegistryMachineName(const ::testing::TestParamInfo<FakeRegistry::Machine>& info) {
    switch (info.param) {
        case FakeRegistry::Machine::Windows32:
            return "Windows32";
        case FakeRegistry::Machine::Process64:
            return "Process64";
        case FakeRegistry::Machine::Wow64Process:
            return "Wow64Process";
    }
    return "Unknown";
}

}  // namespace tessary::testing
