#pragma once
// What the registry does that the checks rely on, written once and run against both the fake
// registry (natively and under Wine) and the real one (under Wine), so the fake is held to what
// Windows does. Everything is written below a scratch key named kScratchKey under Software.
#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "fake_registry.h"
#include "platform/registry_port.h"

namespace tessary::testing {

inline constexpr wchar_t kScratchKey[] = L"TessaryRegistryContract";

// A registry under test and the means to prepare it; writes go straight to the registry, not
// through the port under test.
class RegistryUnderTest {
public:
    virtual ~RegistryUnderTest() = default;
    virtual platform::RegistryPort& Port() = 0;
    // Which views this process has.
    virtual FakeRegistry::Machine GetMachine() const = 0;
    virtual void SetString(platform::RegistryRoot root, platform::RegistryView view, const std::wstring& path,
                           const std::wstring& name, const std::wstring& text) = 0;
    virtual void SetExpandString(platform::RegistryRoot root, platform::RegistryView view, const std::wstring& path,
                                 const std::wstring& name, const std::wstring& text) = 0;
    virtual void SetDword(platform::RegistryRoot root, platform::RegistryView view, const std::wstring& path,
                          const std::wstring& name, std::uint32_t number) = 0;
    virtual void SetQword(platform::RegistryRoot root, platform::RegistryView view, const std::wstring& path,
                          const std::wstring& name, std::uint64_t number) = 0;
};

void ExpectNamesIgnoreCaseAndKeepTheirSpelling(RegistryUnderTest& registry);
void ExpectTypedValuesReadOnlyAsTheirType(RegistryUnderTest& registry);
void ExpectAbsenceApartFromFailure(RegistryUnderTest& registry);
void ExpectSoftwareOfTheThirtyTwoBitViewUnderWow6432Node(RegistryUnderTest& registry);

}  // namespace tessary::testing

// Defines the contract's tests for a fixture whose Registry() returns its RegistryUnderTest.
#define TESSARY_REGISTRY_CONTRACT_TESTS(Fixture)                                                                \
    TEST_P(Fixture, NamesIgnoreCaseAndKeepTheirSpelling) {                                                      \
        ::tessary::testing::ExpectNamesIgnoreCaseAndKeepTheirSpelling(Registry());                              \
    }                                                                                                           \
    TEST_P(Fixture, TypedValuesReadOnlyAsTheirType) {                                                           \
        ::tessary::testing::ExpectTypedValuesReadOnlyAsTheirType(Registry());                                   \
    }                                                                                                           \
    TEST_P(Fixture, AbsenceApartFromFailure) { ::tessary::testing::ExpectAbsenceApartFromFailure(Registry()); } \
    TEST_P(Fixture, SoftwareOfTheThirtyTwoBitViewUnderWow6432Node) {                                            \
        ::tessary::testing::ExpectSoftwareOfTheThirtyTwoBitViewUnderWow6432Node(Registry());                    \
    }
