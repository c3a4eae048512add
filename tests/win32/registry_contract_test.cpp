// The registry contract against the real registry port and what Wine's registry does with it.
// The values are written with the system's own functions, below a scratch key that is removed
// from both views after each test.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/handles.h"
#include "platform/win32/win32_ports.h"
#include "platform/win32/win32_registry.h"
#include "registry_contract.h"

namespace tessary {
namespace {

using platform::RegistryRoot;
using platform::RegistryView;
using testing::FakeRegistry;

FakeRegistry::Machine ThisMachine() {
    if (sizeof(void*) == 8) return FakeRegistry::Machine::Process64;
    BOOL wow64 = FALSE;
    return ::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64 ? FakeRegistry::Machine::Wow64Process
                                                                    : FakeRegistry::Machine::Windows32;
}

class RealRegistryUnderTest : public testing::RegistryUnderTest {
public:
    // A run that crashed may have left its scratch keys behind; each test starts without them.
    RealRegistryUnderTest() : m_port(win32::MakeRegistryPort()) { RemoveScratchKeys(); }
    ~RealRegistryUnderTest() override { RemoveScratchKeys(); }

    static void RemoveScratchKeys() {
        for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
            for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
                win32::RegistryKey software;
                if (::RegOpenKeyExW(root, L"Software", 0, KEY_ALL_ACCESS | view, software.Put()) == ERROR_SUCCESS) {
                    ::RegDeleteTreeW(software.Get(), testing::kScratchKey);
                }
            }
        }
    }

    platform::RegistryPort& Port() override { return *m_port; }
    FakeRegistry::Machine GetMachine() const override { return ThisMachine(); }
    void SetString(RegistryRoot root, RegistryView view, const std::wstring& path, const std::wstring& name,
                   const std::wstring& text) override {
        Set(root, view, path, name, REG_SZ, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    }
    void SetExpandString(RegistryRoot root, RegistryView view, const std::wstring& path, const std::wstring& name,
                         const std::wstring& text) override {
        Set(root, view, path, name, REG_EXPAND_SZ, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    }
    void SetDword(RegistryRoot root, RegistryView view, const std::wstring& path, const std::wstring& name,
                  std::uint32_t number) override {
        Set(root, view, path, name, REG_DWORD, &number, sizeof number);
    }
    void SetQword(RegistryRoot root, RegistryView view, const std::wstring& path, const std::wstring& name,
                  std::uint64_t number) override {
        Set(root, view, path, name, REG_QWORD, &number, sizeof number);
    }

private:
    static void Set(RegistryRoot root, RegistryView view, const std::wstring& path, const std::wstring& name,
                    DWORD type, const void* data, std::size_t size) {
        win32::RegistryKey key;
        ASSERT_EQ(::RegCreateKeyExW(win32::ToRootKey(root), path.c_str(), 0, nullptr, 0,
                                    KEY_SET_VALUE | win32::ToViewFlag(view), nullptr, key.Put(), nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(::RegSetValueExW(key.Get(), name.c_str(), 0, type, static_cast<const BYTE*>(data),
                                   static_cast<DWORD>(size)),
                  ERROR_SUCCESS);
    }

    std::shared_ptr<platform::RegistryPort> m_port;
};

class RealRegistryContract : public ::testing::TestWithParam<FakeRegistry::Machine> {
protected:
    testing::RegistryUnderTest& Registry() { return m_registry; }

private:
    RealRegistryUnderTest m_registry;
};

TESSARY_REGISTRY_CONTRACT_TESTS(RealRegistryContract)

// One instance: the machine this process runs on.
INSTANTIATE_TEST_SUITE_P(ThisMachine, RealRegistryContract, ::testing::Values(ThisMachine()));

}  // namespace
}  // namespace tessary
