#include "report/FrameHistory.h"

#include <cstdio>

#include "image/SurfaceCapture.h"

namespace dd7rreplay {

namespace {

// The widening of one channel, as the replay's frame files widen it.
std::uint8_t channel(std::uint32_t value, std::uint32_t mask) {
    if (mask == 0) return 0;
    unsigned shift = 0;
    while (((mask >> shift) & 1u) == 0) ++shift;
    unsigned bits = 0;
    while (shift + bits < 32 && ((mask >> (shift + bits)) & 1u) != 0) ++bits;
    if (bits > 8) {
        shift += bits - 8;
        bits = 8;
    }
    return dd7rdemo::widenChannel((value >> shift) & ((1u << bits) - 1u), bits);
}

std::string valueText(std::uint32_t value, const PixelLayout& layout) {
    const Rgb rgb = toRgb(value, layout);
    char text[64];
    std::snprintf(text, sizeof(text), "0x%0*x (%u, %u, %u)", static_cast<int>(layout.bytes * 2), value, rgb.red,
                  rgb.green, rgb.blue);
    return text;
}

}  // namespace

std::uint32_t pixelValue(const std::uint8_t* pixel, unsigned bytes) {
    std::uint32_t value = 0;
    for (unsigned i = 0; i < bytes && i < 4; ++i) value |= static_cast<std::uint32_t>(pixel[i]) << (8 * i);
    return value;
}

Rgb toRgb(std::uint32_t value, const PixelLayout& layout) {
    return Rgb{channel(value, layout.red), channel(value, layout.green), channel(value, layout.blue)};
}

bool texelOf(const QuadInputs& inputs, int x, int y, int& u, int& v) {
    const std::int64_t destWidth = inputs.dest[2] - inputs.dest[0];
    const std::int64_t destHeight = inputs.dest[3] - inputs.dest[1];
    const std::int64_t sourceWidth = inputs.source[2] - inputs.source[0];
    const std::int64_t sourceHeight = inputs.source[3] - inputs.source[1];
    const std::int64_t dx = x - inputs.dest[0];
    const std::int64_t dy = y - inputs.dest[1];
    if (destWidth <= 0 || destHeight <= 0 || sourceWidth <= 0 || sourceHeight <= 0) return false;
    if (dx < 0 || dy < 0 || dx >= destWidth || dy >= destHeight) return false;
    const std::int64_t stepX = (sourceWidth << 16) / destWidth;
    const std::int64_t stepY = (sourceHeight << 16) / destHeight;
    u = static_cast<int>(inputs.source[0] + ((dx * stepX) >> 16));
    v = static_cast<int>(inputs.source[1] + ((dy * stepY) >> 16));
    return true;
}

std::string writeExplained(const InspectEvent& event, int x, int y) {
    if (event.kind == "present") return "copied from the composition surface (its black left out)";
    if (!event.hasInputs) return event.kind == "quad" ? "" : "written by the call";
    const QuadInputs& in = event.inputs;
    std::string text = in.path + (in.kernel.empty() ? "" : ", kernel " + in.kernel);
    int u = 0;
    int v = 0;
    if (texelOf(in, x, y, u, v)) {
        text += "; texel (" + std::to_string(u) + ", " + std::to_string(v) + ")";
        const TexturePixels* texture = in.texture.get();
        if (texture != nullptr && u >= 0 && v >= 0 && u < texture->width && v < texture->height && texture->layout.bytes != 0) {
            const std::size_t at = (static_cast<std::size_t>(v) * static_cast<std::size_t>(texture->width) +
                                    static_cast<std::size_t>(u)) * texture->layout.bytes;
            if (at + texture->layout.bytes <= texture->bytes.size())
                text += " of texture " + std::to_string(texture->id) + " = " +
                        valueText(pixelValue(texture->bytes.data() + at, texture->layout.bytes), texture->layout);
        }
    }
    text += "; quad colour (a r g b) " + std::to_string(in.colour[0]) + " " + std::to_string(in.colour[1]) + " " +
            std::to_string(in.colour[2]) + " " + std::to_string(in.colour[3]);
    return text;
}

bool pixelHistory(const InspectFrame& frame, unsigned x, unsigned y, PixelHistory& history) {
    if (x >= frame.width || y >= frame.height || frame.layout.bytes == 0) return false;
    const std::size_t at = (static_cast<std::size_t>(y) * frame.width + x) * frame.layout.bytes;
    if (at + frame.layout.bytes > frame.base.size()) return false;
    history.start = pixelValue(frame.base.data() + at, frame.layout.bytes);
    history.steps.clear();
    std::uint32_t target = history.start;
    std::uint32_t composition = 0;
    bool compositionKnown = false;
    const int px = static_cast<int>(x);
    const int py = static_cast<int>(y);
    for (std::size_t index = 0; index < frame.events.size(); ++index) {
        const InspectEvent& event = frame.events[index];
        const Patch& patch = event.patch;
        if (!event.hasPatch || px < patch.left || px >= patch.right || py < patch.top || py >= patch.bottom) continue;
        const PixelLayout& layout = patch.composition ? frame.compositionLayout : frame.layout;
        const std::size_t offset =
            patch.offset + (static_cast<std::size_t>(py - patch.top) * static_cast<std::size_t>(patch.right - patch.left) +
                            static_cast<std::size_t>(px - patch.left)) *
                               layout.bytes;
        if (offset + layout.bytes > frame.pixels.size()) continue;
        PixelStep step;
        step.event = index;
        step.composition = patch.composition;
        step.after = pixelValue(frame.pixels.data() + offset, layout.bytes);
        if (patch.composition) {
            step.beforeKnown = compositionKnown;
            step.before = composition;
            composition = step.after;
            compositionKnown = true;
        } else {
            step.before = target;
            target = step.after;
        }
        history.steps.push_back(step);
    }
    return true;
}

std::string pixelHistoryText(const InspectFrame& frame, unsigned x, unsigned y) {
    std::string text = "frame " + std::to_string(frame.index) + ", pixel (" + std::to_string(x) + ", " +
                       std::to_string(y) + ")\n";
    PixelHistory history;
    if (!pixelHistory(frame, x, y, history)) return text + "outside the frame (" + std::to_string(frame.width) + "x" +
                                                      std::to_string(frame.height) + ")\n";
    text += "events:\n";
    for (std::size_t index = 0; index < frame.events.size(); ++index) {
        const InspectEvent& event = frame.events[index];
        text += "  event " + std::to_string(index) + ": " + event.label;
        if (event.hasRect)
            text += " [" + std::to_string(event.rect[0]) + "," + std::to_string(event.rect[1]) + "," +
                    std::to_string(event.rect[2]) + "," + std::to_string(event.rect[3]) + "]";
        text += "\n";
    }
    text += "history:\n";
    text += "  start: " + valueText(history.start, frame.layout) + "\n";
    for (const PixelStep& step : history.steps) {
        const PixelLayout& layout = step.composition ? frame.compositionLayout : frame.layout;
        text += "  event " + std::to_string(step.event) + (step.composition ? " (composition surface)" : "") + ": " +
                (step.beforeKnown ? valueText(step.before, layout) : std::string("not recorded")) + " -> " +
                valueText(step.after, layout) + "\n";
        const std::string why = writeExplained(frame.events[step.event], static_cast<int>(x), static_cast<int>(y));
        if (!why.empty()) text += "    why: " + why + "\n";
    }
    return text;
}

}  // namespace dd7rreplay
