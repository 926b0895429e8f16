// Fuzz target: sequences of renderer calls decoded from the input, as a confused or hostile host
// might make them: quads with any floats and colours (and textures that are null, released or
// live), render passes, discards, queueing on and off, textures of every kind created and
// released, device resets around display size changes and a vanished DirectDraw, injected
// DirectDraw failures, lost surfaces and a lost cooperative level, in every blend mode.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <iterator>
#include <limits>
#include <vector>

#include "fuzzhost/ByteReader.h"
#include "fuzzhost/FuzzHost.h"
#include "fuzzhost/ImageFileChoice.h"
#include "core/ModuleCore.h"

namespace {

using dd7rfuzz::ByteReader;
using dd7rfuzz::hostCall;
using softddraw::Operation;

constexpr std::size_t kMaxOperations = 96;

const std::uint32_t kColours[] = {0xFFFFFFFFu, 0x80FFFFFFu, 0xFF000000u, 0x00000000u,
                                  0xFF4080C0u, 0x7F102030u, 0x01FFFFFFu, 0xFEFFFFFFu};

const HRESULT kFailures[] = {DDERR_GENERIC,        DDERR_SURFACELOST,     DDERR_OUTOFMEMORY,
                             DDERR_INVALIDPARAMS,  DDERR_WASSTILLDRAWING, DDERR_SURFACEBUSY,
                             DDERR_NOEXCLUSIVEMODE, DDERR_INVALIDRECT,    DDERR_OUTOFVIDEOMEMORY};

const Operation kFaultableOperations[] = {
    Operation::CreateSurface, Operation::TestCooperativeLevel, Operation::Lock,
    Operation::Unlock,        Operation::Blt,                  Operation::BltFast,
    Operation::GetSurfaceDesc, Operation::GetColorKey,         Operation::SetColorKey,
    Operation::IsLost,        Operation::Restore};

const float kSpecialFloats[] = {std::numeric_limits<float>::quiet_NaN(),
                                std::numeric_limits<float>::infinity(),
                                -std::numeric_limits<float>::infinity(),
                                std::numeric_limits<float>::max(),
                                std::numeric_limits<float>::lowest(),
                                std::numeric_limits<float>::denorm_min(),
                                2147483648.0f, -2147483904.0f, 4294967296.0f, -0.0f, 0.5f};

// Coordinates: mostly on and around the display, sometimes any bit pattern or a special value.
float readCoordinate(ByteReader& input) {
    const std::uint8_t pick = input.byte();
    if (pick < 200) return static_cast<float>(static_cast<int>(input.byte()) - 16) + (pick & 1 ? 0.5f : 0.0f);
    if (pick < 230) return kSpecialFloats[pick % std::size(kSpecialFloats)];
    return input.anyFloat();
}

ZelUISystem::FloatRect readRect(ByteReader& input) {
    const float left = readCoordinate(input);
    const float top = readCoordinate(input);
    return {left, top, readCoordinate(input), readCoordinate(input)};
}

std::uint32_t readColour(ByteReader& input) {
    const std::uint8_t pick = input.byte();
    return pick < 200 ? kColours[pick % std::size(kColours)] : input.u32();
}

class CallSession {
public:
    explicit CallSession(dd7rfuzz::FuzzHost& host)
        : host_(host), renderer_(*host.renderer()), otherTarget_(createOtherTarget(host)) {
        renderer_.setTargetSurface(host.target());
    }
    ~CallSession() {
        if (otherTarget_ != nullptr) otherTarget_->Release();
    }
    CallSession(const CallSession&) = delete;
    CallSession& operator=(const CallSession&) = delete;

    void run(ByteReader& input) {
        for (std::size_t i = 0; i < kMaxOperations && !input.empty(); ++i) step(input);
    }

private:
    static IDirectDrawSurface7* createOtherTarget(dd7rfuzz::FuzzHost& host) {
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof(desc);
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
        desc.dwWidth = 33;
        desc.dwHeight = 17;
        desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;  // can be lost
        IDirectDrawSurface7* surface = nullptr;
        if (FAILED(host.directDraw().CreateSurface(&desc, &surface, nullptr))) return nullptr;
        return surface;
    }

    void step(ByteReader& input) {
        switch (input.choice(22)) {
            case 0: case 1: case 2: submit(input); break;
            case 3: hostCall([&] { renderer_.renderQueue(); }); break;
            case 4: hostCall([&] { renderer_.discardQueue(); }); break;
            case 5: renderer_.setQueueing(input.flag()); break;
            case 6: createTexture(input); break;
            case 7: loadFromMemory(input); break;
            case 8: release(pickTexture(input)); break;
            case 9: releaseAll(); break;
            case 10: hostCall([&] { renderer_.preD3DReset(); }); break;
            case 11: postReset(input); break;
            case 12: injectFault(input); break;
            case 13: loseSurfaces(input); break;
            case 14: setTarget(input); break;
            case 15: fillFromMemory(input); break;
            case 16: askDisplay(); break;
            case 17: toggleInMemory(input); break;
            case 18: hostCall([&] { renderer_.releaseAllTextures(); renderer_.releaseAllTextures(); }); forgetAll(); break;
            case 19: submitMany(input); break;
            case 20: reloadFromFileData(input); break;
            default: reloadFromFile(input); break;
        }
    }

    // A live texture, a released one, or null.
    ZelUISystem::Texture* pickTexture(ByteReader& input) {
        const std::uint8_t pick = input.byte();
        if (pick < 200 && !live_.empty()) return live_[pick % live_.size()];
        if (pick < 240 && !stale_.empty()) return stale_[pick % stale_.size()];
        return nullptr;
    }

    ZelUISystem::Texture* pickLive(ByteReader& input) {
        return live_.empty() ? nullptr : live_[input.byte() % live_.size()];
    }

    void adopt(ZelUISystem::Texture* texture) {
        stale_.erase(std::remove(stale_.begin(), stale_.end(), texture), stale_.end());
        live_.push_back(texture);
    }

    void forget(ZelUISystem::Texture* texture) {
        const auto found = std::find(live_.begin(), live_.end(), texture);
        if (found == live_.end()) return;
        live_.erase(found);
        stale_.push_back(texture);
    }

    void forgetAll() {
        stale_.insert(stale_.end(), live_.begin(), live_.end());
        live_.clear();
    }

    void submit(ByteReader& input) {
        const ZelUISystem::FloatRect dest = readRect(input);
        const float z = readCoordinate(input);
        ZelUISystem::Texture* texture = pickTexture(input);
        const ZelUISystem::FloatRect source = readRect(input);
        const ZelUISystem::CornerColours colours{{readColour(input), readColour(input), readColour(input), readColour(input)}};
        hostCall([&] { renderer_.submitQuad(dest, z, texture, source, colours, static_cast<std::int32_t>(input.u32())); });
    }

    // A texture drawn whole at many places: the common case of a host's frame.
    void submitMany(ByteReader& input) {
        ZelUISystem::Texture* texture = pickLive(input);
        if (texture == nullptr) return;
        const float width = static_cast<float>(texture->getWidth());
        const float height = static_cast<float>(texture->getHeight());
        const std::uint32_t colour = readColour(input);
        const std::size_t count = 1 + input.choice(8);
        for (std::size_t i = 0; i < count; ++i) {
            const float x = static_cast<float>(input.byte() % 80) - 8.0f;
            const float y = static_cast<float>(input.byte() % 60) - 8.0f;
            const float scale = input.flag() ? 1.0f : 0.5f + static_cast<float>(input.byte() % 8) / 4.0f;
            const ZelUISystem::FloatRect dest{x, y, x + width * scale, y + height * scale};
            const ZelUISystem::FloatRect source{0.0f, 0.0f, width, height};
            hostCall([&] { renderer_.submitQuad(dest, static_cast<float>(i), texture, source, {{colour, colour, colour, colour}}, 0); });
        }
        hostCall([&] { renderer_.renderQueue(); });
    }

    void createTexture(ByteReader& input) {
        ZelUISystem::Texture* texture = nullptr;
        switch (input.choice(5)) {
            case 0: hostCall([&] { texture = renderer_.createTexture(); }); break;
            case 1: {
                const float size = readCoordinate(input);
                hostCall([&] { texture = renderer_.createTexture(size); });
                break;
            }
            case 2: {
                const std::vector<std::uint8_t> file = dd7rfuzz::readImageFile(input);
                hostCall([&] { texture = renderer_.createTexture(file.data(), static_cast<std::uint32_t>(file.size())); });
                break;
            }
            case 3: hostCall([&] { texture = renderer_.createTexture(dd7rfuzz::imageFileName(), dd7rfuzz::imageFileDirectory()); }); break;
            default: {
                static const char* const kNames[] = {nullptr, "", "missing.png", "picture.bmp/"};
                const char* name = kNames[input.choice(std::size(kNames))];
                const char* folder = input.flag() ? nullptr : dd7rfuzz::imageFileDirectory();
                hostCall([&] { texture = renderer_.createTexture(name, folder); });
                break;
            }
        }
        if (texture != nullptr) adopt(texture);
    }

    void loadFromMemory(ByteReader& input) {
        ZelUISystem::Texture* texture = pickLive(input);
        if (texture == nullptr) return;
        const std::uint32_t width = 1 + input.byte() % 40;
        const std::uint32_t height = 1 + input.byte() % 30;
        const auto format = static_cast<ZelUISystem::TextureFormat>(input.choice(3));
        std::vector<std::uint8_t> pixels(std::size_t{width} * height * (format == ZelUISystem::TEXFMT_RGB ? 3 : 4));
        const std::size_t taken = input.take(pixels.data(), std::min<std::size_t>(pixels.size(), 64));
        for (std::size_t i = taken; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint8_t>(pixels[i % (taken + 1)] + i);
        hostCall([&] { texture->loadFromMemory(pixels.data(), width, height, format); });
    }

    // The host loads a new picture into a texture it already has.
    void reloadFromFileData(ByteReader& input) {
        ZelUISystem::Texture* texture = pickLive(input);
        if (texture == nullptr) return;
        const std::vector<std::uint8_t> file = dd7rfuzz::readImageFile(input);
        hostCall([&] { texture->loadFromFileData(file.data(), static_cast<std::uint32_t>(file.size())); });
    }

    void reloadFromFile(ByteReader& input) {
        ZelUISystem::Texture* texture = pickLive(input);
        if (texture == nullptr) return;
        const bool exists = input.flag();
        hostCall([&] {
            texture->loadFromFile(exists ? dd7rfuzz::imageFileName() : "missing.bmp", dd7rfuzz::imageFileDirectory());
        });
    }

    void fillFromMemory(ByteReader& input) {
        ZelUISystem::Texture* texture = pickLive(input);
        if (texture == nullptr) return;
        const std::uint32_t x = input.byte() % 48;
        const std::uint32_t y = input.byte() % 48;
        const std::uint32_t width = 1 + input.byte() % 24;
        const std::uint32_t height = 1 + input.byte() % 24;
        const std::uint32_t pitch = width * 4 + input.byte() % 8;
        std::vector<std::uint8_t> pixels(std::size_t{height - 1} * pitch + width * 4, 0x5A);
        hostCall([&] { texture->fillFromMemory(pixels.data(), x, y, width, height, pitch, ZelUISystem::TEXFMT_BGRA); });
    }

    void release(ZelUISystem::Texture* texture) {
        renderer_.releaseTexture(texture);
        forget(texture);
    }

    void releaseAll() {
        hostCall([&] { renderer_.releaseAllTextures(); });
        forgetAll();
    }

    void postReset(ByteReader& input) {
        dd7rfuzz::FuzzDevice& device = host_.device();
        const std::uint8_t change = input.byte();
        if (change >= 200) {
            device.width = static_cast<float>(1 + input.byte() % 96);
            device.height = static_cast<float>(1 + input.byte() % 72);
        }
        IDirectDraw7* directDraw = device.directDraw;
        if (change == 255) device.directDraw = nullptr;  // the device lost its DirectDraw
        bool sizeChanged = false;
        hostCall([&] { renderer_.postD3DReset(input.flag() ? &sizeChanged : nullptr); });
        device.directDraw = directDraw;
    }

    void injectFault(ByteReader& input) {
        const Operation operation = kFaultableOperations[input.choice(std::size(kFaultableOperations))];
        const HRESULT failure = kFailures[input.choice(std::size(kFailures))];
        const std::uint8_t how = input.byte();
        if (how < 200) host_.directDraw().failNthCall(operation, 1 + how % 16, failure);
        else if (how < 230) host_.directDraw().failAllCalls(operation, failure);
        else host_.directDraw().clearFaults();
    }

    void loseSurfaces(ByteReader& input) {
        auto& directDraw = host_.directDraw();
        switch (input.choice(4)) {
            case 0: directDraw.loseAllSurfaces(); break;
            case 1: directDraw.setCooperativeLevelLost(true); break;
            case 2: directDraw.setCooperativeLevelLost(false); break;
            default:
                if (ZelUISystem::Texture* texture = pickLive(input))
                    directDraw.loseSurface(static_cast<ZelUISystem::CDD7Texture*>(texture)->surface());
                break;
        }
    }

    void setTarget(ByteReader& input) {
        IDirectDrawSurface7* const targets[] = {host_.target(), nullptr, otherTarget_};
        renderer_.setTargetSurface(targets[input.choice(std::size(targets))]);
    }

    void askDisplay() {
        float width = 0.0f, height = 0.0f, left = 0.0f;
        renderer_.getDisplaySize(&width, nullptr);
        renderer_.getDisplaySize(nullptr, &height);
        renderer_.getDisplayRect(&left, nullptr, nullptr, nullptr);
        renderer_.getDisplayRect(nullptr, nullptr, nullptr, nullptr);
        if (width != renderer_.getDisplayWidth() || height != renderer_.getDisplayHeight())
            dd7rfuzz::finding("the display size answers disagree");
        (void)renderer_.getTextureSizeLimit();
        (void)renderer_.isQueueing();
    }

    void toggleInMemory(ByteReader& input) {
        if (ZelUISystem::Texture* texture = pickLive(input)) texture->inMemory = !texture->inMemory;
    }

    dd7rfuzz::FuzzHost& host_;
    ZelUISystem::CDD7Render& renderer_;
    IDirectDrawSurface7* otherTarget_;
    std::vector<ZelUISystem::Texture*> live_;
    std::vector<ZelUISystem::Texture*> stale_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ByteReader input(data, size);
    dd7rfuzz::FuzzHost host(dd7rfuzz::readHostConfig(input));
    if (!host.createRenderer()) return 0;
    {
        CallSession session(host);
        session.run(input);
    }
    return 0;
}
