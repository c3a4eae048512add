#include <windows.h>

#include "platform/win32/handles.h"
#include "platform/win32/win32_registry.h"
#include "platform/win32/win32_ports.h"

namespace tessary::win32 {

HKEY ToRootKey(platform::RegistryRoot root) {
    switch (root) {
        case platform::RegistryRoot::ClassesRoot:
            return HKEY_CLASSES_ROOT;
        case platform::RegistryRoot::CurrentUser:
            return HKEY_CURRENT_USER;
        case platform::RegistryRoot::LocalMachine:
            return HKEY_LOCAL_MACHINE;
        case platform::RegistryRoot::Users:
            return HKEY_USERS;
    }
    return HKEY_LOCAL_MACHINE;
}

REGSAM ToViewFlag(platform::RegistryView view) {
    switch (view) {
        case platform::RegistryView::Force64:
            return KEY_WOW64_64KEY;
        case platform::RegistryView::Force32:
            return KEY_WOW64_32KEY;
        case platform::RegistryView::Default:
            break;
    }
    return 0;
}

namespace {

class Win32Registry : public platform::RegistryPort {
public:
    std::optional<std::vector<std::uint8_t>> QueryValueNarrow(platform::RegistryRoot root, const std::string& path,
                                                             const std::string& valueName, platform::RegistryView view,
                                                             std::size_t bufferSize) const override {
        HKEY raw = nullptr;
        if (::RegOpenKeyExA(ToRootKey(root), path.c_str(), 0, KEY_READ | ToViewFlag(view), &raw) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        RegistryKey key(raw);
        std::vector<std::uint8_t> data(bufferSize, 0);
        DWORD size = static_cast<DWORD>(bufferSize);
        if (::RegQueryValueExA(key.Get(), valueName.c_str(), nullptr, nullptr, data.data(), &size) != ERROR_SUCCESS) {
            return std::nullopt;
        }
        data.resize(std::min<std::size_t>(size, bufferSize));
        return data;
    }

    bool WriteDword(platform::RegistryRoot root, const std::wstring& path, const std::wstring& valueName,
                    std::uint32_t value) override {
        HKEY raw = nullptr;
        if (::RegCreateKeyExW(ToRootKey(root), path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &raw, nullptr) !=
            ERROR_SUCCESS) {
            return false;
        }
        RegistryKey key(raw);
        const DWORD data = value;
        return ::RegSetValueExW(key.Get(), valueName.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                                sizeof data) == ERROR_SUCCESS;
    }
};

}  // namespace

std::shared_ptr<platform::RegistryPort> MakeRegistryPort() { return std::make_shared<Win32Registry>(); }

}  // namespace tessary::win32
