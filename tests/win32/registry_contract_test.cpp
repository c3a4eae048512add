// The registry contract against the real registry port and what Wine's registry does with it.
// The values are written with the system's own functions, below a scratch key that is removed
// from both views after each test.
#include <gtest/gtest.h>

#include "real_registry.h"
#include "registry_contract.h"

namespace tessary {
namespace {

using testing::FakeRegistry;

class RealRegistryContract : public ::testing::TestWithParam<FakeRegistry::Machine> {
protected:
    testing::RegistryUnderTest& Registry() { return m_registry; }

private:
    testing::RealRegistryUnderTest m_registry;
};

TESSARY_REGISTRY_CONTRACT_TESTS(RealRegistryContract)

// One instance: the machine this process runs on.
INSTANTIATE_TEST_SUITE_P(ThisMachine, RealRegistryContract, ::testing::Values(testing::ThisMachine()));

}  // namespace
}  // namespace tessary
