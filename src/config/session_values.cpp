// Machine identity, session timestamps and path placeholders of ConfigurationManager.
#include <cstdio>

#include "config/configuration_manager.h"
#include "platform/ports.h"

namespace tessary {
namespace {

constexpr std::size_t kMachineGuidBufferSize = 255;

std::string ReadMachineGuid() {
    const auto bytes = platform::Registry().QueryValueNarrow(platform::RegistryRoot::LocalMachine,
                                                             "SOFTWARE\\Microsoft\\Cryptography", "MachineGuid",
                                                             platform::RegistryView::Force64,
                                                             kMachineGuidBufferSize);
    if (!bytes) return {};
    std::string text(bytes->begin(), bytes->begin() + std::min(bytes->size(), kMachineGuidBufferSize - 1));
    return text.substr(0, text.find('\0'));
}

std::wstring KnownFolderOrEmpty(platform::KnownFolder folder) {
    return platform::FileSystem().GetKnownFolder(folder).ValueOr(std::wstring());
}

}  // namespace

std::string ConfigurationManager::GetMachineId() {
    std::lock_guard lock(m_sessionMutex);
    // An empty answer is not kept: the next call asks the registry again.
    if (m_machineId.empty()) m_machineId = ReadMachineGuid();
    return m_machineId;
}

std::string ConfigurationManager::GetSessionTimestamp() {
    std::lock_guard lock(m_sessionMutex);
    if (!m_sessionTimestamp.empty()) return m_sessionTimestamp;
    const auto now = static_cast<std::time_t>(platform::Clock().UnixTimeMs() / 1000);
    const auto local = platform::Clock().LocalTime(now);
    if (!local) return {};
    char text[32] = {};
    std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d", local->tm_year + 1900, local->tm_mon + 1,
                  local->tm_mday, local->tm_hour, local->tm_min, local->tm_sec);
    m_sessionTimestamp = text;
    return m_sessionTimestamp;
}

std::string ConfigurationManager::GetTimestampMs() const { return std::to_string(platform::Clock().UnixTimeMs()); }

PlaceholderTable ConfigurationManager::GetPathPlaceholders() {
    BuildPathPlaceholders();
    return m_pathPlaceholders;
}

void ConfigurationManager::BuildPathPlaceholders() {
    std::call_once(m_placeholdersOnce, [this] {
        auto& system = platform::System();
        // A system that cannot tell is taken for a 32-bit one: its folders are there on either.
        const bool wow64 = system.IsWow64().ValueOr(false);
        m_pathPlaceholders.Insert(L"commonpf", wow64 ? L"{commonpf64}" : L"{commonpf32}");
        m_pathPlaceholders.Insert(L"localappdata", KnownFolderOrEmpty(platform::KnownFolder::LocalAppData));
        m_pathPlaceholders.Insert(L"commonappdata", KnownFolderOrEmpty(platform::KnownFolder::RoamingAppData));
        m_pathPlaceholders.Insert(L"programdata", KnownFolderOrEmpty(platform::KnownFolder::ProgramData));
        m_pathPlaceholders.Insert(L"commonpf32", KnownFolderOrEmpty(platform::KnownFolder::ProgramFilesX86));
        if (wow64) {
            // The system reads the variable into a buffer of 260 characters, terminator included.
            const auto programW6432 = system.GetEnvironmentVariable(L"ProgramW6432");
            if (programW6432 && !programW6432->empty() && programW6432->size() < 260) {
                m_pathPlaceholders.Insert(L"commonpf64", *programW6432);
                m_pathPlaceholders64.Insert(L"commonpf64", *programW6432);
            }
        }
        m_placeholdersReady = true;
    });
}

}  // namespace tessary
