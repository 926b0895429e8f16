#pragma once
// The same scene drawn by SDL2's software renderer, the comparison: a 32-bit XRGB8888 surface,
// ARGB8888 textures, one SDL_RenderCopy per quad with colour and alpha modulation.

#include <vector>

#include "screen/FramePixels.h"
#include "scene/SceneFiles.h"

struct SDL_Renderer;
struct SDL_Surface;
struct SDL_Texture;

namespace framebench {

class SdlFrame {
public:
    explicit SdlFrame(const Scene& scene);  // throws std::runtime_error
    ~SdlFrame();
    SdlFrame(const SdlFrame&) = delete;
    SdlFrame& operator=(const SdlFrame&) = delete;

    // Clear, every quad in file order, and a flush so the queued drawing is done.
    void drawFrame();
    FramePixels readTarget() const;

private:
    struct QuadDraw {
        SDL_Texture* texture;
        int blendMode;  // SDL_BlendMode
        unsigned char r, g, b, a;
        int source[4];       // x, y, w, h
        int destination[4];  // x, y, w, h
    };

    void createTextures();
    void prepareQuads();

    const Scene& scene_;
    SDL_Surface* surface_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    std::vector<std::pair<std::string, SDL_Texture*>> textures_;
    std::vector<QuadDraw> quads_;
};

}  // namespace framebench
