#include "fuzzhost/FuzzHost.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <limits>

#include "fuzzhost/DisplayLayouts.h"
#include "corona_testing.h"
#include "core/ModuleCore.h"

namespace dd7rfuzz {

namespace {

// Display sizes a broken or hostile device may report.
const float kHostileSizes[] = {
    std::numeric_limits<float>::quiet_NaN(), -std::numeric_limits<float>::infinity(),
    std::numeric_limits<float>::infinity(),  -5.0f, 0.0f, 0.75f, 1e9f, 4.3e9f,
};

constexpr int kTexturePixelFormats[] = {0, 555, 565};

float hostileSize(ByteReader& input) { return kHostileSizes[input.choice(std::size(kHostileSizes))]; }

// The host's target is sized like the display, within what a host would allocate.
DWORD targetDimension(float size) {
    if (!(size >= 1.0f) || size > 4096.0f) return 0;
    return static_cast<DWORD>(size);
}

IDirectDrawSurface7* createTarget(IDirectDraw7* directDraw, const DDPIXELFORMAT& layout,
                                  float width, float height) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwWidth = targetDimension(width);
    desc.dwHeight = targetDimension(height);
    desc.ddpfPixelFormat = layout;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    if (desc.dwWidth == 0 || desc.dwHeight == 0) return nullptr;
    IDirectDrawSurface7* surface = nullptr;
    if (FAILED(directDraw->CreateSurface(&desc, &surface, nullptr))) return nullptr;
    return surface;
}

}  // namespace

HostConfig readHostConfig(ByteReader& input) {
    HostConfig config;
    config.displayLayout = input.choice(displayLayoutCount());
    const std::uint8_t blend = input.byte();
    config.blendMode = (blend & 0x40) != 0 ? 7 : blend % 3;  // 7: an answer outside 0..2
    config.mmx = (blend & 0x80) == 0;
    const std::uint8_t memory = input.byte();
    config.surfaceMemory = memory % 16 == 15 ? 1 : (memory % 16 == 14 ? 2 : 0);
    config.texturePixelFormat = kTexturePixelFormats[(memory >> 4) % std::size(kTexturePixelFormats)];
    config.displayWidth = static_cast<float>(1 + input.byte() % 96);
    config.displayHeight = static_cast<float>(1 + input.byte() % 72);
    const std::uint8_t hostile = input.byte();
    if (hostile == 0xFF) config.displayWidth = hostileSize(input);
    if (hostile == 0xFE) config.displayHeight = hostileSize(input);
    return config;
}

FuzzHost::FuzzHost(const HostConfig& config)
    : directDraw_(ddtest::createHookedDirectDraw(displayLayout(config.displayLayout))) {
    if (directDraw_ == nullptr) finding("no DirectDraw could be had");
    ZelUISystem::overrideProcessorHasMMXForTesting(config.mmx ? 1 : 0);
    device_.directDraw = directDraw_;
    device_.width = config.displayWidth;
    device_.height = config.displayHeight;
    device_.blendMode = config.blendMode;
    device_.surfaceMemory = config.surfaceMemory;
    device_.texturePixelFormat = config.texturePixelFormat;
    target_ = createTarget(directDraw_, displayLayout(config.displayLayout), config.displayWidth,
                           config.displayHeight);
}

FuzzHost::~FuzzHost() {
    destroyRenderer();
    if (target_ != nullptr) target_->Release();
    if (directDraw_->liveSurfaceCount() != 0) finding("a surface outlived destroyRenderer");
    if (directDraw_->releasedTooOftenCount() != 0) finding("a surface was released too often");
    if (directDraw_->usedAfterReleaseCount() != 0) finding("a surface was used after its release");
    if (directDraw_->referenceCount() != 1) finding("the DirectDraw reference count changed");
    if (corona::testing::LiveImageCount() != 0) finding("an image was never destroyed");
    if (corona::testing::LiveFileCount() != 0) finding("a memory file was never destroyed");
    directDraw_->Release();
    ZelUISystem::overrideProcessorHasMMXForTesting(-1);
}

bool FuzzHost::createRenderer() {
    destroyRenderer();
    return hostCall([this] { renderer_ = new ZelUISystem::CDD7Render(&device_, 0, false); });
}

void FuzzHost::destroyRenderer() {
    // The host hands the renderer back as destroyRenderer does: through its destroy slot.
    ZelUISystem::Renderer* renderer = renderer_;
    renderer_ = nullptr;
    if (renderer != nullptr) renderer->destroy(ZelUISystem::kDestroyAndFree);
}

void finding(const char* what) {
    std::fprintf(stderr, "dd7r fuzz finding: %s\n", what);
    std::abort();
}

}  // namespace dd7rfuzz
