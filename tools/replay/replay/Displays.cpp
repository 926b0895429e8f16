#include "replay/Displays.h"

#include <cstdio>
#include <stdexcept>

#include "system/HostPlatform.h"

namespace dd7rreplay {

namespace {

dd7rdemo::DisplayFormat formatOf(const PixelFormatFields& mode) {
    if (mode.bitCount == 16 && mode.red == 0xF800) return dd7rdemo::DisplayFormat::Rgb565;
    if (mode.bitCount == 16 && mode.red == 0x7C00) return dd7rdemo::DisplayFormat::Rgb555;
    if (mode.bitCount != 32)
        std::fprintf(stderr, "dd7r-replay: the captured display had %u bits per pixel; replaying at 32\n",
                     mode.bitCount);
    return dd7rdemo::DisplayFormat::Xrgb32;
}

}  // namespace

Displays::~Displays() {
    for (auto& entry : objects_) dd7rdemo::closeDirectDraw(entry.second);
}

IDirectDraw7* Displays::forMode(const PixelFormatFields* mode) {
    if (mode == nullptr && !objects_.empty()) return objects_.begin()->second;
    const dd7rdemo::DisplayFormat format = mode != nullptr ? formatOf(*mode) : dd7rdemo::DisplayFormat::Xrgb32;
    const auto found = objects_.find(format);
    if (found != objects_.end()) return found->second;
    std::string error;
    IDirectDraw7* directDraw = dd7rdemo::openDirectDraw(format, error);
    if (directDraw == nullptr) throw std::runtime_error("no DirectDraw for the captured display: " + error);
    objects_[format] = directDraw;
    return directDraw;
}

void Displays::loseAllSurfaces() {
    std::string error;
    for (auto& entry : objects_) dd7rdemo::loseAllSurfaces(entry.second, error);
}

}  // namespace dd7rreplay
