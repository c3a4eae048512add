#include "fake_ports.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "reference_crypto.h"
#include "utf8_codec.h"

#ifndef TESSARY_LOCALE_DIR
#error "TESSARY_LOCALE_DIR must name the folder of the shipped locale files"
#endif

namespace tessary::testing {

std::wstring W(std::string_view utf8) { return DecodeUtf8(utf8); }
std::string U8(std::wstring_view wide) { return EncodeUtf8(wide); }

// --- text ---------------------------------------------------------------------------------

platform::Result<std::wstring> FakeText::ToWide(platform::CodePage page, std::string_view text) const {
    if (toWideFails) return platform::Failure{1113};  // ERROR_NO_UNICODE_TRANSLATION
    if (page == platform::CodePage::Utf8) return DecodeUtf8(text);
    std::wstring out;
    for (char c : text) out.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    return out;
}

std::string FakeText::ToNarrow(platform::CodePage page, std::wstring_view text) const {
    if (page == platform::CodePage::Utf8) return EncodeUtf8(text);
    std::string out;
    for (wchar_t c : text) out.push_back(static_cast<unsigned>(c) < 0x100 ? static_cast<char>(c) : '?');
    return out;
}

// --- clock --------------------------------------------------------------------------------

std::int64_t FakeClock::UnixTimeMs() const {
    std::lock_guard lock(m_mutex);
    return nowMs + (advanceOnRead ? ++m_drift : m_drift);
}

platform::Result<std::tm> FakeClock::LocalTime(std::time_t seconds) const {
    if (localTimeFails) return platform::Failure{87};
    const std::time_t shifted = seconds + utcOffsetSeconds;
    std::tm out{};
#ifdef _WIN32
    if (gmtime_s(&out, &shifted) != 0) return platform::Failure{87};
#else
    if (gmtime_r(&shifted, &out) == nullptr) return platform::Failure{87};
#endif
    return out;
}

void FakeClock::SleepMs(unsigned milliseconds) {
    std::lock_guard lock(m_mutex);
    m_sleeps.push_back(milliseconds);
    m_drift += milliseconds;
}

std::vector<unsigned> FakeClock::Sleeps() const {
    std::lock_guard lock(m_mutex);
    return m_sleeps;
}

void FakeClock::Advance(std::int64_t ms) {
    std::lock_guard lock(m_mutex);
    m_drift += ms;
}

// --- system -------------------------------------------------------------------------------

bool FakeSystem::IsVersionAtLeast(unsigned major, unsigned minor, unsigned servicePackMajor) const {
    if (!osVersion) return false;
    if (osVersion->major != major) return osVersion->major > major;
    if (osVersion->minor != minor) return osVersion->minor > minor;
    return servicePack >= servicePackMajor;
}

platform::Result<platform::OsVersion> FakeSystem::GetOsVersion() const {
    if (!osVersion) return platform::Failure{1};  // STATUS_UNSUCCESSFUL's low bits will do
    return *osVersion;
}

platform::Result<std::wstring> FakeSystem::GetEnvironmentVariable(const std::wstring& name) const {
    const auto found = environment.find(name);
    if (found == environment.end()) return platform::Failure{platform::kEnvironmentVariableNotFound};
    return found->second;
}

platform::Result<std::uint64_t> FakeSystem::GetTotalPhysicalMemory() const {
    ++memoryReads;
    if (memoryFailure) return platform::Failure{memoryFailure};
    return totalPhysicalMemory;
}

platform::Result<std::vector<std::wstring>> FakeSystem::GetProcessImageNames() const {
    ++processListReads;
    if (processListFailure) return platform::Failure{processListFailure};
    return processNames;
}

// --- file system --------------------------------------------------------------------------

namespace {

std::wstring Parent(const std::wstring& path) {
    const auto slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

bool IsChildOf(const std::wstring& candidate, const std::wstring& folder) { return Parent(candidate) == folder; }

std::wstring TrimSeparator(std::wstring path) {
    while (path.size() > 3 && path.back() == L'\\') path.pop_back();
    return path;
}

}  // namespace

platform::Result<std::wstring> FakeFileSystem::GetKnownFolder(platform::KnownFolder folder) const {
    const auto found = knownFolders.find(folder);
    if (found == knownFolders.end()) return platform::Failure{platform::kFileNotFound};
    return found->second;
}

platform::Result<std::wstring> FakeFileSystem::GetTempPath() const {
    if (!tempPath) return platform::Failure{platform::kPathNotFound};
    return *tempPath;
}

platform::Result<std::wstring> FakeFileSystem::CreateUniqueTempFile(const std::wstring& folder,
                                                                    const std::wstring& prefix) {
    wchar_t hex[16];
    swprintf(hex, 16, L"%X", nextUnique++);
    std::wstring path = folder + prefix + hex + L".tmp";
    AddFile(path);
    return path;
}

platform::Result<void> FakeFileSystem::DeleteFile(const std::wstring& path) {
    if (lockedFiles.count(path)) return platform::Failure{platform::kSharingViolation};
    if (!files.erase(path)) return platform::Failure{platform::kFileNotFound};
    return {};
}

platform::Result<void> FakeFileSystem::CreateDirectory(const std::wstring& path) {
    const auto clean = TrimSeparator(path);
    if (PathExists(clean)) return platform::Failure{183};  // ERROR_ALREADY_EXISTS
    directories.insert(clean);
    return {};
}

platform::Result<void> FakeFileSystem::RemoveDirectory(const std::wstring& path) {
    const auto clean = TrimSeparator(path);
    if (!directories.count(clean)) return platform::Failure{267};  // ERROR_DIRECTORY
    if (!IsDirectoryEmpty(clean)) return platform::Failure{145};   // ERROR_DIR_NOT_EMPTY
    directories.erase(clean);
    return {};
}

platform::Result<void> FakeFileSystem::ScheduleDeleteAtRestart(const std::wstring& path) {
    scheduledForRestart.push_back(path);
    return {};
}

bool FakeFileSystem::PathExists(const std::wstring& path) const {
    const auto clean = TrimSeparator(path);
    return files.count(clean) || directories.count(clean);
}

bool FakeFileSystem::IsDirectory(const std::wstring& path) const { return directories.count(TrimSeparator(path)) > 0; }

bool FakeFileSystem::IsDirectoryEmpty(const std::wstring& path) const {
    return IsDirectory(path) && ListDirectory(path)->empty();
}

platform::Result<std::vector<platform::DirectoryEntry>> FakeFileSystem::ListDirectory(const std::wstring& path) const {
    const auto clean = TrimSeparator(path);
    std::vector<platform::DirectoryEntry> entries;
    for (const auto& dir : directories) {
        if (IsChildOf(dir, clean)) entries.push_back({dir.substr(clean.size() + 1), true});
    }
    for (const auto& file : files) {
        if (IsChildOf(file, clean)) entries.push_back({file.substr(clean.size() + 1), false});
    }
    return entries;
}

platform::Result<std::uint64_t> FakeFileSystem::GetFreeBytesAvailable(const std::wstring& folder) const {
    ++freeSpaceReads;
    const auto found = freeBytes.find(folder);
    if (found == freeBytes.end()) return platform::Failure{platform::kPathNotFound};
    return found->second;
}

void FakeFileSystem::AddFile(const std::wstring& path) { files.insert(path); }
void FakeFileSystem::AddDirectory(const std::wstring& path) { directories.insert(TrimSeparator(path)); }

// --- module -------------------------------------------------------------------------------

platform::Resource FakeModule::LoadResource(int id, const std::wstring& type) const {
    const auto found = resources.find({type, id});
    if (found == resources.end()) return {platform::ResourceStatus::NotFound, {}};
    return found->second;
}

platform::Result<platform::FileVersion> FakeModule::GetFixedFileVersion() const {
    if (!fileVersion) return platform::Failure{platform::kFileNotFound};
    return *fileVersion;
}

void FakeModule::ServeShippedLocales() {
    for (const auto& entry : std::filesystem::directory_iterator(TESSARY_LOCALE_DIR)) {
        const auto name = entry.path().filename().string();
        const auto underscore = name.find('_');
        if (entry.path().extension() != ".xml" || underscore == std::string::npos) continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        resources[{L"LOCALE", std::stoi(name.substr(0, underscore))}] = {platform::ResourceStatus::Found,
                                                                         std::move(bytes)};
    }
}

// --- user interface -------------------------------------------------------------------------

int FakeUi::ShowMessage(const std::wstring& text, const std::optional<std::wstring>& caption, unsigned style) {
    messages.push_back({text, caption, style});
    return answer;
}

// --- locale -------------------------------------------------------------------------------

FakeLocale::FakeLocale() {
    const std::pair<const char*, const char*> names[] = {
        {"en_US", "English"},   {"en-US", "English"},   {"en-GB", "English"}, {"en", "English"},    {"es", "español"},
        {"pt_BR", "português"}, {"pt-BR", "português"}, {"pt", "português"},  {"pl", "polski"},     {"pl-PL", "polski"},
        {"cs", "čeština"},      {"da", "dansk"},        {"de", "Deutsch"},    {"de-DE", "Deutsch"}, {"fi", "suomi"},
        {"fr", "français"},     {"fr-FR", "français"},  {"it", "italiano"},   {"nl", "Nederlands"}, {"ru", "русский"},
        {"ru-RU", "русский"},   {"tr", "Türkçe"},       {"ja-JP", "日本語"},  {"ja", "日本語"},
    };
    for (const auto& [locale, native] : names) nativeNames[W(locale)] = W(native);
}

platform::Result<std::wstring> FakeLocale::GetUserDefaultLocaleName() const {
    if (!userLocale) return platform::Failure{122};  // ERROR_INSUFFICIENT_BUFFER
    return *userLocale;
}

platform::Result<std::wstring> FakeLocale::GetNativeLanguageName(const std::wstring& localeName) const {
    const auto found = nativeNames.find(localeName);
    if (found == nativeNames.end()) return platform::Failure{87};  // ERROR_INVALID_PARAMETER
    return found->second;
}

// --- crypto -------------------------------------------------------------------------------

std::array<std::uint8_t, 32> FakeCrypto::Sha256(std::string_view bytes) const {
    if (fails) throw std::runtime_error("CryptAcquireContext failed");
    return ReferenceSha256(bytes);
}

std::array<std::uint8_t, 16> FakeCrypto::Md5(std::string_view bytes) const {
    if (fails) throw std::runtime_error("CryptAcquireContext failed");
    return ReferenceMd5(bytes);
}

// --- http ---------------------------------------------------------------------------------

platform::Result<platform::UrlParts> FakeHttp::CrackUrl(const std::wstring& url) const {
    const auto schemeEnd = url.find(L"://");
    if (schemeEnd == std::wstring::npos) return platform::Failure{12006};  // ERROR_WINHTTP_UNRECOGNIZED_SCHEME
    platform::UrlParts parts;
    parts.scheme = url.substr(0, schemeEnd);
    const auto hostStart = schemeEnd + 3;
    const auto pathStart = url.find_first_of(L"/?#", hostStart);
    std::wstring authority =
        url.substr(hostStart, pathStart == std::wstring::npos ? std::wstring::npos : pathStart - hostStart);
    const auto colon = authority.find(L':');
    parts.port = parts.scheme == L"http" ? 80 : 443;
    if (colon != std::wstring::npos) {
        parts.port = static_cast<unsigned>(std::stoul(authority.substr(colon + 1)));
        authority.resize(colon);
    }
    if (authority.empty()) return platform::Failure{12006};  // ERROR_WINHTTP_UNRECOGNIZED_SCHEME
    parts.host = authority;
    if (pathStart != std::wstring::npos) {
        const auto extraStart = url.find_first_of(L"?#", pathStart);
        parts.path =
            url.substr(pathStart, extraStart == std::wstring::npos ? std::wstring::npos : extraStart - pathStart);
        if (extraStart != std::wstring::npos) parts.extra = url.substr(extraStart);
    }
    return parts;
}

platform::Result<platform::HttpAnswer> FakeHttp::HttpsPost(const std::wstring& host, const std::wstring& path,
                                                           const std::string& body, platform::HeaderList headers,
                                                           std::string& response) {
    Call call{host, path, body, std::move(headers)};
    Answer answer;
    {
        std::lock_guard lock(m_mutex);
        m_calls.push_back(call);
        if (!m_answers.empty()) {
            answer = m_answers.front();
            m_answers.pop_front();
        } else if (handler) {
            answer = handler(call);
        }
    }
    if (!answer.delivered) return platform::Failure{transportFailure};
    response += answer.body;
    return platform::HttpAnswer{answer.status, lastError};
}

std::vector<FakeHttp::Call> FakeHttp::Calls() const {
    std::lock_guard lock(m_mutex);
    return m_calls;
}

void FakeHttp::Queue(Answer answer) {
    std::lock_guard lock(m_mutex);
    m_answers.push_back(std::move(answer));
}

// --- images -------------------------------------------------------------------------------

std::shared_ptr<platform::Image> FakeImages::Decode(const std::vector<std::uint8_t>& bytes,
                                                    platform::ImageKind kind) const {
    if (bytes.empty()) return nullptr;
    return std::make_shared<FakeImage>(bytes, kind);
}

// --- installation -------------------------------------------------------------------------

FakePorts::FakePorts() {
    m_previous = platform::InstallPorts(
        {text, clock, system, fileSystem, module, ui, locale, registry, crypto, http, images, diagnostics});
}

FakePorts::~FakePorts() { platform::InstallPorts(std::move(m_previous)); }

}  // namespace tessary::testing
