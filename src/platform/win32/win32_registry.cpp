#include "platform/win32/win32_registry.h"

#include <algorithm>
#include <stdexcept>

#include "platform/win32/failure.h"
#include "platform/win32/handles.h"
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
        case platform::RegistryRoot::CurrentConfig:
            return HKEY_CURRENT_CONFIG;
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

// More than any key name can hold, with its terminator.
constexpr std::size_t kLongestKeyName = 32768;
constexpr char kProcessorKey[] = "HARDWARE\\DESCRIPTION\\System\\CentralProcessor\\0";

class Win32OpenKey : public platform::OpenRegistryKey {
public:
    RegistryKey key;
};

HKEY HandleOf(const platform::OpenRegistryKey& key) {
    const auto* own = dynamic_cast<const Win32OpenKey*>(&key);
    if (!own) throw std::logic_error("a registry key opened by another port");
    return own->key.Get();
}

platform::Result<platform::RegistryKeyPtr> Open(HKEY parent, const std::wstring& path, platform::RegistryView view) {
    auto opened = std::make_unique<Win32OpenKey>();
    const LSTATUS status = ::RegOpenKeyExW(parent, path.c_str(), 0, KEY_READ | ToViewFlag(view), opened->key.Put());
    if (status != ERROR_SUCCESS) return FailWith("RegOpenKeyExW", static_cast<platform::Status>(status));
    return platform::RegistryKeyPtr(std::move(opened));
}

// RegGetValueW into a buffer of the value's size. The size is asked first; a value that grows in
// between is asked again.
platform::Result<std::wstring> GetText(HKEY key, const wchar_t* subkey, const std::wstring& name, DWORD flags) {
    for (;;) {
        DWORD size = 0;
        LSTATUS status = ::RegGetValueW(key, subkey, name.c_str(), flags, nullptr, nullptr, &size);
        if (status != ERROR_SUCCESS) return FailWith("RegGetValueW", static_cast<platform::Status>(status));
        std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
        size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        status = ::RegGetValueW(key, subkey, name.c_str(), flags, nullptr, text.data(), &size);
        if (status == ERROR_MORE_DATA) continue;
        if (status != ERROR_SUCCESS) return FailWith("RegGetValueW", static_cast<platform::Status>(status));
        // The size counts the terminator, which RegGetValueW always writes.
        text.resize(size >= sizeof(wchar_t) ? size / sizeof(wchar_t) - 1 : 0);
        return text;
    }
}

template <typename Number>
platform::Result<Number> GetNumber(HKEY key, const std::wstring& name, DWORD flags) {
    Number value = 0;
    DWORD size = sizeof value;
    const LSTATUS status = ::RegGetValueW(key, nullptr, name.c_str(), flags, nullptr, &value, &size);
    if (status != ERROR_SUCCESS) return FailWith("RegGetValueW", static_cast<platform::Status>(status));
    return value;
}

class Win32Registry : public platform::RegistryPort {
public:
    platform::Result<platform::RegistryKeyPtr> OpenKey(platform::RegistryRoot root, const std::wstring& path,
                                                       platform::RegistryView view) const override {
        return Open(ToRootKey(root), path, view);
    }

    platform::Result<platform::RegistryKeyPtr> OpenSubkey(const platform::OpenRegistryKey& parent,
                                                          const std::wstring& path,
                                                          platform::RegistryView view) const override {
        return Open(HandleOf(parent), path, view);
    }

    platform::Result<void> TestKey(platform::RegistryRoot root, const std::wstring& path,
                                   platform::RegistryView view) const override {
        const auto key = Open(ToRootKey(root), path, view);
        if (!key) return platform::Failure{key.GetStatus()};
        return {};
    }

    // Another program may add or remove subkeys while we walk them, so the count is only a hint:
    // the walk ends when the system says there are no more, and a name longer than the longest
    // one announced gets a larger buffer.
    platform::SubkeyNames EnumerateSubkeys(const platform::OpenRegistryKey& key) const override {
        const HKEY handle = HandleOf(key);
        DWORD count = 0;
        DWORD longest = 0;
        LSTATUS status = ::RegQueryInfoKeyW(handle, nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr,
                                            nullptr, nullptr, nullptr, nullptr);
        if (status != ERROR_SUCCESS)
            return {false, FailWith("RegQueryInfoKeyW", static_cast<platform::Status>(status))};
        std::vector<std::wstring> names;
        names.reserve(count);
        std::wstring buffer(longest + 1, L'\0');
        for (DWORD index = 0;;) {
            DWORD length = static_cast<DWORD>(buffer.size());
            status = ::RegEnumKeyExW(handle, index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
            if (status == ERROR_NO_MORE_ITEMS) break;
            if (status == ERROR_MORE_DATA && buffer.size() < kLongestKeyName) {
                buffer.resize(std::min<std::size_t>(buffer.size() * 2 + 256, kLongestKeyName));
                continue;
            }
            if (status != ERROR_SUCCESS)
                return {true, FailWith("RegEnumKeyExW", static_cast<platform::Status>(status))};
            names.emplace_back(buffer.data(), length);
            ++index;
        }
        return {true, std::move(names)};
    }

    platform::Result<platform::RegistryType> GetValueType(const platform::OpenRegistryKey& key,
                                                          const std::wstring& name) const override {
        DWORD type = REG_NONE;
        const LSTATUS status = ::RegQueryValueExW(HandleOf(key), name.c_str(), nullptr, &type, nullptr, nullptr);
        if (status != ERROR_SUCCESS) return FailWith("RegQueryValueExW", static_cast<platform::Status>(status));
        return static_cast<platform::RegistryType>(type);
    }

    platform::Result<std::wstring> ReadString(const platform::OpenRegistryKey& key, const std::wstring& subkey,
                                              const std::wstring& name) const override {
        return GetText(HandleOf(key), subkey.empty() ? nullptr : subkey.c_str(), name, RRF_RT_REG_SZ);
    }

    platform::Result<std::wstring> ReadExpandString(const platform::OpenRegistryKey& key,
                                                    const std::wstring& name) const override {
        return GetText(HandleOf(key), nullptr, name, RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND);
    }

    platform::Result<std::uint32_t> ReadDword(const platform::OpenRegistryKey& key,
                                              const std::wstring& name) const override {
        return GetNumber<std::uint32_t>(HandleOf(key), name, RRF_RT_REG_DWORD);
    }

    platform::Result<std::uint64_t> ReadQword(const platform::OpenRegistryKey& key,
                                              const std::wstring& name) const override {
        return GetNumber<std::uint64_t>(HandleOf(key), name, RRF_RT_REG_QWORD);
    }

    platform::Result<std::vector<std::uint8_t>> QueryValueNarrow(platform::RegistryRoot root, const std::string& path,
                                                                 const std::string& valueName,
                                                                 platform::RegistryView view,
                                                                 std::size_t bufferSize) const override {
        RegistryKey key;
        LSTATUS status = ::RegOpenKeyExA(ToRootKey(root), path.c_str(), 0, KEY_READ | ToViewFlag(view), key.Put());
        if (status != ERROR_SUCCESS) return FailWith("RegOpenKeyExA", static_cast<platform::Status>(status));
        std::vector<std::uint8_t> data(bufferSize, 0);
        DWORD size = static_cast<DWORD>(bufferSize);
        status = ::RegQueryValueExA(key.Get(), valueName.c_str(), nullptr, nullptr, data.data(), &size);
        if (status != ERROR_SUCCESS) return FailWith("RegQueryValueExA", static_cast<platform::Status>(status));
        data.resize(std::min<std::size_t>(size, bufferSize));
        return data;
    }

    platform::ProcessorSpeed ReadProcessorSpeed() const override {
        RegistryKey key;
        LSTATUS status = ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kProcessorKey, 0, KEY_READ | KEY_WOW64_64KEY, key.Put());
        if (status != ERROR_SUCCESS) {
            return {false, FailWith("RegOpenKeyExA", static_cast<platform::Status>(status))};
        }
        DWORD mhz = 0;
        DWORD size = sizeof mhz;
        status = ::RegQueryValueExA(key.Get(), "~MHz", nullptr, nullptr, reinterpret_cast<BYTE*>(&mhz), &size);
        if (status != ERROR_SUCCESS) return {true, FailWith("RegQueryValueExA", static_cast<platform::Status>(status))};
        return {true, static_cast<std::uint32_t>(mhz)};
    }

    platform::Result<void> WriteDword(platform::RegistryRoot root, const std::wstring& path,
                                      platform::RegistryView view, const std::wstring& valueName,
                                      std::uint32_t value) override {
        RegistryKey key;
        LSTATUS status = ::RegCreateKeyExW(ToRootKey(root), path.c_str(), 0, nullptr, 0, KEY_SET_VALUE | ToViewFlag(view),
                                           nullptr, key.Put(), nullptr);
        if (status != ERROR_SUCCESS) return FailWith("RegCreateKeyExW", static_cast<platform::Status>(status));
        const DWORD data = value;
        status = ::RegSetValueExW(key.Get(), valueName.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                                  sizeof data);
        if (status != ERROR_SUCCESS) return FailWith("RegSetValueExW", static_cast<platform::Status>(status));
        return {};
    }
};

}  // namespace

std::shared_ptr<platform::RegistryPort> MakeRegistryPort() { return std::make_shared<Win32Registry>(); }

}  // namespace tessary::win32
