#include "real_registry.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "platform/win32/handles.h"
#include "platform/win32/win32_ports.h"
#include "platform/win32/win32_registry.h"

namespace tessary::testing {
namespace {

using platform::RegistryRoot;
using platform::RegistryView;

void Set(RegistryRoot root, RegistryView view, const std::wstring& path, const std::wstring& name, DWORD type,
         const void* data, std::size_t size) {
    win32::RegistryKey key;
    ASSERT_EQ(::RegCreateKeyExW(win32::ToRootKey(root), path.c_str(), 0, nullptr, 0,
                                KEY_SET_VALUE | win32::ToViewFlag(view), nullptr, key.Put(), nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(
        ::RegSetValueExW(key.Get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), static_cast<DWORD>(size)),
        ERROR_SUCCESS);
}

}  // namespace

FakeRegistry::Machine ThisMachine() {
    if (sizeof(void*) == 8) return FakeRegistry::Machine::Process64;
    BOOL wow64 = FALSE;
    return ::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64 ? FakeRegistry::Machine::Wow64Process
                                                                    : FakeRegistry::Machine::Windows32;
}

RealRegistryUnderTest::RealRegistryUnderTest(std::vector<std::pair<RegistryRoot, std::wstring>> alsoRemove)
    : m_port(win32::MakeRegistryPort()), m_removed(std::move(alsoRemove)) {
    for (const auto root : {RegistryRoot::CurrentUser, RegistryRoot::LocalMachine}) {
        m_removed.emplace_back(root, std::wstring(L"Software\\") + kScratchKey);
    }
    RemoveTestKeys();
}

RealRegistryUnderTest::~RealRegistryUnderTest() { RemoveTestKeys(); }

void RealRegistryUnderTest::RemoveTestKeys() const {
    for (const auto& [root, path] : m_removed) {
        for (const auto view : {RegistryView::Force64, RegistryView::Force32}) RemoveKey(root, view, path);
    }
}

void RealRegistryUnderTest::RemoveKey(RegistryRoot root, RegistryView view, const std::wstring& path) {
    const auto split = path.rfind(L'\\');
    const std::wstring parentPath = split == std::wstring::npos ? L"" : path.substr(0, split);
    const std::wstring name = split == std::wstring::npos ? path : path.substr(split + 1);
    win32::RegistryKey parent;
    if (::RegOpenKeyExW(win32::ToRootKey(root), parentPath.c_str(), 0, KEY_ALL_ACCESS | win32::ToViewFlag(view),
                        parent.Put()) == ERROR_SUCCESS) {
        ::RegDeleteTreeW(parent.Get(), name.c_str());
    }
}

void RealRegistryUnderTest::SetString(RegistryRoot root, RegistryView view, const std::wstring& path,
                                      const std::wstring& name, const std::wstring& text) {
    Set(root, view, path, name, REG_SZ, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

void RealRegistryUnderTest::SetExpandString(RegistryRoot root, RegistryView view, const std::wstring& path,
                                            const std::wstring& name, const std::wstring& text) {
    Set(root, view, path, name, REG_EXPAND_SZ, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

void RealRegistryUnderTest::SetDword(RegistryRoot root, RegistryView view, const std::wstring& path,
                                     const std::wstring& name, std::uint32_t number) {
    Set(root, view, path, name, REG_DWORD, &number, sizeof number);
}

void RealRegistryUnderTest::SetQword(RegistryRoot root, RegistryView view, const std::wstring& path,
                                     const std::wstring& name, std::uint64_t number) {
    Set(root, view, path, name, REG_QWORD, &number, sizeof number);
}

void RealRegistryUnderTest::CreateKey(RegistryRoot root, RegistryView view, const std::wstring& path) {
    win32::RegistryKey key;
    ASSERT_EQ(::RegCreateKeyExW(win32::ToRootKey(root), path.c_str(), 0, nullptr, 0,
                                KEY_CREATE_SUB_KEY | win32::ToViewFlag(view), nullptr, key.Put(), nullptr),
              ERROR_SUCCESS);
}

}  // namespace tessary::testing
