#pragma once
// One replayed frame as the inspector keeps it: the picture the target held before the module
// drew on it, every event of the frame in order (calls, and each quad as drawQuad drew it), and
// for each event that wrote pixels its rectangle as it stood afterwards. The pixel history of a
// point is read from this alone, by the command line (pixelHistory) and, from the same data
// written out as JavaScript, by the report's page.

#include <cstddef>
#include <cstdint>
#include <memory>
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

// A texture's pixels as a quad found them (one version of its picture), so that a history can
// name the texel a write came from.
struct TexturePixels {
    std::uint32_t id = 0;
    unsigned version = 0;
    int width = 0;
    int height = 0;
    PixelLayout layout;
    std::vector<std::uint8_t> bytes;  // rows, no padding
    std::string key() const { return "t" + std::to_string(id) + "-" + std::to_string(version); }
};

// What a drawn quad's pixels were made of: the rectangles DirectDraw was handed, the one colour
// the quad is drawn in, how it was drawn and the texture it sampled.
struct QuadInputs {
    int dest[4] = {0, 0, 0, 0};
    int source[4] = {0, 0, 0, 0};
    std::uint32_t colour[4] = {0, 0, 0, 0};  // alpha, red, green, blue
    std::string path;
    std::string kernel;  // empty for the copies DirectDraw makes alone
    std::shared_ptr<const TexturePixels> texture;
};

struct InspectEvent {
    std::string kind;    // "quad", "present", or the call's name
    std::string label;   // one line
    std::vector<std::pair<std::string, std::string>> details;
    bool failed = false;
    bool skipped = false;        // a quad that wrote nothing
    std::uint32_t renderer = 0;  // whose call it was (0: the module's, or unknown)
    std::string thrown;
    int submission = -1;         // quads: the host's submission number in its pass (-1: unknown)
    unsigned drawing = 0;        // quads: the drawing number in the frame (z order), from 1
    double microseconds = -1.0;  // quads: what drawing it cost in the replay
    std::string warning;         // where another DirectDraw would behave otherwise
    bool hasInputs = false;
    QuadInputs inputs;
    bool hasRect = false;  // the rectangle to outline: a quad's destination as drawn
    int rect[4] = {0, 0, 0, 0};
    std::uint32_t texture = 0;  // capture id, 0 for none
    std::string textureImage;   // the texture's picture file in the report, if any
    bool hasPatch = false;
    Patch patch;
};

// A texture alive when the frame was presented, with where its picture came from.
struct LiveTexture {
    std::uint32_t id = 0;
    std::string origin;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::shared_ptr<const TexturePixels> pixels;  // null until a quad drew it
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
    std::vector<LiveTexture> textures;
    std::vector<std::string> otherRenderers;  // calls on other renderers since the previous frame
};

struct PixelStep {
    std::size_t event = 0;
    bool composition = false;
    bool beforeKnown = true;  // false for the first write on the composition surface in a frame
    std::uint32_t before = 0;
    std::uint32_t after = 0;
};

// The texel of `inputs.texture` DirectDraw copied to (x, y): its nearest-neighbour stretch, for
// destination offset d, takes source offset (d * step) >> 16, step = (sourceSize << 16) / destSize
// (which is d itself when the sizes agree). False outside the rectangles.
bool texelOf(const QuadInputs& inputs, int x, int y, int& u, int& v);
// Why the event left (x, y) as it did: the path, the texel and its value, the quad colour.
std::string writeExplained(const InspectEvent& event, int x, int y);

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
