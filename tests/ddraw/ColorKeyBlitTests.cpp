// Source colour keys in Blt (DDBLT_KEYSRCOVERRIDE, DDBLT_KEYSRC) and BltFast
// (DDBLTFAST_SRCCOLORKEY): a source pixel p is skipped when low <= (p & (R|G|B)) <= high.

#include "ConformanceFixture.h"

namespace ddtest {
namespace {

using ColorKeyBlitTest = DirectDrawTest;

enum class KeyedBlit { Override, KeySrc, FastSrcKey };

const char* nameOf(KeyedBlit blit) {
    switch (blit) {
        case KeyedBlit::Override: return "Blt KEYSRCOVERRIDE";
        case KeyedBlit::KeySrc: return "Blt KEYSRC";
        case KeyedBlit::FastSrcKey: break;
    }
    return "BltFast SRCCOLORKEY";
}

constexpr DWORD kUntouched = 0x42424242;

struct KeyCase {
    const char* layout;
    DDCOLORKEY key;
    std::vector<DWORD> sourcePixels;
    std::vector<bool> copied;
};

const KeyCase kKeyCases[] = {
    {"X8R8G8B8", {0, 0}, {0xFF000000, 0x80000000, 0x01000000, 0x00000001}, {false, false, false, true}},
    {"X8R8G8B8", {0xFF000000, 0xFF000000}, {0xFF000000, 0x01000000, 0x00000000}, {true, true, true}},
    {"X8R8G8B8", {0x01000000, 0x01000000}, {0x01000000, 0x00000000}, {true, true}},
    {"X8R8G8B8", {1, 0xFF000000}, {1, 0xFFFFFF, 0, 0xFF000000}, {false, false, true, true}},
    {"A8R8G8B8", {0, 0}, {0xFF000000, 0x00000100}, {false, true}},
    {"A8R8G8B8", {0xFF000000, 0xFF000000}, {0xFF000000, 0}, {true, true}},
    {"X1R5G5B5", {0, 0}, {0x8000, 0x0001}, {false, true}},
    {"X1R5G5B5", {0x8000, 0x8000}, {0x8000, 0}, {true, true}},
    {"X1R5G5B5", {1, 1}, {0x8001, 0x0001, 0x0002}, {false, false, true}},
    {"A1R5G5B5", {0, 0}, {0x8000, 0x0001}, {false, true}},
    {"A1R5G5B5", {0x8000, 0x8000}, {0x8000}, {true}},
    {"X4R4G4B4", {0, 0}, {0xF000, 0x1000, 0x0001}, {false, false, true}},
    {"X4R4G4B4", {0xF000, 0xF000}, {0xF000}, {true}},
    {"A4R4G4B4", {0, 0}, {0xF000, 0x1000, 0x0001}, {false, false, true}},
    {"A4R4G4B4", {0xF000, 0xF000}, {0xF000}, {true}},
    {"R5G6B5", {0, 0}, {0x0000, 0x0001, 0x8000}, {false, true, true}},
    {"R5G6B5", {0x1234, 0x1234}, {0x1234, 0x1235}, {false, true}},
    {"R8G8B8", {0, 0}, {0x000000, 0x000001, 0xFFFFFF}, {false, true, true}},
    {"R8G8B8", {0xFF000000, 0xFF000000}, {0x000000}, {true}},
    {"P8", {0, 0}, {0x00, 0x01, 0xFF}, {false, true, true}},
    {"P8", {0x100, 0x100}, {0x00}, {true}},
    {"P8", {0x7F, 0x7F}, {0x7F, 0x80}, {false, true}},
};

HRESULT keyedBlit(KeyedBlit blit, IDirectDrawSurface7* dest, IDirectDrawSurface7* source,
                  const DDCOLORKEY& key) {
    if (blit == KeyedBlit::Override) {
        DDBLTFX fx{};
        fx.dwSize = sizeof(fx);
        fx.ddckSrcColorkey = key;
        return dest->Blt(nullptr, source, nullptr, DDBLT_KEYSRCOVERRIDE | DDBLT_WAIT, &fx);
    }
    DDCOLORKEY stored = key;
    // A range is only stored with DDCKEY_COLORSPACE, which refuses ranges: single values only.
    if (key.dwColorSpaceLowValue != key.dwColorSpaceHighValue) return DDERR_UNSUPPORTED;
    const HRESULT set = source->SetColorKey(DDCKEY_SRCBLT, &stored);
    if (set != DD_OK) return set;
    if (blit == KeyedBlit::KeySrc)
        return dest->Blt(nullptr, source, nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr);
    return dest->BltFast(0, 0, source, nullptr, DDBLTFAST_SRCCOLORKEY | DDBLTFAST_WAIT);
}

std::vector<DWORD> expectedAfterKeyedCopy(const KeyCase& keyCase, DWORD untouched) {
    std::vector<DWORD> expected;
    for (std::size_t i = 0; i < keyCase.sourcePixels.size(); ++i)
        expected.push_back(keyCase.copied[i] ? keyCase.sourcePixels[i] : untouched);
    return expected;
}

TEST_F(ColorKeyBlitTest, KeyComparesTheColourBitsOnlyAndTheKeyIsNotMasked) {
    for (KeyedBlit blit : {KeyedBlit::Override, KeyedBlit::KeySrc, KeyedBlit::FastSrcKey}) {
        for (const KeyCase& keyCase : kKeyCases) {
            if (blit != KeyedBlit::Override &&
                keyCase.key.dwColorSpaceLowValue != keyCase.key.dwColorSpaceHighValue)
                continue;
            const LayoutCase& layout = layoutNamed(keyCase.layout);
            SCOPED_TRACE(std::string(nameOf(blit)) + " " + keyCase.layout + " key " +
                         std::to_string(keyCase.key.dwColorSpaceLowValue));
            SurfacePtr source = rowSurface(keyCase.sourcePixels, layout);
            const DWORD untouched = kUntouched & (layout.bytesPerPixel == 4 ? 0xFFFFFFFFu
                                                  : (1u << (8 * layout.bytesPerPixel)) - 1);
            SurfacePtr dest =
                rowSurface(std::vector<DWORD>(keyCase.sourcePixels.size(), untouched), layout);
            ASSERT_TRUE(source && dest);
            ASSERT_HR(DD_OK, keyedBlit(blit, dest.get(), source.get(), keyCase.key));
            EXPECT_EQ(expectedAfterKeyedCopy(keyCase, untouched), readPixels(dest.get()));
        }
    }
}

TEST_F(ColorKeyBlitTest, StretchedBlitsKeyEverySampledPixel) {
    const LayoutCase& layout = layoutNamed("X8R8G8B8");
    SurfacePtr source = rowSurface({5, 0, 7}, layout);
    SurfacePtr dest = rowSurface(std::vector<DWORD>(7, kUntouched), layout);
    ASSERT_TRUE(source && dest);
    ASSERT_HR(DD_OK, keyedBlit(KeyedBlit::Override, dest.get(), source.get(), DDCOLORKEY{0, 0}));
    // 3 -> 7 takes source pixels 0,0,0,1,1,2,2.
    EXPECT_EQ((std::vector<DWORD>{5, 5, 5, kUntouched, kUntouched, 7, 7}), readPixels(dest.get()));
}

// Keyed pixels leave each destination pixel as it was, so every destination row must be drawn
// from its own source row even where consecutive rows repeat one source row (2 -> 5 rows take
// source rows 0,0,0,1,1; 3 -> 7 columns take 0,0,0,1,1,2,2), for every pixel size, stretched or
// not.
TEST_F(ColorKeyBlitTest, KeyedBlitsKeepEveryRowsOwnPixelsForEveryPixelSize) {
    struct Shape {
        DWORD width, height;
        std::vector<DWORD> columns, rows;
    };
    const Shape shapes[] = {{3, 2, {0, 1, 2}, {0, 1}}, {7, 5, {0, 0, 0, 1, 1, 2, 2}, {0, 0, 0, 1, 1}}};
    // Source 3 x 2: keyed zeros at different places in the two rows.
    const std::vector<DWORD> sourcePixels = {0x11, 0, 0x12, 0, 0x21, 0x22};
    for (const char* name : {"X8R8G8B8", "R8G8B8", "R5G6B5", "P8"}) {
        const LayoutCase& layout = layoutNamed(name);
        for (const Shape& shape : shapes) {
            SCOPED_TRACE(std::string(name) + " to " + std::to_string(shape.width) + "x" +
                         std::to_string(shape.height));
            SurfacePtr source = surface(3, 2, layout);
            SurfacePtr dest = surface(shape.width, shape.height, layout);
            ASSERT_TRUE(source && dest);
            writePixels(source.get(), sourcePixels);
            // Every destination pixel different before the blit: 0x40 + its index.
            std::vector<DWORD> before(shape.width * shape.height);
            for (std::size_t i = 0; i < before.size(); ++i) before[i] = static_cast<DWORD>(0x40 + i);
            writePixels(dest.get(), before);
            ASSERT_HR(DD_OK, keyedBlit(KeyedBlit::Override, dest.get(), source.get(), DDCOLORKEY{0, 0}));
            std::vector<DWORD> expected = before;
            for (DWORD y = 0; y < shape.height; ++y) {
                for (DWORD x = 0; x < shape.width; ++x) {
                    const DWORD sampled = sourcePixels[shape.rows[y] * 3 + shape.columns[x]];
                    if (sampled != 0) expected[y * shape.width + x] = sampled;
                }
            }
            EXPECT_EQ(expected, readPixels(dest.get()));
        }
    }
}

TEST_F(ColorKeyBlitTest, KeySrcNeedsASourceKeyAndDrawsNothingWithout) {
    const LayoutCase& layout = layoutNamed("X8R8G8B8");
    SurfacePtr source = rowSurface({0, 1}, layout);
    SurfacePtr dest = rowSurface({kUntouched, kUntouched}, layout);
    ASSERT_TRUE(source && dest);
    EXPECT_HR(DDERR_INVALIDPARAMS,
              dest->Blt(nullptr, source.get(), nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr));
    EXPECT_EQ((std::vector<DWORD>{kUntouched, kUntouched}), readPixels(dest.get()));
}

TEST_F(ColorKeyBlitTest, BltFastUsesTheStoredKeyEvenWithoutAKeySet) {
    const LayoutCase& layout = layoutNamed("X8R8G8B8");
    const std::vector<DWORD> pixels = {0, 1, 5};
    SurfacePtr source = rowSurface(pixels, layout);
    ASSERT_TRUE(source);
    {  // never keyed: behaves as key {0, 0}
        SurfacePtr dest = rowSurface({kUntouched, kUntouched, kUntouched}, layout);
        ASSERT_HR(DD_OK, dest->BltFast(0, 0, source.get(), nullptr, DDBLTFAST_SRCCOLORKEY));
        EXPECT_EQ((std::vector<DWORD>{kUntouched, 1, 5}), readPixels(dest.get()));
    }
    DDCOLORKEY key{5, 5};
    ASSERT_HR(DD_OK, source->SetColorKey(DDCKEY_SRCBLT, &key));
    ASSERT_HR(DD_OK, source->SetColorKey(DDCKEY_SRCBLT, nullptr));
    {  // key removed: BltFast still applies its value
        SurfacePtr dest = rowSurface({kUntouched, kUntouched, kUntouched}, layout);
        ASSERT_HR(DD_OK, dest->BltFast(0, 0, source.get(), nullptr, DDBLTFAST_SRCCOLORKEY | DDBLTFAST_WAIT));
        EXPECT_EQ((std::vector<DWORD>{0, 1, kUntouched}), readPixels(dest.get()));
    }
}

TEST_F(ColorKeyBlitTest, WithoutAKeyFlagEveryPixelIsCopied) {
    const LayoutCase& layout = layoutNamed("X8R8G8B8");
    const std::vector<DWORD> pixels = {0, 1, 5};
    SurfacePtr source = rowSurface(pixels, layout);
    ASSERT_TRUE(source);
    DDCOLORKEY key{0, 0};
    ASSERT_HR(DD_OK, source->SetColorKey(DDCKEY_SRCBLT, &key));
    SurfacePtr viaBlt = rowSurface({kUntouched, kUntouched, kUntouched}, layout);
    ASSERT_HR(DD_OK, viaBlt->Blt(nullptr, source.get(), nullptr, DDBLT_WAIT, nullptr));
    EXPECT_EQ(pixels, readPixels(viaBlt.get()));
    SurfacePtr viaFast = rowSurface({kUntouched, kUntouched, kUntouched}, layout);
    ASSERT_HR(DD_OK, viaFast->BltFast(0, 0, source.get(), nullptr, DDBLTFAST_WAIT));
    EXPECT_EQ(pixels, readPixels(viaFast.get()));
}

// DDBLTFAST_DESTCOLORKEY writes only over destination pixels whose whole value (X bits
// included) lies in the range of the destination-blit key stored in the *source* surface; a
// source that never had one behaves as keyed on 0. The destination's own key plays no part.
TEST_F(ColorKeyBlitTest, BltFastDestKeyUsesTheSourcesDestinationKey) {
    const LayoutCase& layout = layoutNamed("X8R8G8B8");
    const std::vector<DWORD> before = {0, 0x42424242, 0xFF000000, 0x00424242, 7};
    DDCOLORKEY key{0x00424242, 0x00424242};
    for (int keyed = 0; keyed < 3; ++keyed) {
        SCOPED_TRACE(keyed == 0 ? "no key" : keyed == 1 ? "key on the destination" : "key on the source");
        SurfacePtr source = rowSurface({1, 2, 3, 4, 5}, layout);
        SurfacePtr dest = rowSurface(before, layout);
        ASSERT_TRUE(source && dest);
        IDirectDrawSurface7* keyHolder = keyed == 1 ? dest.get() : source.get();
        if (keyed != 0) {
            ASSERT_HR(DD_OK, keyHolder->SetColorKey(DDCKEY_DESTBLT, &key));
        }
        ASSERT_HR(DD_OK, dest->BltFast(0, 0, source.get(), nullptr, DDBLTFAST_DESTCOLORKEY));
        const std::vector<DWORD> expected =
            keyed == 2 ? std::vector<DWORD>{0, 0x42424242, 0xFF000000, 4, 7}
                       : std::vector<DWORD>{1, 0x42424242, 0xFF000000, 0x00424242, 7};
        EXPECT_EQ(expected, readPixels(dest.get()));
    }
}

}  // namespace
}  // namespace ddtest
