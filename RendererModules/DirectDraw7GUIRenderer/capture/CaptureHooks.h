#pragma once
// The recorders: one per recorded slot, each taking the object and the slot's arguments. The two
// exports call theirs directly at host level; the renderer's and the textures' slots reach theirs
// through their hook (diagnostics/SlotRecorder.h). A recorder runs the slot itself (its body, not
// the hook again), records the call with what it needed from the host, and returns or rethrows
// exactly what the slot did.

#include <cstdint>

#include "capture/HostLevel.h"
#include "interface/ModuleExports.h"
#include "interface/Renderer.h"
#include "interface/Texture.h"

struct IDirectDrawSurface7;

namespace ZelUISystem {

class CDD7Render;
class CDD7Texture;

namespace capture {

Renderer* createRenderer(CreateRendererFn create, RendererDevice* device, std::uint32_t reserved,
                         bool hostFlag, const char* loggerDirectory, std::uint32_t loggerValueA,
                         std::uint32_t loggerValueB);
void destroyRenderer(DestroyRendererFn destroy, Renderer* renderer);

void submitQuad(CDD7Render* renderer, FloatRect destRect, float z, Texture* texture,
                FloatRect sourceRect, CornerColours colours, std::int32_t reserved);
void renderQueue(CDD7Render* renderer);
void discardQueue(CDD7Render* renderer);
void setQueueing(CDD7Render* renderer, bool queueing);
Texture* createTexture(CDD7Render* renderer);
Texture* createTexture(CDD7Render* renderer, float size);
Texture* createTexture(CDD7Render* renderer, const std::uint8_t* fileData, std::uint32_t size);
Texture* createTexture(CDD7Render* renderer, const char* fileName, const char* directory);
void releaseTexture(CDD7Render* renderer, Texture* texture);
void releaseAllTextures(CDD7Render* renderer);
void preD3DReset(CDD7Render* renderer);
void postD3DReset(CDD7Render* renderer, bool* sizeChanged);
void setTargetSurface(CDD7Render* renderer, IDirectDrawSurface7* surface);

void loadFromFile(CDD7Texture* texture, const char* fileName, const char* directory);
void loadFromFileData(CDD7Texture* texture, const std::uint8_t* data, std::uint32_t size);
void loadFromMemory(CDD7Texture* texture, const void* pixels, std::uint32_t width,
                    std::uint32_t height, TextureFormat format);
void fillFromMemory(CDD7Texture* texture, const void* pixels, std::uint32_t x, std::uint32_t y,
                    std::uint32_t width, std::uint32_t height, std::uint32_t pitch,
                    TextureFormat format);

}  // namespace capture
}  // namespace ZelUISystem
