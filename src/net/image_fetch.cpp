#include "net/image_fetch.h"

#include "config/configuration_manager.h"
#include "config/package.h"
#include "platform/ports.h"

namespace tessary {

std::shared_ptr<platform::Image> DecodeDownloadedImage(const DownloadManager::Bytes& bytes, platform::ImageKind kind) {
    if (!bytes || bytes->empty()) return nullptr;
    const std::vector<std::uint8_t> data(bytes->begin(), bytes->end());
    return platform::Images().Decode(data, kind);
}

ImageFetch::ImageFetch(std::vector<std::shared_ptr<Package>> packages, Handover onPackagesReady)
    : m_packages(std::move(packages)), m_onPackagesReady(std::move(onPackagesReady)) {}

std::shared_ptr<ImageFetch> ImageFetch::Start(std::vector<std::shared_ptr<Package>> packages,
                                              const std::wstring& productImageUrl, Handover onPackagesReady) {
    auto fetch = std::make_shared<ImageFetch>(std::move(packages), std::move(onPackagesReady));
    fetch->Add(static_cast<int>(fetch->m_packages.size()));
    if (!productImageUrl.empty()) {
        fetch->Add(1);
        DownloadManager::GetInstance()->DownloadToMemoryAsync(productImageUrl, [fetch](DownloadManager::Bytes bytes) {
            auto image = DecodeDownloadedImage(bytes, platform::ImageKind::Image);
            {
                // Stored only while the fetch stands, under the same lock that revokes it: a
                // picture that arrives after the wizard let go of it goes nowhere.
                std::lock_guard lock(fetch->m_pendingMutex);
                if (image && !fetch->m_revoked) ConfigurationManager::GetInstance()->m_productImage = std::move(image);
            }
            fetch->Done();
        });
    }
    fetch->HandOverIfNoneLeft();
    // A copy of the list: a handover may already have moved the packages on.
    const auto waiting = fetch->m_packages;
    for (const auto& package : waiting) package->DownloadImage([fetch] { fetch->Done(); });
    return fetch;
}

void ImageFetch::Revoke() {
    std::lock_guard lock(m_pendingMutex);
    m_revoked = true;
}

void ImageFetch::Add(int count) {
    std::lock_guard lock(m_pendingMutex);
    m_pendingImages += count;
}

void ImageFetch::Done() {
    std::lock_guard lock(m_pendingMutex);
    --m_pendingImages;
    HandOverLocked();
}

void ImageFetch::HandOverIfNoneLeft() {
    std::lock_guard lock(m_pendingMutex);
    HandOverLocked();
}

void ImageFetch::HandOverLocked() {
    if (m_pendingImages != 0 || m_packagesDelivered || m_revoked || !m_onPackagesReady) return;
    m_packagesDelivered = true;
    m_onPackagesReady(m_packages);
}

}  // namespace tessary
