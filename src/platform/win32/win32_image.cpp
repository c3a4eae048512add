#include "platform/win32/win32_image.h"

#include <shlwapi.h>

#include <climits>
#include <cstring>

#include "platform/win32/gdiplus_image.h"
#include "platform/win32/gdiplus_session.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_ports.h"

namespace tessary::win32 {
namespace {

inline void FreeGlobalBlock(HGLOBAL block) { ::GlobalFree(block); }
using GlobalBlock = UniqueHandle<HGLOBAL, NullIsInvalid<HGLOBAL, FreeGlobalBlock>>;

std::shared_ptr<platform::Image> DecodeStream(IStream* stream, platform::ImageKind kind) {
    // GDI+ takes its own reference to the stream for as long as the picture needs it.
    std::unique_ptr<Gdiplus::Image> image;
    if (kind == platform::ImageKind::Bitmap) {
        image = std::make_unique<Gdiplus::Bitmap>(stream);
    } else {
        image = std::make_unique<Gdiplus::Image>(stream);
    }
    return std::make_shared<GdiplusImage>(std::move(image));
}

// A movable global block holding a copy of the bytes, as CreateStreamOnHGlobal wants it.
GlobalBlock CopyToGlobalBlock(const void* bytes, DWORD size) {
    GlobalBlock block(::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size));
    if (!block) return {};
    void* target = ::GlobalLock(block.Get());
    if (!target) return {};
    std::memcpy(target, bytes, size);
    ::GlobalUnlock(block.Get());
    return block;
}

class Win32ImagePort : public platform::ImagePort {
public:
    // Pictures arrive on threads of their own, possibly while the program ends: without GDI+
    // running, nothing is decoded.
    std::shared_ptr<platform::Image> Decode(const std::vector<std::uint8_t>& bytes,
                                            platform::ImageKind kind) const override {
        std::shared_ptr<platform::Image> image;
        GdiplusSession::WhileRunning([&] { image = CreateImageFromBytes(bytes, kind); });
        return image;
    }
};

}  // namespace

std::shared_ptr<platform::Image> LoadImageFromResource(HMODULE module, int number, const wchar_t* type) {
    HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(number), type);
    if (!resource) return nullptr;
    const DWORD size = ::SizeofResource(module, resource);
    if (size == 0) return nullptr;
    HGLOBAL loaded = ::LoadResource(module, resource);  // belongs to the module, never freed
    const void* bytes = loaded ? ::LockResource(loaded) : nullptr;
    if (!bytes) return nullptr;

    GlobalBlock block = CopyToGlobalBlock(bytes, size);
    if (!block) return nullptr;
    IStream* created = nullptr;
    if (FAILED(::CreateStreamOnHGlobal(block.Get(), TRUE, &created))) return nullptr;
    block.Release();  // the stream frees it now
    const ComPtr<IStream> stream(created);
    return DecodeStream(stream.get(), platform::ImageKind::Bitmap);
}

std::shared_ptr<platform::Image> CreateImageFromBytes(const std::vector<std::uint8_t>& bytes,
                                                      platform::ImageKind kind) {
    if (bytes.empty() || bytes.size() > UINT_MAX) return nullptr;
    const ComPtr<IStream> stream(::SHCreateMemStream(bytes.data(), static_cast<UINT>(bytes.size())));
    if (!stream) return nullptr;
    return DecodeStream(stream.get(), kind);
}

std::shared_ptr<platform::ImagePort> MakeImagePort() { return std::make_shared<Win32ImagePort>(); }

}  // namespace tessary::win32
