// The fake registry held to the registry contract on each kind of machine; the same contract runs
// against the real registry under Wine.
#include <gtest/gtest.h>

#include "fake_registry.h"
#include "registry_contract.h"
#include "registry_machines.h"

namespace tessary {
namespace {

using testing::FakeRegistry;

class FakeRegistryUnderTest : public testing::RegistryUnderTest {
public:
    explicit FakeRegistryUnderTest(FakeRegistry::Machine machine) { m_registry.machine = machine; }

    platform::RegistryPort& Port() override { return m_registry; }
    FakeRegistry::Machine GetMachine() const override { return m_registry.machine; }
    void SetString(platform::RegistryRoot root, platform::RegistryView view, const std::wstring& path,
                   const std::wstring& name, const std::wstring& text) override {
        m_registry.SetString(root, path, name, text, view);
    }
    void SetExpandString(platform::RegistryRoot root, platform::RegistryView view, const std::wstring& path,
                         const std::wstring& name, const std::wstring& text) override {
        m_registry.SetExpandString(root, path, name, text, view);
    }
    void SetDword(platform::RegistryRoot root, platform::RegistryView view, const std::wstring& path,
                  const std::wstring& name, std::uint32_t number) override {
        m_registry.SetDword(root, path, name, number, view);
    }
    void SetQword(platform::RegistryRoot root, platform::RegistryView view, const std::wstring& path,
                  const std::wstring& name, std::uint64_t number) override {
        m_registry.SetQword(root, path, name, number, view);
    }

private:
    FakeRegistry m_registry;
};

class FakeRegistryContract : public ::testing::TestWithParam<FakeRegistry::Machine> {
protected:
    testing::RegistryUnderTest& Registry() { return m_registry; }

private:
    FakeRegistryUnderTest m_registry{GetParam()};
};

TESSARY_REGISTRY_CONTRACT_TESTS(FakeRegistryContract)

INSTANTIATE_TEST_SUITE_P(EachMachine, FakeRegistryContract, testing::kEveryRegistryMachine,
                         testing::RegistryMachineName);

}  // namespace
}  // namespace tessary
