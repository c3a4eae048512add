#pragma once
// The kinds of machine registry tests run on, for parameterised suites.
#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "fake_registry.h"

namespace tessary::testing {

inline const auto kEveryRegistryMachine = ::testing::Values(
    FakeRegistry::Machine::Windows32, FakeRegistry::Machine::Process64, FakeRegistry::Machine::Wow64Process);

inline std::string MachineName(FakeRegistry::Machine machine) {
    switch (machine) {
        case FakeRegistry::Machine::Windows32:
            return "Windows32";
        case FakeRegistry::Machine::Process64:
            return "Process64";
        case FakeRegistry::Machine::Wow64Process:
            return "Wow64Process";
    }
    return "Unknown";
}

// The name a parameterised test gets for its machine, and how a failure names it.
inline std::string RegistryMachineName(const ::testing::TestParamInfo<FakeRegistry::Machine>& info) {
    return MachineName(info.param);
}
inline void PrintTo(FakeRegistry::Machine machine, std::ostream* out) { *out << MachineName(machine); }

}  // namespace tessary::testing
