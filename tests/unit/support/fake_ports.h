#pragma once
// Fakes of every port, and a guard that installs them for one test and puts back the ports
// that were in force before.
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "fake_registry.h"
#include "recording_diagnostics.h"
#include "platform/ports.h"

namespace tessary::testing {

// UTF-8 is converted for real; both ANSI pages are Latin-1, which is enough to tell them apart
// from UTF-8 in tests.
class FakeText : public platform::TextPort {
public:
    platform::Result<std::wstring> ToWide(platform::CodePage page, std::string_view text) const override;
    std::string ToNarrow(platform::CodePage page, std::wstring_view text) const override;

    bool toWideFails = false;  // every narrow-to-wide conversion fails, as the system's can
};

class FakeClock : public platform::ClockPort {
public:
    std::int64_t UnixTimeMs() const override;
    platform::Result<std::tm> LocalTime(std::time_t seconds) const override;
    void SleepMs(unsigned milliseconds) override;

    std::vector<unsigned> Sleeps() const;
    void Advance(std::int64_t ms);

    std::int64_t nowMs = 1'765'267'200'000;  // 2025-12-09 08:00:00 UTC
    int utcOffsetSeconds = 0;
    bool localTimeFails = false;
    bool advanceOnRead = false;  // each read moves time on by one millisecond

private:
    mutable std::mutex m_mutex;
    mutable std::int64_t m_drift = 0;
    std::vector<unsigned> m_sleeps;
};

class FakeSystem : public platform::SystemPort {
public:
    platform::Result<platform::OsVersion> GetOsVersion() const override;
    bool IsVersionAtLeast(unsigned major, unsigned minor, unsigned servicePackMajor) const override;
    bool IsWow64() const override { return wow64; }
    bool IsWindows64Bit() const override { return wow64 || windows64; }
    platform::Result<std::wstring> GetEnvironmentVariable(const std::wstring& name) const override;
    platform::Result<std::uint64_t> GetTotalPhysicalMemory() const override;
    platform::Result<std::vector<std::wstring>> GetProcessImageNames() const override;

    std::optional<platform::OsVersion> osVersion = platform::OsVersion{10, 0, 19045};
    unsigned servicePack = 0;
    bool wow64 = false;
    bool windows64 = false;  // a 64-bit process on 64-bit Windows when wow64 is false
    std::map<std::wstring, std::wstring> environment;
    std::uint64_t totalPhysicalMemory = 8ull << 30;
    platform::Status memoryFailure = 0;  // the status GlobalMemoryStatusEx fails with; 0: it works
    std::vector<std::wstring> processNames{L"System", L"explorer.exe"};
    platform::Status processListFailure = 0;
    // How often each fact was asked for, so tests can tell a cached answer from a new one.
    mutable int memoryReads = 0;
    mutable int processListReads = 0;
};

// An in-memory file system with '\' separators.
class FakeFileSystem : public platform::FileSystemPort {
public:
    platform::Result<std::wstring> GetKnownFolder(platform::KnownFolder folder) const override;
    platform::Result<std::wstring> GetTempPath() const override;
    platform::Result<std::wstring> CreateUniqueTempFile(const std::wstring& folder,
                                                        const std::wstring& prefix) override;
    platform::Result<void> DeleteFile(const std::wstring& path) override;
    platform::Result<void> CreateDirectory(const std::wstring& path) override;
    platform::Result<void> RemoveDirectory(const std::wstring& path) override;
    platform::Result<void> ScheduleDeleteAtRestart(const std::wstring& path) override;
    bool PathExists(const std::wstring& path) const override;
    bool IsDirectory(const std::wstring& path) const override;
    bool IsDirectoryEmpty(const std::wstring& path) const override;
    platform::Result<std::vector<platform::DirectoryEntry>> ListDirectory(const std::wstring& path) const override;
    platform::Result<std::uint64_t> GetFreeBytesAvailable(const std::wstring& folder) const override;

    void AddFile(const std::wstring& path);
    void AddDirectory(const std::wstring& path);

    std::map<platform::KnownFolder, std::wstring> knownFolders;
    std::optional<std::wstring> tempPath = L"C:\\Temp\\";
    std::set<std::wstring> files;
    std::set<std::wstring> directories;
    std::set<std::wstring> lockedFiles;  // deleting these fails with a sharing violation
    std::vector<std::wstring> scheduledForRestart;
    unsigned nextUnique = 0x1A2B;
    // Free bytes by drive root ("C:\\"); a root that is not here fails with ERROR_PATH_NOT_FOUND.
    std::map<std::wstring, std::uint64_t> freeBytes{{L"C:\\", 100ull << 30}};
    mutable int freeSpaceReads = 0;
};

class FakeModule : public platform::ModulePort {
public:
    std::wstring GetModuleFileName() const override { return moduleFileName; }
    platform::Result<platform::FileVersion> GetFixedFileVersion() const override;
    platform::Resource LoadResource(int id, const std::wstring& type) const override;

    // Serves the shipped locale files ("<id>_<name>.xml") as LOCALE resources.
    void ServeShippedLocales();

    std::wstring moduleFileName = L"C:\\Users\\user\\Downloads\\Setup.exe";
    std::optional<platform::FileVersion> fileVersion = platform::FileVersion{(3u << 16) | 2u, (4u << 16) | 2137u};
    std::map<std::pair<std::wstring, int>, platform::Resource> resources;
};

class FakeUi : public platform::UiPort {
public:
    struct Message {
        std::wstring text;
        std::optional<std::wstring> caption;
        unsigned style = 0;
    };
    int ShowMessage(const std::wstring& text, const std::optional<std::wstring>& caption, unsigned style) override;

    std::vector<Message> messages;
    int answer = platform::kIdOk;
};

class FakeLocale : public platform::LocalePort {
public:
    platform::Result<std::wstring> GetUserDefaultLocaleName() const override;
    platform::Result<std::wstring> GetNativeLanguageName(const std::wstring& localeName) const override;

    std::optional<std::wstring> userLocale = L"en-US";
    // Locale name → native language name; the common ones are filled in.
    std::map<std::wstring, std::wstring> nativeNames;
    FakeLocale();
};

class FakeCrypto : public platform::CryptoPort {
public:
    std::array<std::uint8_t, 32> Sha256(std::string_view bytes) const override;
    std::array<std::uint8_t, 16> Md5(std::string_view bytes) const override;
    bool fails = false;
};

// Answers POSTs from a script; records every call.
class FakeHttp : public platform::HttpPort {
public:
    struct Call {
        std::wstring host, path;
        std::string body;
        platform::HeaderList headers;
    };
    struct Answer {
        bool delivered = true;  // false: transport failure
        unsigned long status = 200;
        std::string body;
    };
    platform::Result<platform::UrlParts> CrackUrl(const std::wstring& url) const override;
    platform::Result<platform::HttpAnswer> HttpsPost(const std::wstring& host, const std::wstring& path,
                                                     const std::string& body, platform::HeaderList headers,
                                                     std::string& response) override;

    std::vector<Call> Calls() const;
    void Queue(Answer answer);

    std::function<Answer(const Call&)> handler;  // used when the queue is empty
    // The thread's last error an answer carries, and the status a transport failure fails with.
    platform::Status lastError = 0;
    platform::Status transportFailure = 12029;  // ERROR_WINHTTP_CANNOT_CONNECT

private:
    mutable std::mutex m_mutex;
    std::vector<Call> m_calls;
    std::deque<Answer> m_answers;
};

class FakeImage : public platform::Image {
public:
    FakeImage(std::vector<std::uint8_t> bytes, platform::ImageKind kind) : bytes(std::move(bytes)), kind(kind) {}
    std::vector<std::uint8_t> bytes;
    platform::ImageKind kind;
};

class FakeImages : public platform::ImagePort {
public:
    std::shared_ptr<platform::Image> Decode(const std::vector<std::uint8_t>& bytes,
                                            platform::ImageKind kind) const override;
};

// Every fake, installed for the lifetime of the object.
struct FakePorts {
    FakePorts();
    ~FakePorts();
    FakePorts(const FakePorts&) = delete;
    FakePorts& operator=(const FakePorts&) = delete;

    std::shared_ptr<FakeText> text = std::make_shared<FakeText>();
    std::shared_ptr<FakeClock> clock = std::make_shared<FakeClock>();
    std::shared_ptr<FakeSystem> system = std::make_shared<FakeSystem>();
    std::shared_ptr<FakeFileSystem> fileSystem = std::make_shared<FakeFileSystem>();
    std::shared_ptr<FakeModule> module = std::make_shared<FakeModule>();
    std::shared_ptr<FakeUi> ui = std::make_shared<FakeUi>();
    std::shared_ptr<FakeLocale> locale = std::make_shared<FakeLocale>();
    std::shared_ptr<FakeRegistry> registry = std::make_shared<FakeRegistry>();
    std::shared_ptr<FakeCrypto> crypto = std::make_shared<FakeCrypto>();
    std::shared_ptr<FakeHttp> http = std::make_shared<FakeHttp>();
    std::shared_ptr<FakeImages> images = std::make_shared<FakeImages>();
    std::shared_ptr<RecordingDiagnostics> diagnostics = std::make_shared<RecordingDiagnostics>();

private:
    platform::Ports m_previous;
};

// Wide text from UTF-8, for readable test expectations on both wchar_t widths.
std::wstring W(std::string_view utf8);
std::string U8(std::wstring_view wide);

}  // namespace tessary::testing
