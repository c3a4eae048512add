#pragma once
// The pictures the loading page fetches before it hands the offers to the host: the product's and
// one per offer, each on a thread of its own.
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "net/download_manager.h"
#include "platform/image.h"

namespace tessary {

class Package;

// A picture from downloaded bytes; none when nothing arrived (also after a confirmed exit) or the
// bytes are no picture the platform can decode.
std::shared_ptr<platform::Image> DecodeDownloadedImage(const DownloadManager::Bytes& bytes, platform::ImageKind kind);

// Counts the pictures still outstanding and hands the packages over once the last one is in:
// exactly once, on whichever thread brings the count to zero, with the count's lock held. The
// downloads hold it and may outlive its owner; after Revoke, nothing is stored or handed over.
class ImageFetch : public std::enable_shared_from_this<ImageFetch> {
public:
    using Handover = std::function<void(std::vector<std::shared_ptr<Package>>)>;

    ImageFetch(std::vector<std::shared_ptr<Package>> packages, Handover onPackagesReady);

    // Fetches productImageUrl (used as it is; nothing when empty) into the configuration's
    // m_productImage and each package's own picture, and hands the packages over when all are in,
    // at once when there is nothing to wait for.
    static std::shared_ptr<ImageFetch> Start(std::vector<std::shared_ptr<Package>> packages,
                                             const std::wstring& productImageUrl, Handover onPackagesReady);

    // After this returns, no handover runs any more (one under way has ended).
    void Revoke();

private:
    void Add(int count);
    // One picture is in; the last one hands the packages over.
    void Done();
    void HandOverIfNoneLeft();
    void HandOverLocked();

    std::mutex m_pendingMutex;
    int m_pendingImages = 0;
    bool m_packagesDelivered = false;
    bool m_revoked = false;
    std::vector<std::shared_ptr<Package>> m_packages;
    Handover m_onPackagesReady;
};

}  // namespace tessary
