#pragma once
// What the scene's stretched quads cost when stretched by a plain 32-bit loop: the same
// nearest-neighbour rule as DirectDraw's stretch, into a screen-sized buffer, without any
// DirectDraw. The DirectDraw's own stretch is measured against it.

#include <cstdint>
#include <vector>

#include "scene/SceneFiles.h"

namespace framebench {

class StretchBaseline {
public:
    explicit StretchBaseline(const Scene& scene);

    void stretchAll();                          // every quad whose size differs from its source
    std::int64_t stretchedPixelCount() const;   // destination pixels per stretchAll

private:
    void stretch(const SceneQuad& quad);

    const Scene& scene_;
    std::vector<std::uint32_t> screen_;
    std::vector<std::uint32_t> columns_;  // reused per quad
};

}  // namespace framebench
