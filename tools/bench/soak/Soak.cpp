// A long session of a busy host: every frame creates textures of three kinds (image file bytes,
// raw pixels the host keeps, a blank texture filled in part), draws a few dozen opaque,
// translucent, tinted and stretched quads, and releases the textures again; every few hundred
// frames the device is reset, alternating between two display sizes. Resident memory, heap in
// use and live surfaces are printed as the frames go by.
//
// The software DirectDraw keeps a small record of every surface it ever made (so that a surplus
// Release is caught without touching freed memory); that record grows with every texture and is
// not the module's. A control run measures its size per surface first, and the "net heap"
// column is the heap growth less those records: it must stay flat, as must the live surfaces.
// Exits 1 when a surface, image or memory file outlives destroyRenderer.

#include <malloc.h>
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

#include "corona_testing.h"
#include "interface/ModuleExports.h"
#include "interface/Renderer.h"
#include "interface/Texture.h"
#include "core/ModuleCore.h"
#include "softddraw/PixelFormats.h"
#include "softddraw/SoftDirectDraw.h"
#include "fuzzhost/FuzzHost.h"
#include "fuzzhost/TestPicture.h"

namespace {

using ZelUISystem::Renderer;
using ZelUISystem::Texture;

struct SoakSettings {
    int frames = 5000;
    int resetInterval = 300;
    int blendMode = 2;
    double recordBytesPerSurface = 0.0;
};

SoakSettings settingsFrom(int argc, char** argv) {
    SoakSettings settings;
    if (argc > 1) settings.frames = std::atoi(argv[1]);
    if (argc > 2) settings.resetInterval = std::atoi(argv[2]);
    if (argc > 3) settings.blendMode = std::atoi(argv[3]);
    if (settings.resetInterval < 1) settings.resetInterval = 1;
    return settings;
}

long residentKilobytes() {
    std::ifstream statm("/proc/self/statm");
    long size = 0, resident = 0;
    statm >> size >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

long long heapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<long long>(info.uordblks + info.hblkhd);
}

// Heap bytes the software DirectDraw keeps for each surface made and released.
double standInRecordBytesPerSurface() {
    softddraw::SoftDirectDraw* control =
        softddraw::SoftDirectDraw::create(softddraw::xrgb32Format(), softddraw::VideoMemory::Absent);
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
    desc.dwWidth = 8;
    desc.dwHeight = 8;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
    auto makeAndRelease = [&](int count) {
        for (int i = 0; i < count; ++i) {
            IDirectDrawSurface7* surface = nullptr;
            if (SUCCEEDED(control->CreateSurface(&desc, &surface, nullptr))) surface->Release();
        }
        control->clearCallLog();
    };
    // The first batch grows the call log to its full size, so that the second one measures the
    // surface records alone.
    constexpr int kSurfaces = 20000;
    makeAndRelease(kSurfaces);
    const long long before = heapInUse();
    makeAndRelease(kSurfaces);
    const double perSurface = static_cast<double>(heapInUse() - before) / kSurfaces;
    control->Release();
    return perSurface;
}

std::vector<std::uint8_t> rgbaPixels(std::uint32_t width, std::uint32_t height, int frame) {
    std::vector<std::uint8_t> pixels(std::size_t{width} * height * 4);
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint8_t>(i * 7 + frame);
    return pixels;
}

class SoakHost {
public:
    explicit SoakHost(const SoakSettings& settings)
        : settings_(settings),
          soft_(softddraw::SoftDirectDraw::create(softddraw::xrgb32Format(), softddraw::VideoMemory::Absent)),
          pngFile_(dd7rfuzz::encodeInFormat(0, dd7rfuzz::makePicture(32, 32, 5))),
          jpegFile_(dd7rfuzz::encodeInFormat(2, dd7rfuzz::makePicture(40, 24, 6))) {
        device_.directDraw = soft_;
        device_.width = 320.0f;
        device_.height = 240.0f;
        device_.blendMode = settings.blendMode;
        ZelUISystem::overrideProcessorHasMMXForTesting(1);
        target_ = createTarget(320, 240);
    }

    ~SoakHost() { soft_->Release(); }

    // Runs the frames and answers whether everything was cleaned up.
    bool run() {
        renderer_ = createRenderer(&device_, 0, false, "/nonexistent-dd7r-logger/", 0, 0);
        if (renderer_ == nullptr) {
            std::printf("createRenderer failed: %s\n", getLastErrorString());
            return false;
        }
        renderer_->setTargetSurface(target_);
        const auto start = std::chrono::steady_clock::now();
        startHeap_ = heapInUse();
        std::printf("%8s %10s %10s %10s %12s %8s %8s\n", "frame", "rss_kb", "heap_kb", "made", "net_heap_kb",
                    "surfaces", "seconds");
        for (int frame = 1; frame <= settings_.frames; ++frame) {
            drawFrame(frame);
            if (frame % settings_.resetInterval == 0) reset(frame / settings_.resetInterval);
            // The stand-in logs every call; the log is the stand-in's memory, not the module's.
            countCreatedSurfaces();
            soft_->clearCallLog();
            if (frame % 500 == 0 || frame == settings_.frames) report(frame, start);
        }
        destroyRenderer(renderer_);
        target_->Release();
        const bool clean = soft_->liveSurfaceCount() == 0 && soft_->releasedTooOftenCount() == 0 &&
                           soft_->usedAfterReleaseCount() == 0 && corona::testing::LiveImageCount() == 0 &&
                           corona::testing::LiveFileCount() == 0;
        std::printf("after destroyRenderer: %zu live surfaces, %zu surplus releases, %zu uses after release, "
                    "%d images, %d memory files\n",
                    soft_->liveSurfaceCount(), soft_->releasedTooOftenCount(), soft_->usedAfterReleaseCount(),
                    corona::testing::LiveImageCount(), corona::testing::LiveFileCount());
        return clean;
    }

private:
    IDirectDrawSurface7* createTarget(DWORD width, DWORD height) {
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof(desc);
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        desc.dwWidth = width;
        desc.dwHeight = height;
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
        IDirectDrawSurface7* surface = nullptr;
        if (FAILED(soft_->CreateSurface(&desc, &surface, nullptr))) std::abort();
        return surface;
    }

    std::vector<Texture*> createFrameTextures(int frame) {
        std::vector<Texture*> textures;
        const std::vector<std::uint8_t>& file = frame % 2 == 0 ? pngFile_ : jpegFile_;
        textures.push_back(renderer_->createTexture(file.data(), static_cast<std::uint32_t>(file.size())));

        Texture* kept = renderer_->createTexture();
        kept->inMemory = true;
        const std::vector<std::uint8_t> pixels = rgbaPixels(24, 24, frame);
        kept->loadFromMemory(pixels.data(), 24, 24, ZelUISystem::TEXFMT_RGBA);
        textures.push_back(kept);

        Texture* blank = renderer_->createTexture();
        blank->loadFromMemory(pixels.data(), 16, 16, ZelUISystem::TEXFMT_BGRA);
        blank->fillFromMemory(pixels.data(), 4, 4, 8, 8, 24 * 4, ZelUISystem::TEXFMT_BGRA);
        textures.push_back(blank);
        return textures;
    }

    void drawFrame(int frame) {
        try {
            const std::vector<Texture*> textures = createFrameTextures(frame);
            const std::uint32_t colours[] = {0xFFFFFFFFu, 0x80FFFFFFu, 0xC0408020u, 0xFF20C0FFu};
            float z = 0.0f;
            for (int i = 0; i < 32; ++i) {
                Texture* texture = textures[static_cast<std::size_t>(i) % textures.size()];
                const float width = static_cast<float>(texture->getWidth());
                const float height = static_cast<float>(texture->getHeight());
                const float x = static_cast<float>((i * 37 + frame) % 300) - 10.0f;
                const float y = static_cast<float>((i * 23 + frame * 3) % 220) - 10.0f;
                const float scale = i % 3 == 0 ? 1.5f : 1.0f;
                renderer_->submitQuad({x, y, x + width * scale, y + height * scale}, z += 1.0f, texture,
                                      {0, 0, width, height}, dd7rfuzz::sameCorners(colours[i % 4]), 0);
            }
            renderer_->renderQueue();
            renderer_->discardQueue();
            for (Texture* texture : textures) renderer_->releaseTexture(texture);
        } catch (const std::exception& error) {
            std::printf("frame %d: %s\n", frame, error.what());
        }
    }

    void reset(int count) {
        renderer_->preD3DReset();
        device_.width = count % 2 == 0 ? 320.0f : 256.0f;
        device_.height = count % 2 == 0 ? 240.0f : 200.0f;
        bool sizeChanged = false;
        renderer_->postD3DReset(&sizeChanged);
    }

    void countCreatedSurfaces() {
        for (const softddraw::CallRecord& record : soft_->callsOf(softddraw::Operation::CreateSurface))
            if (record.result == DD_OK) ++surfacesMade_;
    }

    void report(int frame, std::chrono::steady_clock::time_point start) {
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const long long heap = heapInUse();
        const double standInRecords = settings_.recordBytesPerSurface * static_cast<double>(surfacesMade_);
        const double netHeap = static_cast<double>(heap - startHeap_) - standInRecords;
        std::printf("%8d %10ld %10lld %10lld %12.1f %8zu %8.1f\n", frame, residentKilobytes(), heap / 1024,
                    surfacesMade_, netHeap / 1024.0, soft_->liveSurfaceCount(), seconds);
        std::fflush(stdout);
    }

    SoakSettings settings_;
    softddraw::SoftDirectDraw* soft_;
    dd7rfuzz::FuzzDevice device_;
    IDirectDrawSurface7* target_ = nullptr;
    Renderer* renderer_ = nullptr;
    long long startHeap_ = 0;
    long long surfacesMade_ = 0;
    std::vector<std::uint8_t> pngFile_;
    std::vector<std::uint8_t> jpegFile_;
};

}  // namespace

int main(int argc, char** argv) {
    SoakSettings settings = settingsFrom(argc, argv);
    settings.recordBytesPerSurface = standInRecordBytesPerSurface();
    std::printf("soak: %d frames, device reset every %d frames, blend mode %d; the software DirectDraw keeps "
                "%.1f bytes per surface made\n",
                settings.frames, settings.resetInterval, settings.blendMode, settings.recordBytesPerSurface);
    SoakHost host(settings);
    return host.run() ? 0 : 1;
}
