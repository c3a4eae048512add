#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

#include "platform/win32/gdiplus_image.h"
#include "platform/win32/gdiplus_session.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_image.h"
#include "platform/win32/win32_ports.h"

namespace tessary::win32 {
namespace {

struct EmbeddedPicture {
    int number;
    const wchar_t* type;
    // The channel that dominates the disc: 0 blue, 1 green, 2 red, in the order GDI stores them.
    int discChannel;
};

const EmbeddedPicture kPictures[] = {
    {101, L"IMAGE_BLOB", 0},
    {102, L"IMAGE_BLOB2", 1},
    {103, L"IMAGE_BLOB3", 2},
};

constexpr std::uint32_t kBackground = 0x00B4C8DC;  // blue 0xDC, green 0xC8, red 0xB4: no disc colour

std::vector<std::uint8_t> ResourceBytes(int number, const wchar_t* type) {
    HMODULE module = ::GetModuleHandleW(nullptr);
    HRSRC resource = ::FindResourceW(module, MAKEINTRESOURCEW(number), type);
    if (!resource) return {};
    const auto* bytes = static_cast<const std::uint8_t*>(::LockResource(::LoadResource(module, resource)));
    return {bytes, bytes + ::SizeofResource(module, resource)};
}

const GdiplusImage* AsGdiplus(const std::shared_ptr<platform::Image>& image) {
    return dynamic_cast<const GdiplusImage*>(image.get());
}

// A 32-bit top-down bitmap selected into a memory device context, filled with kBackground.
class Canvas {
public:
    explicit Canvas(int size) : m_size(size), m_dc(::CreateCompatibleDC(nullptr)) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = size;
        info.bmiHeader.biHeight = -size;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        m_bitmap.Reset(::CreateDIBSection(m_dc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        m_pixels = static_cast<std::uint32_t*>(bits);
        m_previous = ::SelectObject(m_dc.Get(), m_bitmap.Get());
        for (int i = 0; i < size * size; ++i) m_pixels[i] = kBackground;
    }
    ~Canvas() { ::SelectObject(m_dc.Get(), m_previous); }

    HDC Dc() const { return m_dc.Get(); }
    std::uint32_t At(int x, int y) const {
        ::GdiFlush();
        return m_pixels[y * m_size + x] & 0x00FFFFFF;
    }
    bool IsUntouched() const {
        for (int y = 0; y < m_size; ++y) {
            for (int x = 0; x < m_size; ++x) {
                if (At(x, y) != kBackground) return false;
            }
        }
        return true;
    }

private:
    static void DeleteDc(HDC dc) { ::DeleteDC(dc); }
    int m_size;
    UniqueHandle<HDC, NullIsInvalid<HDC, DeleteDc>> m_dc;
    GdiObject m_bitmap;
    std::uint32_t* m_pixels = nullptr;
    HGDIOBJ m_previous = nullptr;
};

std::uint8_t Channel(std::uint32_t pixel, int channel) { return static_cast<std::uint8_t>(pixel >> (8 * channel)); }

class ImageTest : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_gdiplus.IsStarted()); }

    // The first member, so every picture a test makes dies before GDI+ stops.
    GdiplusSession m_gdiplus;
};

TEST_F(ImageTest, EmbeddedPicturesAreSquareWithTransparentCornersAndAnOpaqueDisc) {
    for (const auto& picture : kPictures) {
        SCOPED_TRACE(picture.number);
        const auto image = LoadImageFromResource(::GetModuleHandleW(nullptr), picture.number, picture.type);
        const GdiplusImage* decoded = AsGdiplus(image);
        ASSERT_NE(decoded, nullptr);
        ASSERT_TRUE(decoded->IsOk());
        EXPECT_EQ(decoded->Get()->GetWidth(), 512u);
        EXPECT_EQ(decoded->Get()->GetHeight(), 512u);
        EXPECT_TRUE(Gdiplus::IsAlphaPixelFormat(decoded->Get()->GetPixelFormat()));

        auto* bitmap = dynamic_cast<Gdiplus::Bitmap*>(decoded->Get());
        ASSERT_NE(bitmap, nullptr);
        Gdiplus::Color corner, centre;
        ASSERT_EQ(bitmap->GetPixel(0, 0, &corner), Gdiplus::Ok);
        ASSERT_EQ(bitmap->GetPixel(256, 256, &centre), Gdiplus::Ok);
        EXPECT_EQ(corner.GetA(), 0);
        EXPECT_EQ(centre.GetA(), 255);
    }
}

TEST_F(ImageTest, MissingOrMistypedResourceGivesNoImage) {
    HMODULE module = ::GetModuleHandleW(nullptr);
    EXPECT_EQ(LoadImageFromResource(module, 999, L"IMAGE_BLOB"), nullptr);
    EXPECT_EQ(LoadImageFromResource(module, 101, L"IMAGE_BLOB2"), nullptr);
}

TEST_F(ImageTest, BytesDecodeAsTheKindAskedForAndOutliveTheirBuffer) {
    const auto port = MakeImagePort();
    for (const auto kind : {platform::ImageKind::Image, platform::ImageKind::Bitmap}) {
        std::vector<std::uint8_t> bytes = ResourceBytes(102, L"IMAGE_BLOB2");
        ASSERT_FALSE(bytes.empty());
        const auto image = port->Decode(bytes, kind);
        // The picture must not read the caller's buffer later on.
        std::memset(bytes.data(), 0, bytes.size());
        bytes.clear();
        bytes.shrink_to_fit();

        const GdiplusImage* decoded = AsGdiplus(image);
        ASSERT_NE(decoded, nullptr);
        ASSERT_TRUE(decoded->IsOk());
        EXPECT_EQ(decoded->Get()->GetWidth(), 512u);
        EXPECT_EQ(dynamic_cast<Gdiplus::Bitmap*>(decoded->Get()) != nullptr, kind == platform::ImageKind::Bitmap);

        Canvas canvas(60);
        DrawImageStretched(canvas.Dc(), image.get(), 60, 60);
        EXPECT_EQ(canvas.At(0, 0), kBackground);
        EXPECT_NE(canvas.At(30, 30), kBackground);
    }
}

TEST_F(ImageTest, EmptyBytesGiveNoImage) {
    EXPECT_EQ(CreateImageFromBytes({}, platform::ImageKind::Image), nullptr);
    EXPECT_EQ(CreateImageFromBytes({}, platform::ImageKind::Bitmap), nullptr);
}

TEST_F(ImageTest, BytesThatAreNoPictureGiveAnImageThatDrawsNothing) {
    const std::vector<std::uint8_t> text = {'<', 'h', 't', 'm', 'l', '>', 'N', 'o', 't', ' ', 'f', 'o', 'u', 'n', 'd'};
    std::vector<std::uint8_t> brokenPng = ResourceBytes(101, L"IMAGE_BLOB");
    brokenPng.resize(8);  // the signature promises a PNG, nothing follows
    brokenPng.resize(200, 0xA5);
    for (const auto& bytes : {text, brokenPng}) {
        for (const auto kind : {platform::ImageKind::Image, platform::ImageKind::Bitmap}) {
            const auto image = CreateImageFromBytes(bytes, kind);
            const GdiplusImage* decoded = AsGdiplus(image);
            ASSERT_NE(decoded, nullptr);
            EXPECT_FALSE(decoded->IsOk());
            EXPECT_FALSE(decoded->IsOk()) << "the failure must not be forgotten once read";

            Canvas canvas(16);
            DrawImageStretched(canvas.Dc(), image.get(), 16, 16);
            EXPECT_TRUE(canvas.IsUntouched());
        }
    }
}

TEST_F(ImageTest, NoImageDrawsNothing) {
    Canvas canvas(16);
    DrawImageStretched(canvas.Dc(), nullptr, 16, 16);
    EXPECT_TRUE(canvas.IsUntouched());
}

TEST_F(ImageTest, StretchedPictureKeepsTheBackgroundInItsCornersAndColoursItsDisc) {
    for (const auto& picture : kPictures) {
        SCOPED_TRACE(picture.number);
        const auto image = LoadImageFromResource(::GetModuleHandleW(nullptr), picture.number, picture.type);
        Canvas canvas(60);
        DrawImageStretched(canvas.Dc(), image.get(), 60, 60);

        const std::pair<int, int> corners[] = {{0, 0}, {59, 0}, {0, 59}, {59, 59}, {3, 3}};
        for (const auto& [x, y] : corners) {
            EXPECT_EQ(canvas.At(x, y), kBackground) << x << "," << y;
        }
        EXPECT_NE(canvas.At(30, 30), kBackground);
        // Near the top of the disc, above the symbol: the disc's own colour.
        const std::uint32_t disc = canvas.At(30, 5);
        for (int channel = 0; channel < 3; ++channel) {
            if (channel == picture.discChannel) continue;
            EXPECT_GT(Channel(disc, picture.discChannel), Channel(disc, channel) + 40) << std::hex << disc;
        }
    }
}

// A picture that arrives on a thread of its own while the program ends: once GDI+ has stopped, it
// is not decoded, and one decoded before is let go without GDI+ being asked to destroy it.
TEST(ImageLifetime, NoPictureIsDecodedOrDestroyedWithoutGdiplus) {
    const auto port = MakeImagePort();
    const std::vector<std::uint8_t> bytes = ResourceBytes(102, L"IMAGE_BLOB2");
    ASSERT_FALSE(bytes.empty());
    std::shared_ptr<platform::Image> kept;
    {
        GdiplusSession session;
        ASSERT_TRUE(session.IsStarted());
        kept = port->Decode(bytes, platform::ImageKind::Bitmap);
        ASSERT_NE(AsGdiplus(kept), nullptr);
        EXPECT_TRUE(GdiplusSession::WhileRunning([] {}));
    }
    EXPECT_FALSE(GdiplusSession::WhileRunning([] { ADD_FAILURE() << "ran without GDI+"; }));
    EXPECT_EQ(port->Decode(bytes, platform::ImageKind::Bitmap), nullptr);
    kept.reset();
}

}  // namespace
}  // namespace tessary::win32
