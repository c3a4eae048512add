#pragma once
// A registry port that hands every call on to another and counts it.
#include <memory>

#include "platform/registry_port.h"

namespace tessary::tools {

class CountingRegistry : public platform::RegistryPort {
public:
    explicit CountingRegistry(std::shared_ptr<platform::RegistryPort> inner) : m_inner(std::move(inner)) {}

    struct Counts {
        int opens = 0;
        int enumerations = 0;
        int reads = 0;
    };
    Counts GetCounts() const { return m_counts; }

    platform::Result<platform::RegistryKeyPtr> OpenKey(platform::RegistryRoot root, const std::wstring& path,
                                                       platform::RegistryView view) const override {
        ++m_counts.opens;
        return m_inner->OpenKey(root, path, view);
    }
    platform::Result<platform::RegistryKeyPtr> OpenSubkey(const platform::OpenRegistryKey& parent,
                                                          const std::wstring& path,
                                                          platform::RegistryView view) const override {
        ++m_counts.opens;
        return m_inner->OpenSubkey(parent, path, view);
    }
    platform::Result<void> TestKey(platform::RegistryRoot root, const std::wstring& path,
                                   platform::RegistryView view) const override {
        ++m_counts.opens;
        return m_inner->TestKey(root, path, view);
    }
    platform::SubkeyNames EnumerateSubkeys(const platform::OpenRegistryKey& key) const override {
        ++m_counts.enumerations;
        return m_inner->EnumerateSubkeys(key);
    }
    platform::Result<platform::RegistryType> GetValueType(const platform::OpenRegistryKey& key,
                                                          const std::wstring& name) const override {
        ++m_counts.reads;
        return m_inner->GetValueType(key, name);
    }
    platform::Result<std::wstring> ReadString(const platform::OpenRegistryKey& key, const std::wstring& subkey,
                                              const std::wstring& name) const override {
        ++m_counts.reads;
        return m_inner->ReadString(key, subkey, name);
    }
    platform::Result<std::wstring> ReadExpandString(const platform::OpenRegistryKey& key,
                                                    const std::wstring& name) const override {
        ++m_counts.reads;
        return m_inner->ReadExpandString(key, name);
    }
    platform::Result<std::uint32_t> ReadDword(const platform::OpenRegistryKey& key,
                                              const std::wstring& name) const override {
        ++m_counts.reads;
        return m_inner->ReadDword(key, name);
    }
    platform::Result<std::uint64_t> ReadQword(const platform::OpenRegistryKey& key,
                                              const std::wstring& name) const override {
        ++m_counts.reads;
        return m_inner->ReadQword(key, name);
    }
    platform::Result<std::vector<std::uint8_t>> QueryValueNarrow(platform::RegistryRoot root, const std::string& path,
                                                                 const std::string& valueName,
                                                                 platform::RegistryView view,
                                                                 std::size_t bufferSize) const override {
        ++m_counts.reads;
        return m_inner->QueryValueNarrow(root, path, valueName, view, bufferSize);
    }
    platform::ProcessorSpeed ReadProcessorSpeed() const override {
        ++m_counts.opens;
        ++m_counts.reads;
        return m_inner->ReadProcessorSpeed();
    }
    platform::Result<void> WriteDword(platform::RegistryRoot root, const std::wstring& path,
                                      platform::RegistryView view, const std::wstring& valueName,
                                      std::uint32_t value) override {
        return m_inner->WriteDword(root, path, view, valueName, value);
    }

private:
    std::shared_ptr<platform::RegistryPort> m_inner;
    mutable Counts m_counts;
};

}  // namespace tessary::tools
