#pragma once
// One replayed frame as the inspector keeps it: the picture the target held before the module
// drew on it, every event of the frame in order (calls, and each quad as drawQuad drew it), and
// for each event that wrote pixels its rectangle as it stood afterwards. The pixel history of a
// point is read from this alone, by the command line (pixelHistory) and, from the same data
// written out as JavaScript, by the report's page.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace dd7rreplay {

// How a surface stores a pixel: bytes per pixel and the colour masks.
struct PixelLayout {
    unsigned bytes = 0;
    std::uint32_t red = 0;
    std::uint32_t green = 0;
    std::uint32_t blue = 0;
};

struct Rgb {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
};

std::uint32_t pixelValue(const std::uint8_t* pixel, unsigned bytes);
// Each channel widened to 8 bits by repeating its top bits, as the replay's frame files are.
Rgb toRgb(std::uint32_t value, const PixelLayout& layout);

// Where an event's pixels (as they stood after it) lie in the frame's pixel bytes.
struct Patch {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    std::size_t offset = 0;
    bool composition = false;  // on the renderer's composition surface (blend mode 0), not the target
};

struct InspectEvent {
    std::string kind;    // "quad", "present", or the call's name
    std::string label;   // one line
    std::vector<std::pair<std::string, std::string>> details;
    bool failed = false;
    std::string thrown;
    bool hasRect = false;  // the rectangle to outline: a quad's destination as drawn
    int rect[4] = {0, 0, 0, 0};
    std::uint32_t texture = 0;  // capture id, 0 for none
    std::string textureImage;   // the texture's picture file in the report, if any
    bool hasPatch = false;
    Patch patch;
};

struct InspectFrame {
    unsigned index = 0;
    std::uint32_t renderer = 0;
    unsigned width = 0;
    unsigned height = 0;
    PixelLayout layout;             // the target's
    PixelLayout compositionLayout;  // the composition surface's, when events drew there
    std::vector<std::uint8_t> base;  // the target before the module drew (rows, no padding)
    std::vector<InspectEvent> events;
    std::vector<std::uint8_t> pixels;  // every patch's pixels, one after another
};

struct PixelStep {
    std::size_t event = 0;
    bool composition = false;
    bool beforeKnown = true;  // false for the first write on the composition surface in a frame
    std::uint32_t before = 0;
    std::uint32_t after = 0;
};

struct PixelHistory {
    std::uint32_t start = 0;  // what the target held
    std::vector<PixelStep> steps;
};

// Every event whose pixels cover (x, y), in order, with the value before and after it; false
// when the point is outside the frame.
bool pixelHistory(const InspectFrame& frame, unsigned x, unsigned y, PixelHistory& history);

// The history as the command line prints it (the page shows the same lines).
std::string pixelHistoryText(const InspectFrame& frame, unsigned x, unsigned y);

}  // namespace dd7rreplay
