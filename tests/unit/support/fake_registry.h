#pragma once
// A registry in memory with the behaviour the checks depend on: one key tree per root, names
// compared without regard to case, typed values, HKLM\Software redirected to Wow6432Node in the
// 32-bit view, a failure status per key, and a count of every call so tests can assert cost.
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry_port.h"

namespace tessary::testing {

class FakeRegistry : public platform::RegistryPort {
public:
    // Which registry views the process has.
    enum class Machine {
        Windows32,     // 32-bit Windows: one view, the view flags change nothing
        Process64,     // a 64-bit process: the 32-bit view is asked for with Force32
        Wow64Process,  // a 32-bit process on 64-bit Windows: the default view is the 32-bit one
    };

    struct Value {
        platform::RegistryType type = platform::kRegNone;
        std::wstring text;         // REG_SZ, REG_EXPAND_SZ
        std::uint64_t number = 0;  // REG_DWORD, REG_QWORD
    };

    // What a key answers instead of succeeding; 0 means the call works.
    struct KeyFailure {
        platform::Status open = 0;
        platform::Status enumerate = 0;
        platform::Status read = 0;
        platform::Status write = 0;
        platform::Status queryInfo = 0;  // enumeration fails at its first step, asking for the count
    };

    struct Counts {
        int opens = 0;
        int enumerations = 0;
        int reads = 0;
        int writes = 0;
    };

    // --- the port ----------------------------------------------------------------------------
    platform::Result<platform::RegistryKeyPtr> OpenKey(platform::RegistryRoot root, const std::wstring& path,
                                                       platform::RegistryView view) const override;
    platform::Result<platform::RegistryKeyPtr> OpenSubkey(const platform::OpenRegistryKey& parent,
                                                          const std::wstring& path,
                                                          platform::RegistryView view) const override;
    platform::Result<void> TestKey(platform::RegistryRoot root, const std::wstring& path,
                                   platform::RegistryView view) const override;
    platform::SubkeyNames EnumerateSubkeys(const platform::OpenRegistryKey& key) const override;
    platform::Result<platform::RegistryType> GetValueType(const platform::OpenRegistryKey& key,
                                                          const std::wstring& name) const override;
    platform::Result<std::wstring> ReadString(const platform::OpenRegistryKey& key, const std::wstring& subkey,
                                              const std::wstring& name) const override;
    platform::Result<std::wstring> ReadExpandString(const platform::OpenRegistryKey& key,
                                                    const std::wstring& name) const override;
    platform::Result<std::uint32_t> ReadDword(const platform::OpenRegistryKey& key,
                                              const std::wstring& name) const override;
    platform::Result<std::uint64_t> ReadQword(const platform::OpenRegistryKey& key,
                                              const std::wstring& name) const override;
    platform::Result<std::vector<std::uint8_t>> QueryValueNarrow(platform::RegistryRoot root, const std::string& path,
                                                                 const std::string& valueName,
                                                                 platform::RegistryView view,
                                                                 std::size_t bufferSize) const override;
    platform::ProcessorSpeed ReadProcessorSpeed() const override;
    platform::Result<void> WriteDword(platform::RegistryRoot root, const std::wstring& path,
                                      platform::RegistryView view, const std::wstring& valueName,
                                      std::uint32_t value) override;

    // --- setting it up -----------------------------------------------------------------------
    // Each creates the key and its parents as needed, seen through the view as the process sees
    // it, so a value set in the default view of a WOW64 process lands under Wow6432Node.
    void CreateKey(platform::RegistryRoot root, const std::wstring& path,
                   platform::RegistryView view = platform::RegistryView::Default);
    void SetValue(platform::RegistryRoot root, const std::wstring& path, const std::wstring& name, Value value,
                  platform::RegistryView view = platform::RegistryView::Default);
    void SetString(platform::RegistryRoot root, const std::wstring& path, const std::wstring& name,
                   const std::wstring& text, platform::RegistryView view = platform::RegistryView::Default);
    void SetExpandString(platform::RegistryRoot root, const std::wstring& path, const std::wstring& name,
                         const std::wstring& text, platform::RegistryView view = platform::RegistryView::Default);
    void SetDword(platform::RegistryRoot root, const std::wstring& path, const std::wstring& name, std::uint32_t number,
                  platform::RegistryView view = platform::RegistryView::Default);
    void SetQword(platform::RegistryRoot root, const std::wstring& path, const std::wstring& name, std::uint64_t number,
                  platform::RegistryView view = platform::RegistryView::Default);
    // Removes the key with everything below it.
    void DeleteKey(platform::RegistryRoot root, const std::wstring& path,
                   platform::RegistryView view = platform::RegistryView::Default);
    // Calls on this key (the key as the view resolves it, whether it exists or not) fail.
    void FailKey(platform::RegistryRoot root, const std::wstring& path, KeyFailure failure,
                 platform::RegistryView view = platform::RegistryView::Default);
    // The value as stored, or nothing.
    std::optional<Value> GetValue(platform::RegistryRoot root, const std::wstring& path, const std::wstring& name,
                                  platform::RegistryView view = platform::RegistryView::Default) const;

    Counts GetCounts() const;
    void ResetCounts();

    Machine machine = Machine::Windows32;

    struct Node;

private:
    // A resolved key: its root and its lower-cased components after redirection.
    struct Location {
        platform::RegistryRoot root;
        std::vector<std::wstring> components;
        bool operator<(const Location& other) const;
    };
    class FakeKey;

    // The key names as the view leads to them, and the same lower-cased as a location.
    std::vector<std::wstring> Redirect(platform::RegistryRoot root, std::vector<std::wstring> names,
                                       platform::RegistryView view) const;
    Location Resolve(platform::RegistryRoot root, std::vector<std::wstring> components,
                     platform::RegistryView view) const;
    const Node* Find(const Location& location) const;
    Node& Create(platform::RegistryRoot root, const std::vector<std::wstring>& names);
    KeyFailure FailureOf(const Location& location) const;
    platform::Result<platform::RegistryKeyPtr> Open(const Location& location) const;
    const Node* NodeOf(const platform::OpenRegistryKey& key) const;
    platform::Result<Value> Read(const platform::OpenRegistryKey& key, const std::wstring& subkey,
                                 const std::wstring& name) const;

    mutable std::recursive_mutex m_mutex;
    std::map<platform::RegistryRoot, std::shared_ptr<Node>> m_roots;
    std::map<Location, KeyFailure> m_failures;
    mutable Counts m_counts;
};

}  // namespace tessary::testing
