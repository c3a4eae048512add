#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/image.h"

namespace tessary::win32 {

// The picture embedded in the module as resource `number` of the custom type `type`, decoded as a
// GDI+ bitmap; empty when the resource is missing, empty or cannot be read. GDI+ must be running.
std::shared_ptr<platform::Image> LoadImageFromResource(HMODULE module, int number, const wchar_t* type);

// A picture from downloaded bytes; the bytes are copied, so the caller may drop them at once.
// Empty bytes give no image; bytes that are not a picture give an image that is not Ok and draws
// nothing. GDI+ must be running.
std::shared_ptr<platform::Image> CreateImageFromBytes(const std::vector<std::uint8_t>& bytes, platform::ImageKind kind);

}  // namespace tessary::win32
