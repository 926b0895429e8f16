// Decoding a 1024 x 1024 picture through the library's entry points, as the module does:
// memory file, open, PF_DONTCARE conversion, destroy. The pictures are made at start-up
// (smooth gradients with noise, like a photo-sized skin texture).
#include <benchmark/benchmark.h>
#include <spng.h>
#include <turbojpeg.h>

#include <cstdint>
#include <cstdlib>
#include <random>
#include <stdexcept>
#include <vector>

#include "corona.h"
#include "interface/RendererDevice.h"
#include "core/ModuleCore.h"
#include "softddraw/PixelFormats.h"
#include "softddraw/SoftDirectDraw.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr int kSide = 1024;

Bytes Picture(int channels) {
  std::mt19937 random(7);
  Bytes pixels;
  pixels.reserve(static_cast<std::size_t>(kSide) * kSide * channels);
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      const unsigned noise = random() % 16;
      pixels.push_back(static_cast<std::uint8_t>(x / 4 + noise));
      pixels.push_back(static_cast<std::uint8_t>(y / 4 + noise));
      pixels.push_back(static_cast<std::uint8_t>((x + y) / 8 + noise));
      if (channels == 4) pixels.push_back(static_cast<std::uint8_t>(x ^ y));
    }
  }
  return pixels;
}

Bytes RgbaPng() {
  const Bytes pixels = Picture(4);
  spng_ctx* context = spng_ctx_new(SPNG_CTX_ENCODER);
  spng_set_option(context, SPNG_ENCODE_TO_BUFFER, 1);
  spng_ihdr header{};
  header.width = kSide;
  header.height = kSide;
  header.bit_depth = 8;
  header.color_type = SPNG_COLOR_TYPE_TRUECOLOR_ALPHA;
  spng_set_ihdr(context, &header);
  std::size_t length = 0;
  int error = 0;
  void* buffer = nullptr;
  if (spng_encode_image(context, pixels.data(), pixels.size(), SPNG_FMT_PNG,
                        SPNG_ENCODE_FINALIZE) == 0) {
    buffer = spng_get_png_buffer(context, &length, &error);
  }
  spng_ctx_free(context);
  if (buffer == nullptr) throw std::runtime_error("PNG encoding failed");
  Bytes png(static_cast<std::uint8_t*>(buffer), static_cast<std::uint8_t*>(buffer) + length);
  std::free(buffer);
  return png;
}

Bytes Jpeg(int flags) {
  const Bytes pixels = Picture(3);
  tjhandle handle = tjInitCompress();
  unsigned char* jpeg = nullptr;
  unsigned long size = 0;
  const int result = tjCompress2(handle, pixels.data(), kSide, 0, kSide, TJPF_RGB, &jpeg, &size,
                                 TJSAMP_420, 90, flags);
  tjDestroy(handle);
  if (result != 0) throw std::runtime_error("JPEG encoding failed");
  Bytes bytes(jpeg, jpeg + size);
  tjFree(jpeg);
  return bytes;
}

void Decode(benchmark::State& state, const Bytes& file) {
  for (auto _ : state) {
    corona::File* memoryFile =
        corona::CorCreateMemoryFile(file.data(), static_cast<int>(file.size()));
    corona::Image* image = corona::CorConvertImage(
        corona::CorOpenImageFromFile(memoryFile, corona::FF_AUTODETECT), corona::PF_DONTCARE);
    memoryFile->destroy();
    if (image == nullptr) {
      state.SkipWithError("decoding failed");
      break;
    }
    benchmark::DoNotOptimize(image->getPixels());
    image->destroy();
  }
  state.SetItemsProcessed(state.iterations() * kSide * kSide);
  state.counters["file_bytes"] = static_cast<double>(file.size());
}

// A renderer device over the software DirectDraw whose textures take the given layout (565, or
// 0 for the 32-bit display's own).
class UploadDevice final : public ZelUISystem::RendererDevice {
 public:
  explicit UploadDevice(int texturePixelFormat)
      : directDraw_(softddraw::SoftDirectDraw::create(softddraw::xrgb32Format())),
        texturePixelFormat_(texturePixelFormat) {}
  ~UploadDevice() { directDraw_->Release(); }
  IDirectDraw7* queryDirectDraw() override { return directDraw_; }
  void reservedDeviceSlot() override {}
  void queryDisplaySize(float* width, float* height) override {
    *width = 64.0f;
    *height = 64.0f;
  }
  int queryBlendMode() override { return 2; }
  int querySurfaceMemory() override { return 0; }
  int queryTexturePixelFormat() override { return texturePixelFormat_; }

 private:
  softddraw::SoftDirectDraw* directDraw_;
  int texturePixelFormat_;
};

// Decode plus upload, as a host's createTexture from file bytes does it.
void DecodeAndUpload(benchmark::State& state, const Bytes& file, int texturePixelFormat) {
  UploadDevice device(texturePixelFormat);
  ZelUISystem::CDD7Render renderer(&device, 0, false);
  for (auto _ : state) {
    ZelUISystem::Texture* texture =
        renderer.createTexture(file.data(), static_cast<std::uint32_t>(file.size()));
    benchmark::DoNotOptimize(texture);
    renderer.releaseTexture(texture);
  }
  state.SetItemsProcessed(state.iterations() * kSide * kSide);
}

void BM_UploadPngRgba1024(benchmark::State& state) {
  static const Bytes png = RgbaPng();
  DecodeAndUpload(state, png, static_cast<int>(state.range(0)));
}
BENCHMARK(BM_UploadPngRgba1024)->Arg(0)->Arg(565)->ArgName("texture_format")->Unit(benchmark::kMillisecond);

void BM_UploadJpegBaseline1024(benchmark::State& state) {
  static const Bytes jpeg = Jpeg(0);
  DecodeAndUpload(state, jpeg, static_cast<int>(state.range(0)));
}
BENCHMARK(BM_UploadJpegBaseline1024)->Arg(0)->Arg(565)->ArgName("texture_format")->Unit(benchmark::kMillisecond);

void BM_DecodePngRgba1024(benchmark::State& state) {
  static const Bytes png = RgbaPng();
  Decode(state, png);
}
BENCHMARK(BM_DecodePngRgba1024)->Unit(benchmark::kMillisecond);

void BM_DecodeJpegBaseline1024(benchmark::State& state) {
  static const Bytes jpeg = Jpeg(0);
  Decode(state, jpeg);
}
BENCHMARK(BM_DecodeJpegBaseline1024)->Unit(benchmark::kMillisecond);

void BM_DecodeJpegProgressive1024(benchmark::State& state) {
  static const Bytes jpeg = Jpeg(TJFLAG_PROGRESSIVE);
  Decode(state, jpeg);
}
BENCHMARK(BM_DecodeJpegProgressive1024)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
