// dd7r-capture-scenarios: a small host that captures itself (DD7R_CAPTURE) in situations the
// demo never makes, and saves the frames it drew, so that a replay of the capture can be held
// against them; and the editor that alters a capture's quads, to show that a replay draws them
// itself. Used by scripts/capture-roundtrip.sh and the inspector's browser test.
//
//   dd7r-capture-scenarios immediate DIR   quads drawn at once (queueing off) over a picture
//   dd7r-capture-scenarios reset DIR       a skin file rewritten before a reset, failed loads,
//                                          a texture whose layout is not the target's
//   dd7r-capture-scenarios throws DIR      a device whose questions throw (a standard exception,
//                                          then something else), caught by the host
//   dd7r-capture-scenarios long DIR FRAMES QUADS [changing]   a long session, for sizes and
//                                          times (changing: another picture under every frame)
//   dd7r-capture-scenarios edit-quads IN OUT       every quad moved and recoloured
//   dd7r-capture-scenarios edit-answers IN OUT     every 565 surface recorded as made for a 555
//                                                  request (a DirectDraw that answers so)
//
// DIR receives scenario.capture and host/frame-NNNN.png.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/RendererModule.h"
#include "image/ImageFiles.h"
#include "image/SurfaceCapture.h"
#include "interface/Renderer.h"
#include "interface/RendererDevice.h"
#include "interface/Texture.h"
#include "reader/CaptureFile.h"
#include "system/HostPlatform.h"

namespace {

namespace fs = std::filesystem;
using ZelUISystem::CornerColours;
using ZelUISystem::FloatRect;
using ZelUISystem::Renderer;
using ZelUISystem::Texture;

constexpr unsigned kWidth = 160;
constexpr unsigned kHeight = 120;

class ScenarioDevice final : public ZelUISystem::RendererDevice {
public:
    ScenarioDevice(IDirectDraw7* directDraw, int blendMode) : directDraw_(directDraw), blendMode_(blendMode) {}
    IDirectDraw7* queryDirectDraw() override { return directDraw_; }
    void reservedDeviceSlot() override {}
    void queryDisplaySize(float* width, float* height) override {
        if (width != nullptr) *width = static_cast<float>(kWidth);
        if (height != nullptr) *height = static_cast<float>(kHeight);
    }
    int queryBlendMode() override { return blendMode_; }
    int querySurfaceMemory() override { return 2; }
    // 0 leaves the layout to the display (32 bits); 565 makes textures of another layout.
    int queryTexturePixelFormat() override {
        const Throw next = throwNext;
        throwNext = Throw::Nothing;
        if (next == Throw::Standard) throw std::runtime_error("the host's device has no pixel format now");
        if (next == Throw::Foreign) throw 31;
        return textureLayout;
    }
    int textureLayout = 0;
    // What the next question about the pixel format throws instead of answering.
    enum class Throw { Nothing, Standard, Foreign } throwNext = Throw::Nothing;

private:
    IDirectDraw7* directDraw_;
    int blendMode_;
};

struct Host {
    dd7rdemo::RendererModule module{dd7rdemo::defaultRendererModulePath()};
    IDirectDraw7* directDraw = nullptr;
    IDirectDrawSurface7* target = nullptr;
    fs::path frames;
    unsigned frameCount = 0;

    explicit Host(const fs::path& folder) : frames(folder / "host") {
        if (!module.ok()) throw std::runtime_error(module.error());
        std::string error;
        directDraw = dd7rdemo::openDirectDraw(dd7rdemo::DisplayFormat::Xrgb32, error);
        if (directDraw == nullptr) throw std::runtime_error(error);
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof(desc);
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        desc.dwWidth = kWidth;
        desc.dwHeight = kHeight;
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
        if (FAILED(directDraw->CreateSurface(&desc, &target, nullptr))) throw std::runtime_error("no target surface");
        fs::create_directories(frames);
    }
    ~Host() {
        if (target != nullptr) target->Release();
        dd7rdemo::closeDirectDraw(directDraw);
    }

    // The picture under the overlay: two bands, so that a moved quad lands on other pixels.
    void paintBackground(unsigned frame) {
        DDBLTFX fx{};
        fx.dwSize = sizeof(fx);
        fx.dwFillColor = (0x00203040u + frame * 2654435761u) & 0x00FFFFFFu;  // another colour each frame
        target->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
        RECT band{0, kHeight / 2, static_cast<LONG>(kWidth), static_cast<LONG>(kHeight)};
        fx.dwFillColor = 0x00506070u;
        target->Blt(&band, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
    }

    void saveFrame() {
        std::string error;
        const dd7rdemo::Image image = dd7rdemo::captureSurface(target, error);
        if (image.empty()) throw std::runtime_error("frame capture: " + error);
        char name[32];
        std::snprintf(name, sizeof(name), "frame-%04u.png", frameCount++);
        if (!dd7rdemo::writePng((frames / name).u8string(), image)) throw std::runtime_error("cannot write a frame");
    }

    void reset(Renderer& renderer) {
        renderer.preD3DReset();
        std::string error;
        if (!dd7rdemo::loseAllSurfaces(directDraw, error)) throw std::runtime_error(error);
        if (target->IsLost() == DDERR_SURFACELOST) target->Restore();
        bool sizeChanged = false;
        renderer.postD3DReset(&sizeChanged);
    }
};

CornerColours corners(std::uint32_t a, std::uint32_t b, std::uint32_t c, std::uint32_t d) { return {{a, b, c, d}}; }

void quad(Renderer& renderer, Texture* texture, float x, float y, float w, float h, CornerColours colours,
          float z = 0.0f, float sourceSize = 16.0f) {
    renderer.submitQuad(FloatRect{x, y, x + w, y + h}, z, texture, FloatRect{0, 0, sourceSize, sourceSize}, colours, 0);
}

// A 16x16 RGBA picture: a gradient whose alpha rises to the right, fully clear in one corner.
std::vector<std::uint8_t> gradient(std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
    std::vector<std::uint8_t> pixels;
    for (unsigned y = 0; y < 16; ++y)
        for (unsigned x = 0; x < 16; ++x) {
            const bool clear = x < 3 && y < 3;
            pixels.insert(pixels.end(), {static_cast<std::uint8_t>(red ^ (x * 8)), static_cast<std::uint8_t>(green ^ (y * 8)),
                                         blue, static_cast<std::uint8_t>(clear ? 0 : 128 + x * 8)});
        }
    return pixels;
}

Texture* pixelTexture(Renderer& renderer, const std::vector<std::uint8_t>& pixels) {
    Texture* texture = renderer.createTexture();
    texture->loadFromMemory(pixels.data(), 16, 16, ZelUISystem::TEXFMT_RGBA);
    return texture;
}

void writeSkin(const fs::path& file, dd7rdemo::Colour colour) {
    dd7rdemo::Image image(16, 16, 4);
    image.fillRect(0, 0, 16, 16, colour);
    image.fillRect(4, 4, 12, 12, dd7rdemo::Colour{255, 255, 255, 200});
    if (!dd7rdemo::writePng(file.u8string(), image)) throw std::runtime_error("cannot write " + file.u8string());
}

struct RendererHandle {
    const dd7rdemo::RendererModule& module;
    Renderer* renderer;
    ~RendererHandle() { module.destroyRenderer(renderer); }
};

// Queueing off: every quad lands on the target at once, over the host's picture.
void immediate(Host& host) {
    ScenarioDevice device(host.directDraw, 2);
    RendererHandle handle{host.module, host.module.createRenderer(&device, 0, false, nullptr, 0, 0)};
    if (handle.renderer == nullptr) throw std::runtime_error(host.module.getLastErrorString());
    Renderer& renderer = *handle.renderer;
    renderer.setTargetSurface(host.target);
    Texture* texture = pixelTexture(renderer, gradient(200, 60, 30));
    renderer.setQueueing(false);
    for (unsigned frame = 0; frame < 3; ++frame) {
        host.paintBackground(frame);
        for (unsigned i = 0; i < 6; ++i) {
            const float x = 8.0f + 24.0f * static_cast<float>(i) + static_cast<float>(frame) * 3.0f;
            quad(renderer, texture, x, 20.0f + 12.0f * static_cast<float>(i % 3), 20.0f, 30.0f,
                 corners(0xFFFFFFFFu, 0xC080FF80u, 0xFFFFFFFFu, 0x80FF8040u + i));
        }
        renderer.renderQueue();
        host.saveFrame();
    }
}

// A skin file rewritten between its load and a reset (the rebuild reads the new bytes), loads
// that fail, and a texture made in another layout than the target's (blended: skipped).
void resetWithChangedFile(Host& host, const fs::path& folder) {
    const fs::path skin = folder / "skin";
    fs::create_directories(skin);
    writeSkin(skin / "panel.png", dd7rdemo::Colour{200, 40, 40, 255});
    ScenarioDevice device(host.directDraw, 2);
    RendererHandle handle{host.module, host.module.createRenderer(&device, 0, false, nullptr, 0, 0)};
    if (handle.renderer == nullptr) throw std::runtime_error(host.module.getLastErrorString());
    Renderer& renderer = *handle.renderer;
    renderer.setTargetSurface(host.target);
    const std::string directory = skin.u8string() + "/";
    Texture* panel = renderer.createTexture("panel.png", directory.c_str());
    Texture* pixels = pixelTexture(renderer, gradient(40, 200, 90));
    try {
        renderer.createTexture("missing.png", directory.c_str());
    } catch (const std::exception&) {
    }
    Texture* empty = renderer.createTexture();
    const std::uint8_t garbage[] = {1, 2, 3, 4, 5, 6, 7, 8};
    try {
        empty->loadFromFileData(garbage, sizeof(garbage));
    } catch (const std::exception&) {
    }
    device.textureLayout = 565;
    Texture* otherLayout = pixelTexture(renderer, gradient(250, 250, 20));
    device.textureLayout = 0;

    auto frame = [&](unsigned index) {
        host.paintBackground(index);
        renderer.discardQueue();
        quad(renderer, panel, 10, 10, 48, 48, corners(0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu), 1.0f);
        quad(renderer, pixels, 70, 14, 32, 32, corners(0xC0FFFFFFu, 0xC0FFFFFFu, 0xC0FFFFFFu, 0xC0FFFFFFu), 2.0f);
        quad(renderer, otherLayout, 40, 60, 40, 40, corners(0x90FFFFFFu, 0x90FFFFFFu, 0x90FFFFFFu, 0x90FFFFFFu), 0.5f);
        quad(renderer, pixels, 100, 70, 80, 30, corners(0xFFFF8080u, 0xFF80FF80u, 0xFF8080FFu, 0xFFFFFFFFu), 0.0f);
        renderer.renderQueue();
        host.saveFrame();
    };
    frame(0);
    writeSkin(skin / "panel.png", dd7rdemo::Colour{30, 180, 240, 255});
    host.reset(renderer);
    frame(1);
    renderer.releaseTexture(pixels);
    frame(2);
}

// The device throws while textures are loaded: the host catches it and draws what did load.
void deviceThrows(Host& host) {
    ScenarioDevice device(host.directDraw, 2);
    RendererHandle handle{host.module, host.module.createRenderer(&device, 0, false, nullptr, 0, 0)};
    if (handle.renderer == nullptr) throw std::runtime_error(host.module.getLastErrorString());
    Renderer& renderer = *handle.renderer;
    renderer.setTargetSurface(host.target);
    const std::vector<std::uint8_t> pixels = gradient(90, 160, 220);
    Texture* textures[3] = {};
    const ScenarioDevice::Throw throws[3] = {ScenarioDevice::Throw::Standard, ScenarioDevice::Throw::Foreign,
                                             ScenarioDevice::Throw::Nothing};
    for (unsigned i = 0; i < 3; ++i) {
        device.throwNext = throws[i];
        textures[i] = renderer.createTexture();
        try {
            textures[i]->loadFromMemory(pixels.data(), 16, 16, ZelUISystem::TEXFMT_RGBA);
        } catch (...) {
        }
    }
    for (unsigned frame = 0; frame < 2; ++frame) {
        host.paintBackground(frame);
        renderer.discardQueue();
        for (unsigned i = 0; i < 3; ++i)
            quad(renderer, textures[i], 10.0f + 48.0f * static_cast<float>(i), 20.0f + 10.0f * static_cast<float>(frame),
                 40.0f, 40.0f, corners(0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu, 0xFFFFFFFFu));
        renderer.renderQueue();
        host.saveFrame();
    }
}

// Many frames of many quads, for the sizes and times of a long session.
void longSession(Host& host, unsigned frames, unsigned quads, bool changingPicture) {
    ScenarioDevice device(host.directDraw, 2);
    RendererHandle handle{host.module, host.module.createRenderer(&device, 0, false, nullptr, 0, 0)};
    if (handle.renderer == nullptr) throw std::runtime_error(host.module.getLastErrorString());
    Renderer& renderer = *handle.renderer;
    renderer.setTargetSurface(host.target);
    Texture* texture = pixelTexture(renderer, gradient(120, 90, 200));
    for (unsigned frame = 0; frame < frames; ++frame) {
        host.paintBackground(changingPicture ? frame : 0);
        renderer.discardQueue();
        for (unsigned i = 0; i < quads; ++i) {
            const float x = static_cast<float>((i * 37 + frame * 3) % (kWidth - 8));
            const float y = static_cast<float>((i * 53 + frame) % (kHeight - 8));
            quad(renderer, texture, x, y, 8.0f + static_cast<float>(i % 5), 8.0f,
                 corners(0xC0FFFFFFu, 0xC0FFFFFFu - i, 0xFFFFFFFFu, 0xA0FFFFFFu), static_cast<float>(i % 7));
        }
        renderer.renderQueue();
    }
}

std::vector<std::uint8_t> readAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void putFloat(std::vector<std::uint8_t>& bytes, std::uint64_t at, float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof(bits));
    for (unsigned i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(bits >> (8 * i));
}

// Every quad 9 pixels to the right and 5 down, its corners in the opposite colour (alpha kept).
int editQuads(const std::string& in, const std::string& out) {
    std::vector<std::uint8_t> bytes = readAll(in);
    const dd7rreplay::CaptureFile capture(bytes);
    unsigned edited = 0;
    for (std::size_t index = 0; index < capture.recordCount(); ++index) {
        const dd7rreplay::CaptureCall call = capture.call(index);
        if (call.kind != ZelUISystem::capture::RecordKind::SubmitQuad) continue;
        const std::uint64_t payload = call.offset + ZelUISystem::capture::kRecordHeaderSize;
        const float shift[4] = {9.0f, 5.0f, 9.0f, 5.0f};
        for (unsigned i = 0; i < 4; ++i) putFloat(bytes, payload + 4 + 4 * i, call.destination[i] + shift[i]);
        for (unsigned i = 0; i < 4; ++i) {
            const std::uint32_t colour = call.colours[i] ^ 0x00FFFFFFu;
            for (unsigned b = 0; b < 4; ++b) bytes[payload + 44 + 4 * i + b] = static_cast<std::uint8_t>(colour >> (8 * b));
        }
        ++edited;
    }
    std::ofstream file(out, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file) throw std::runtime_error("cannot write " + out);
    std::printf("edit-quads: %u quads moved and recoloured\n", edited);
    return edited != 0 ? 0 : 1;
}

void putU32(std::vector<std::uint8_t>& bytes, std::uint64_t at, std::uint32_t value) {
    for (unsigned i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

// Every 565 surface the module asked DirectDraw for is recorded as asked in 555 and made in 565,
// as a DirectDraw that hands out its own 16-bit layout would have answered.
int editAnswers(const std::string& in, const std::string& out) {
    std::vector<std::uint8_t> bytes = readAll(in);
    const dd7rreplay::CaptureFile capture(bytes);
    unsigned edited = 0;
    for (std::size_t index = 0; index < capture.recordCount(); ++index) {
        const dd7rreplay::CaptureCall call = capture.call(index);
        if (call.kind != ZelUISystem::capture::RecordKind::SurfaceAnswer || call.pixelFormat.red != 0xF800) continue;
        const std::uint64_t askedFormat = call.offset + ZelUISystem::capture::kRecordHeaderSize + 16;
        putU32(bytes, askedFormat + 8, 0x7C00);
        putU32(bytes, askedFormat + 12, 0x03E0);
        ++edited;
    }
    std::ofstream file(out, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file) throw std::runtime_error("cannot write " + out);
    std::printf("edit-answers: %u surface requests now 555\n", edited);
    return edited != 0 ? 0 : 1;
}

int run(int argc, char** argv) {
    const std::string scenario = argc > 1 ? argv[1] : "";
    if (scenario == "edit-quads" && argc == 4) return editQuads(argv[2], argv[3]);
    if (scenario == "edit-answers" && argc == 4) return editAnswers(argv[2], argv[3]);
    if (argc < 3 || (scenario != "immediate" && scenario != "reset" && scenario != "throws" && scenario != "long")) {
        std::fprintf(stderr, "usage: dd7r-capture-scenarios immediate|reset|throws|long DIR [FRAMES QUADS] | edit-quads|edit-answers IN OUT\n");
        return 2;
    }
    const fs::path folder = fs::u8path(argv[2]);
    fs::remove_all(folder);
    fs::create_directories(folder);
    // Read by the module when it is loaded, which the host does next.
    const std::string capturePath = (folder / "scenario.capture").u8string();
    setenv("DD7R_CAPTURE", capturePath.c_str(), 1);
    Host host(folder);
    if (scenario == "immediate") immediate(host);
    if (scenario == "reset") resetWithChangedFile(host, folder);
    if (scenario == "throws") deviceThrows(host);
    if (scenario == "long") {
        const unsigned frames = argc > 3 ? static_cast<unsigned>(std::strtoul(argv[3], nullptr, 10)) : 1000;
        const unsigned quads = argc > 4 ? static_cast<unsigned>(std::strtoul(argv[4], nullptr, 10)) : 300;
        longSession(host, frames, quads, argc > 5 && std::strcmp(argv[5], "changing") == 0);
    }
    std::printf("%s: capture %s, %u host frames\n", scenario.c_str(), capturePath.c_str(), host.frameCount);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "dd7r-capture-scenarios: %s\n", error.what());
        return 2;
    }
}
