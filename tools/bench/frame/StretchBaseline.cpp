#include "StretchBaseline.h"

namespace framebench {

namespace {

bool isStretched(const SceneQuad& quad) {
    return quad.source.width != quad.destination.width || quad.source.height != quad.destination.height;
}

// DirectDraw's rule: destination offset d reads source offset (d * step) >> 16, with
// step = (source << 16) / destination.
std::uint32_t stretchStep(std::int32_t source, std::int32_t destination) {
    return static_cast<std::uint32_t>((static_cast<std::uint64_t>(source) << 16) /
                                      static_cast<std::uint64_t>(destination));
}

}  // namespace

StretchBaseline::StretchBaseline(const Scene& scene)
    : scene_(scene), screen_(std::size_t{scene.width} * scene.height) {}

std::int64_t StretchBaseline::stretchedPixelCount() const {
    std::int64_t total = 0;
    for (const SceneQuad& quad : scene_.quads)
        if (isStretched(quad)) total += std::int64_t{quad.destination.width} * quad.destination.height;
    return total;
}

void StretchBaseline::stretchAll() {
    for (const SceneQuad& quad : scene_.quads)
        if (isStretched(quad)) stretch(quad);
}

// The scene loader has checked both rectangles against their surfaces.
void StretchBaseline::stretch(const SceneQuad& quad) {
    const SceneTexture& texture = scene_.textures->at(quad.texture);
    const std::uint32_t columnStep = stretchStep(quad.source.width, quad.destination.width);
    const std::uint32_t rowStep = stretchStep(quad.source.height, quad.destination.height);
    columns_.resize(static_cast<std::size_t>(quad.destination.width));
    for (std::size_t d = 0; d < columns_.size(); ++d)
        columns_[d] = static_cast<std::uint32_t>(quad.source.x) +
                      static_cast<std::uint32_t>((std::uint64_t{d} * columnStep) >> 16);
    for (std::int32_t row = 0; row < quad.destination.height; ++row) {
        const std::size_t sourceRow =
            static_cast<std::size_t>(quad.source.y) + ((std::uint64_t(row) * rowStep) >> 16);
        const std::uint32_t* in = texture.texels.data() + sourceRow * texture.width;
        std::uint32_t* out = screen_.data() + std::size_t(quad.destination.y + row) * scene_.width +
                             static_cast<std::size_t>(quad.destination.x);
        for (std::size_t d = 0; d < columns_.size(); ++d) out[d] = in[columns_[d]];
    }
}

}  // namespace framebench
