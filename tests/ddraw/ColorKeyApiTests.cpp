// GetColorKey and SetColorKey, for every layout and both memory kinds.

#include "ConformanceFixture.h"

namespace ddtest {
namespace {

using ColorKeyApiTest = DirectDrawTest;

constexpr DWORD kDescFlagsWithSourceKey = 0x0001100F;

void expectKey(IDirectDrawSurface7* surface, DWORD low, DWORD high) {
    DDCOLORKEY key{0xDEADBEEF, 0xDEADBEEF};
    ASSERT_HR(DD_OK, surface->GetColorKey(DDCKEY_SRCBLT, &key));
    EXPECT_EQ(low, key.dwColorSpaceLowValue);
    EXPECT_EQ(high, key.dwColorSpaceHighValue);
}

TEST_F(ColorKeyApiTest, KeysAreStoredAsSingleUnmaskedValues) {
    for (const LayoutCase& layout : allLayouts()) {
        for (MemoryCaps memory : {MemoryCaps::System, MemoryCaps::None}) {
            SCOPED_TRACE(layout.name);
            SurfacePtr keyed = surface(4, 4, layout, memory);
            ASSERT_TRUE(keyed);
            DDCOLORKEY key{0xDEADBEEF, 0xDEADBEEF};
            EXPECT_HR(DDERR_NOCOLORKEY, keyed->GetColorKey(DDCKEY_SRCBLT, &key));
            EXPECT_EQ(0xDEADBEEFu, key.dwColorSpaceLowValue);  // left untouched
            EXPECT_HR(DDERR_NOCOLORKEY, keyed->GetColorKey(DDCKEY_DESTBLT, &key));

            key = DDCOLORKEY{0, 0};
            ASSERT_HR(DD_OK, keyed->SetColorKey(DDCKEY_SRCBLT, &key));
            expectKey(keyed.get(), 0, 0);
            EXPECT_EQ(kDescFlagsWithSourceKey, surfaceDesc(keyed.get()).dwFlags);

            key = DDCOLORKEY{5, 9};
            ASSERT_HR(DD_OK, keyed->SetColorKey(DDCKEY_SRCBLT, &key));
            expectKey(keyed.get(), 5, 5);  // high := low without DDCKEY_COLORSPACE

            for (DDCOLORKEY range : {DDCOLORKEY{5, 9}, DDCOLORKEY{9, 5}}) {
                EXPECT_HR(DDERR_NOCOLORKEYHW,
                          keyed->SetColorKey(DDCKEY_SRCBLT | DDCKEY_COLORSPACE, &range));
                expectKey(keyed.get(), 5, 5);
            }

            key = DDCOLORKEY{0xFFFFFFFF, 0};
            ASSERT_HR(DD_OK, keyed->SetColorKey(DDCKEY_SRCBLT, &key));
            expectKey(keyed.get(), 0xFFFFFFFF, 0xFFFFFFFF);

            ASSERT_HR(DD_OK, keyed->SetColorKey(DDCKEY_SRCBLT, nullptr));
            EXPECT_HR(DDERR_NOCOLORKEY, keyed->GetColorKey(DDCKEY_SRCBLT, &key));
            EXPECT_EQ(0x0000100Fu, surfaceDesc(keyed.get()).dwFlags);
            EXPECT_HR(DD_OK, keyed->SetColorKey(DDCKEY_SRCBLT, nullptr));  // also without a key
        }
    }
}

TEST_F(ColorKeyApiTest, RefusesMissingOrMixedKindsAndMissingOutput) {
    SurfacePtr keyed = surface(4, 4);
    ASSERT_TRUE(keyed);
    DDCOLORKEY key{1, 1};
    EXPECT_HR(DDERR_INVALIDPARAMS, keyed->SetColorKey(0, &key));
    EXPECT_HR(DDERR_INVALIDPARAMS, keyed->SetColorKey(DDCKEY_SRCBLT | DDCKEY_DESTBLT, &key));
    ASSERT_HR(DD_OK, keyed->SetColorKey(DDCKEY_SRCBLT, &key));
    EXPECT_HR(DDERR_INVALIDPARAMS, keyed->GetColorKey(DDCKEY_SRCBLT, nullptr));
    EXPECT_HR(DDERR_INVALIDPARAMS, keyed->GetColorKey(0, &key));
}

}  // namespace
}  // namespace ddtest
