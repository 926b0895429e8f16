#pragma once
// The overlay user interface the demo draws over its "game" picture: a status bar, two
// overlapping windows (inventory and settings) with title bars, text, icons, a stretched logo,
// a bar meter and buttons in normal, hover and pressed colours, a translucent message panel
// whose list scrolls, and a tooltip. Everything follows from the state, so a frame can be
// drawn again identically.

#include "interface/Renderer.h"
#include "scene/SkinTextures.h"

#include <string>

namespace dd7rdemo {

struct SceneState {
    unsigned width = 640;
    unsigned height = 480;
    unsigned frame = 0;
    unsigned frames = 1;
    std::string formatName;
    int blendMode = 0;
};

// Submits the quads of one frame (the caller has emptied the queue and renders it afterwards).
void submitScene(ZelUISystem::Renderer& renderer, const SkinTextures& skin,
                 const SceneState& state);

}  // namespace dd7rdemo
