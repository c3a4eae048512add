#include "fake_images.h"

namespace tessary::testing {

std::shared_ptr<platform::Image> FakeImages::Decode(const std::vector<std::uint8_t>& bytes,
                                                    platform::ImageKind kind) const {
    if (bytes.empty()) return nullptr;
    return std::make_shared<FakeImage>(bytes, kind);
}

}  // namespace tessary::testing
