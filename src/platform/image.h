#pragma once
#include <cstdint>
#include <memory>
#include <vector>

namespace tessary::platform {

// A decoded picture. Only the platform knows what is inside; portable code just holds it.
class Image {
public:
    virtual ~Image() = default;
};

enum class ImageKind {
    Image,   // the product picture
    Bitmap,  // an offer picture
};

class ImagePort {
public:
    virtual ~ImagePort() = default;
    // Empty bytes give no image; bytes that are not a picture give an image that draws nothing.
    virtual std::shared_ptr<Image> Decode(const std::vector<std::uint8_t>& bytes, ImageKind kind) const = 0;
};

}  // namespace tessary::platform
