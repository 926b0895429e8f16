#pragma once
// What a texture needs from the renderer that owns it to make surfaces: the host's DirectDraw
// object, which a device reset may replace, and the host's device, asked for the memory and the
// pixel format of every new surface. The renderer keeps one and updates it in place, so its
// textures always create with the current DirectDraw object.

struct IDirectDraw7;

namespace ZelUISystem {

class RendererDevice;

struct TextureDevice {
    IDirectDraw7* directDraw = nullptr;
    RendererDevice* device = nullptr;
};

}  // namespace ZelUISystem
