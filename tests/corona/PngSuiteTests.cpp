// The PngSuite conformance images shipped in Debian's libspng source package, fetched into
// the build folder before this test runs: every valid image decodes (natively: exactly as
// libpng decodes it), every deliberately corrupt one (x*.png) gives null.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "DecodeThroughCorona.h"
#ifdef CORONA_TESTS_WITH_LIBPNG
#include "LibpngReference.h"
#endif

namespace corona_tests {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kSuiteImages = 175;
constexpr std::size_t kCorruptImages = 14;

struct SuiteImage {
  std::string name;
  Bytes bytes;
};

std::vector<SuiteImage> LoadSuite() {
  std::vector<SuiteImage> images;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(CORONA_PNGSUITE_DIR, error)) {
    if (entry.path().extension() != ".png") continue;
    std::ifstream in(entry.path(), std::ios::binary);
    images.push_back({entry.path().filename().string(),
                      Bytes(std::istreambuf_iterator<char>(in), {})});
  }
  std::sort(images.begin(), images.end(),
            [](const SuiteImage& a, const SuiteImage& b) { return a.name < b.name; });
  return images;
}

bool IsCorrupt(const SuiteImage& image) { return image.name[0] == 'x'; }

// Loaded once: the images are read-only for every test below.
const std::vector<SuiteImage>& Suite() {
  static const std::vector<SuiteImage> suite = LoadSuite();
  return suite;
}

TEST(PngSuite, IsPresentInFull) {
  ASSERT_EQ(Suite().size(), kSuiteImages)
      << "PngSuite images missing from " << CORONA_PNGSUITE_DIR
      << ": the corona_pngsuite fixture fetches them (scripts/build-windows-deps.sh "
         "--sources-only, which needs the Debian mirror)";
  EXPECT_EQ(std::count_if(Suite().begin(), Suite().end(), IsCorrupt),
            static_cast<std::ptrdiff_t>(kCorruptImages));
}

TEST(PngSuite, EveryCorruptImageGivesNull) {
  ASSERT_EQ(Suite().size(), kSuiteImages);
  for (const SuiteImage& image : Suite()) {
    if (!IsCorrupt(image)) continue;
    EXPECT_FALSE(DecodeThroughCorona(image.bytes).ok) << image.name;
  }
}

TEST(PngSuite, EveryValidImageDecodesToTightlyPackedRgbOrRgba) {
  ASSERT_EQ(Suite().size(), kSuiteImages);
  for (const SuiteImage& image : Suite()) {
    if (IsCorrupt(image)) continue;
    const Decoded decoded = DecodeThroughCorona(image.bytes);
    ASSERT_TRUE(decoded.ok) << image.name;
    EXPECT_TRUE(decoded.format == corona::PF_R8G8B8A8 || decoded.format == corona::PF_R8G8B8)
        << image.name;
    EXPECT_GE(decoded.width, 1) << image.name;
    EXPECT_GE(decoded.height, 1) << image.name;
  }
}

#ifdef CORONA_TESTS_WITH_LIBPNG
TEST(PngSuite, EveryValidImageEqualsLibpngsDecodingPixelForPixel) {
  ASSERT_EQ(Suite().size(), kSuiteImages);
  for (const SuiteImage& image : Suite()) {
    if (IsCorrupt(image)) continue;
    const Decoded reference = LibpngReference(image.bytes);
    ASSERT_TRUE(reference.ok) << image.name << ": libpng refuses it";
    const Decoded decoded = DecodeThroughCorona(image.bytes);
    ASSERT_TRUE(decoded.ok) << image.name;
    EXPECT_EQ(decoded.width, reference.width) << image.name;
    EXPECT_EQ(decoded.height, reference.height) << image.name;
    EXPECT_EQ(decoded.format, reference.format) << image.name;
    EXPECT_TRUE(decoded.pixels == reference.pixels) << image.name;
  }
}
#endif

}  // namespace
}  // namespace corona_tests
