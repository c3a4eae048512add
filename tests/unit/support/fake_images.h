#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/image.h"

namespace tessary::testing {

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

}  // namespace tessary::testing
