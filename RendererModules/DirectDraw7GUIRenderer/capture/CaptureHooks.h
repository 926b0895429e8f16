#pragma once
// The recorders: one per recorded slot of the slot list (diagnostics/SlotList.h), named by the
// slot's id, each taking the object (an export: the export itself) and the slot's arguments.
// Each slot's prologue calls its recorder straight from the table SlotRecorders.cpp fills. A
// recorder runs the slot again (its body: the table is cleared while a host call runs), records
// the call with what it needed from the host, and returns or rethrows exactly what the slot did.

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
Texture* createSizedTexture(CDD7Render* renderer, float size);
Texture* createTextureFromFileData(CDD7Render* renderer, const std::uint8_t* fileData,
                                   std::uint32_t size);
Texture* createTextureFromFile(CDD7Render* renderer, const char* fileName, const char* directory);
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
