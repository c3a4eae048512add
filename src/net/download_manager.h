#pragma once
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "platform/result.h"
#include "platform/ui_port.h"

namespace tessary {

class AttemptControl;

// Posted to the window a file transfer reports to.
inline constexpr unsigned kDownloadProgressMessage = 0x401;     // WM_USER + 1, WPARAM = percentage
inline constexpr unsigned kDownloadUnknownSizeMessage = 0x402;  // WM_USER + 2

// The most an in-memory download keeps: images are far smaller, and a hostile server must not
// fill the memory of the program.
inline constexpr std::size_t kMemoryDownloadLimit = 8u << 20;

// Downloads files to disk and small resources into memory. One per process.
class DownloadManager : public std::enable_shared_from_this<DownloadManager> {
public:
    using Result = std::pair<bool, std::wstring>;
    using Bytes = std::unique_ptr<std::vector<char>>;

    static std::shared_ptr<DownloadManager> GetInstance();

    // Set once when the user confirms exit: every transfer, attempt and pause ends as soon as it
    // sees it, and in-memory downloads deliver null.
    std::atomic<bool> m_cancelRequested{false};
    // The target of the last file transfer that succeeded.
    std::wstring m_lastDownloadedPath;
    // An attempt ends once this long passed without a byte arriving.
    unsigned m_noProgressLimitMs = 60'000;

    // Downloads url (then fallback, when given) over WinHTTP and then WinINet into the download
    // folder or the temporary folder, under fileName or the name the URL ends in. A package
    // folder puts the file in a folder of that name inside, so that packages never overwrite one
    // another. On failure the text strings together the failure of every attempt.
    Result DownloadFile(const std::pair<std::wstring, std::wstring>& urls, platform::WindowHandle window,
                        const std::wstring& fileName, bool temporaryFolder, const std::wstring& packageFolder = {});
    Result DownloadWithWinHttp(const std::wstring& url, platform::WindowHandle window, const std::wstring& path);
    Result DownloadWithWinInet(const std::wstring& url, platform::WindowHandle window, const std::wstring& path);

    // The path a file is saved under, or "" when the folder is not there, the name is refused or
    // the path would be too long.
    std::wstring TargetPathFromUrl(const std::wstring& url, bool temporaryFolder,
                                   const std::wstring& packageFolder = {}) const;
    std::wstring TargetPathFromFileName(const std::wstring& fileName, bool temporaryFolder,
                                        const std::wstring& packageFolder = {}) const;

    // The body at url over WinHTTP, two attempts; empty when both failed. Never null.
    Bytes DownloadToMemory(const std::wstring& url, std::size_t limit = kMemoryDownloadLimit);
    // The same on a thread of its own; the callback runs there, with null once exit was confirmed
    // (or when the download could not run at all).
    void DownloadToMemoryAsync(const std::wstring& url, std::function<void(Bytes)> callback,
                               std::size_t limit = kMemoryDownloadLimit);

    static std::wstring SystemErrorText(platform::Status code);

    // Waits until no transfer holds a file open any more (a cancelled one closes and deletes its
    // partial file within moments), at most the given time; true when none does. Closing the
    // wizard waits here before it removes the temporary folder, never for a whole transfer.
    bool WaitForFileTransfers(unsigned milliseconds);

private:
    // Counts a transfer that writes a file for as long as it lives.
    class FileTransferCount {
    public:
        explicit FileTransferCount(DownloadManager& manager);
        ~FileTransferCount();
        FileTransferCount(const FileTransferCount&) = delete;
        FileTransferCount& operator=(const FileTransferCount&) = delete;

    private:
        DownloadManager& m_manager;
    };

    Result DownloadToFile(bool winHttp, const std::wstring& url, platform::WindowHandle window,
                          const std::wstring& path);
    Result TransferToFile(bool winHttp, const std::wstring& url, platform::WindowHandle window,
                          const std::wstring& path, unsigned noProgressLimitMs, AttemptControl& control);
    // Sleeps in short steps so that a confirmed exit ends the pause at once.
    void Pause(unsigned milliseconds) const;

    std::mutex m_fileTransfersMutex;
    std::condition_variable m_fileTransfersIdle;
    int m_fileTransfers = 0;
};

}  // namespace tessary
