// Fuzz target: bytes of an image file through createTexture(fileData, size), on a renderer over
// the software DirectDraw. Input: five bytes of host configuration, one byte choosing the quad's
// colour, then the file. A texture that loads is drawn, survives a device reset (it is rebuilt
// from its kept file bytes), is drawn again and released.

#include <cstdint>
#include <cstring>
#include <iterator>
#include <string>

#include "fuzzhost/ByteReader.h"
#include "fuzzhost/FuzzHost.h"

namespace {

const char kFileDataFailure[] = "CDD7Render::createTexture failed from file data : (";

// Opaque white (copied), translucent white (blended), a tint, and fully transparent.
const std::uint32_t kQuadColours[] = {0xFFFFFFFFu, 0x80FFFFFFu, 0xFF4080C0u, 0x00000000u};

void drawWhole(ZelUISystem::CDD7Render& renderer, ZelUISystem::Texture* texture, std::uint32_t colour) {
    const float width = static_cast<float>(texture->getWidth());
    const float height = static_cast<float>(texture->getHeight());
    const ZelUISystem::FloatRect source{0.0f, 0.0f, width, height};
    const ZelUISystem::FloatRect dest{1.0f, 1.0f, 1.0f + width / 2, 1.0f + height};  // stretched
    renderer.submitQuad(source, 0.0f, texture, source, dd7rfuzz::sameCorners(colour), 0);
    renderer.submitQuad(dest, 1.0f, texture, source, dd7rfuzz::sameCorners(colour), 0);
    renderer.renderQueue();
}

void loadDrawResetRelease(dd7rfuzz::FuzzHost& host, const std::uint8_t* file, std::size_t size,
                          std::uint32_t colour) {
    ZelUISystem::CDD7Render& renderer = *host.renderer();
    renderer.setTargetSurface(host.target());
    ZelUISystem::Texture* texture = nullptr;
    try {
        texture = renderer.createTexture(file, static_cast<std::uint32_t>(size));
    } catch (const std::exception& error) {
        if (std::strncmp(error.what(), kFileDataFailure, std::size(kFileDataFailure) - 1) != 0)
            dd7rfuzz::finding("createTexture failed without its prefix");
        return;
    }
    dd7rfuzz::hostCall([&] { drawWhole(renderer, texture, colour); });
    dd7rfuzz::hostCall([&] { renderer.preD3DReset(); });
    bool sizeChanged = false;
    dd7rfuzz::hostCall([&] { renderer.postD3DReset(&sizeChanged); });
    dd7rfuzz::hostCall([&] { drawWhole(renderer, texture, colour); });
    renderer.releaseTexture(texture);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    dd7rfuzz::ByteReader input(data, size);
    const dd7rfuzz::HostConfig config = dd7rfuzz::readHostConfig(input);
    const std::uint32_t colour = kQuadColours[input.choice(std::size(kQuadColours))];
    const std::size_t fileSize = input.remaining();
    const std::uint8_t* file = data + (size - fileSize);

    dd7rfuzz::FuzzHost host(config);
    if (!host.createRenderer()) return 0;
    loadDrawResetRelease(host, file, fileSize, colour);
    return 0;
}
