#pragma once
// A renderer with a target surface and helpers to build textures and submit quads, for tests
// that check drawn pixels.

#include <cstdint>
#include <vector>

#include "support/RendererFixture.h"

namespace moduletest {

// The layout the renderer's textures and the target share.
enum class SceneFormat { Rgb565, Rgb555, Xrgb32 };

class SceneFixture : public RendererFixture {
protected:
    // A renderer in `blendMode` whose textures use `format`, and a target of width x height
    // in the same format, filled with `background`.
    void buildScene(int blendMode, SceneFormat format, DWORD width = 32, DWORD height = 24,
                    DWORD background = 0);
    void TearDown() override;

    // A texture uploaded from RGB (or RGBA) bytes, row by row.
    ZelUISystem::CDD7Texture* textureFromPixels(const std::vector<std::uint8_t>& pixels,
                                                std::uint32_t width, std::uint32_t height,
                                                ZelUISystem::TextureFormat format,
                                                bool inMemory = false);
    ZelUISystem::CDD7Texture* solidTexture(std::uint32_t width, std::uint32_t height,
                                           std::uint8_t r, std::uint8_t g, std::uint8_t b);

    // Submits a quad whose four corners share one colour.
    void submit(ZelUISystem::Texture* texture, RECT dest, RECT source, std::uint32_t colour,
                float z = 0.0f);

    DWORD targetPixel(DWORD x, DWORD y) const { return ddtest::readPixel(target.get(), x, y); }
    // The surface value an RGB colour has in the scene's layout (as an RGB upload writes it).
    DWORD rgbValue(std::uint8_t r, std::uint8_t g, std::uint8_t b) const;

    SceneFormat sceneFormat = SceneFormat::Xrgb32;
    RendererPtr renderer;
    ddtest::SurfacePtr target;
};

}  // namespace moduletest
