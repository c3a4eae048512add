#pragma once
// The real registry port under Wine, with the means to write test values in a chosen view and to
// remove them again. Everything a test writes lives below keys it names for removal; they are
// removed from both views when the object is made (a crashed run may have left them) and when it
// goes.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "registry_contract.h"

namespace tessary::testing {

// Which registry views this process has.
FakeRegistry::Machine ThisMachine();

class RealRegistryUnderTest : public RegistryUnderTest {
public:
    // Removes Software\kScratchKey under HKCU and HKLM, and the keys given (root, path) as well.
    explicit RealRegistryUnderTest(std::vector<std::pair<platform::RegistryRoot, std::wstring>> alsoRemove = {});
    ~RealRegistryUnderTest() override;
    RealRegistryUnderTest(const RealRegistryUnderTest&) = delete;
    RealRegistryUnderTest& operator=(const RealRegistryUnderTest&) = delete;

    platform::RegistryPort& Port() override { return *m_port; }
    FakeRegistry::Machine GetMachine() const override { return ThisMachine(); }
    void SetString(platform::RegistryRoot root, platform::RegistryView view, const std::wstring& path,
                   const std::wstring& name, const std::wstring& text) override;
    void SetExpandString(platform::RegistryRoot root, platform::RegistryView view, const std::wstring& path,
                         const std::wstring& name, const std::wstring& text) override;
    void SetDword(platform::RegistryRoot root, platform::RegistryView view, const std::wstring& path,
                  const std::wstring& name, std::uint32_t number) override;
    void SetQword(platform::RegistryRoot root, platform::RegistryView view, const std::wstring& path,
                  const std::wstring& name, std::uint64_t number) override;
    // Creates the key (and its parents) without a value.
    void CreateKey(platform::RegistryRoot root, platform::RegistryView view, const std::wstring& path);
    // Removes the key with everything below it, in the view.
    static void RemoveKey(platform::RegistryRoot root, platform::RegistryView view, const std::wstring& path);
    // Removes now, from both views, what is removed when the object is made and when it goes.
    void RemoveTestKeys() const;

private:

    std::shared_ptr<platform::RegistryPort> m_port;
    std::vector<std::pair<platform::RegistryRoot, std::wstring>> m_removed;
};

}  // namespace tessary::testing
