#pragma once
// The benchmark scene as stored on disk: one quad list per screen size (scene-<W>x<H>.csv) and
// raw textures (tex-<name>-<W>x<H>.bgra, B,G,R,A bytes per texel, rows without padding).

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace framebench {

struct PixelRect {
    std::int32_t x;
    std::int32_t y;
    std::int32_t width;
    std::int32_t height;
};

struct SceneQuad {
    std::string kind;
    std::string texture;
    PixelRect source;
    PixelRect destination;
    std::uint32_t argb;  // 0xAARRGGBB, the same at all four corners
};

struct SceneTexture {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<std::uint32_t> texels;  // 0xAARRGGBB, row-major
};

// Transparent texels are exactly 0; every other texel is opaque.
bool hasTransparentTexels(const SceneTexture& texture);

// The colour every frame starts from (XRGB).
constexpr std::uint32_t kClearColour = 0x202830;

struct Scene {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::vector<SceneQuad> quads;  // in drawing order
    const std::map<std::string, SceneTexture>* textures = nullptr;  // by name, owned by the caller
};

// The destination pixels of all quads together, overlaps counted each time.
std::int64_t quadPixelCount(const Scene& scene);

// Every texture of the folder, by name. Throws std::runtime_error on a missing or malformed file.
std::map<std::string, SceneTexture> loadSceneTextures(const std::string& directory);

// The screen sizes the folder has a quad list for, smallest first.
std::vector<std::pair<std::uint32_t, std::uint32_t>> findSceneSizes(const std::string& directory);

// The quad list of one screen size, each quad checked against its texture and the screen.
// Throws std::runtime_error naming the file and line of the first fault.
Scene loadScene(const std::string& directory, std::uint32_t width, std::uint32_t height,
                const std::map<std::string, SceneTexture>& textures);

std::string sizeLabel(std::uint32_t width, std::uint32_t height);

}  // namespace framebench
