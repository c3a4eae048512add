// The picture of an offer, fetched into memory from the file host.
#include <exception>

#include "config/configuration_manager.h"
#include "config/package.h"
#include "encoding/text_conversion.h"
#include "net/download_manager.h"
#include "net/image_fetch.h"
#include "platform/ports.h"

namespace tessary {

void Package::DownloadImage(std::function<void()> done) {
    if (m_isMainProduct) {
        if (done) done();
        return;
    }
    std::wstring url;
    try {
        url = ConfigurationManager::GetInstance()->m_filesUrl + Utf8ToWide(m_imageName);
    } catch (const std::exception&) {
        // A name that is not UTF-8 names no file; the offer goes on without its picture.
        if (done) done();
        return;
    }
    // The thread keeps the package alive until the picture is stored.
    DownloadManager::GetInstance()->DownloadToMemoryAsync(
        url, [self = shared_from_this(), done = std::move(done)](DownloadManager::Bytes bytes) {
            if (auto image = DecodeDownloadedImage(bytes, platform::ImageKind::Bitmap))
                self->m_image = std::move(image);
            if (done) done();
        });
}

}  // namespace tessary
