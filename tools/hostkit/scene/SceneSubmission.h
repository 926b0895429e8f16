#pragma once
// The scene handed to a renderer through the host's interfaces, the same way in both frame
// benchmarks: its textures uploaded once, then every quad queued in file order.

#include <map>
#include <string>
#include <vector>

#include "scene/SceneFiles.h"

namespace ZelUISystem {
class Renderer;
class Texture;
}  // namespace ZelUISystem

namespace framebench {

// Every texture of the scene, uploaded into a new texture of `renderer`, by name.
std::map<std::string, ZelUISystem::Texture*> uploadSceneTextures(ZelUISystem::Renderer& renderer,
                                                                 const Scene& scene);

// The texture of each quad, in quad order.
std::vector<ZelUISystem::Texture*> quadTexturesOf(const Scene& scene,
                                                  const std::map<std::string, ZelUISystem::Texture*>& textures);

// Queues every quad; the first quad of the list gets the largest z, so it is drawn first.
void submitQuads(ZelUISystem::Renderer& renderer, const Scene& scene,
                 const std::vector<ZelUISystem::Texture*>& quadTextures);

// Empties the queue, then queues every quad.
void submitScene(ZelUISystem::Renderer& renderer, const Scene& scene,
                 const std::vector<ZelUISystem::Texture*>& quadTextures);

}  // namespace framebench
