#pragma once
// A host for the fuzz targets: a DirectDraw with test hooks (HookedDirectDraw.h: the software
// stand-in natively, the real one behind a fault-injecting wrapper under Wine) with the display
// layout the input asks for, a renderer device answering from the input, the host's own target
// surface and the renderer. Tearing it down checks what a host process relies on after destroyRenderer: no
// surface left alive, none released too often or used after its release, and no image or
// file of the image library left undestroyed. A broken promise aborts, which libFuzzer and the
// replay runner report as a finding.

#include <cstdint>
#include <exception>

#include "fuzzhost/ByteReader.h"
#include "HookedDirectDraw.h"
#include "platform/DirectDraw.h"
#include "host/SettableDevice.h"
#include "interface/Renderer.h"
#include "interface/RendererDevice.h"
#include "interface/Texture.h"
#include "core/ModuleCore.h"

namespace dd7rfuzz {

// One colour at all four corners of a quad.
inline ZelUISystem::CornerColours sameCorners(std::uint32_t colour) { return {{colour, colour, colour, colour}}; }

// What the host's device answers.
struct HostConfig {
    std::size_t displayLayout = 0;
    float displayWidth = 64.0f;
    float displayHeight = 48.0f;
    int blendMode = 0;
    bool mmx = true;
    int surfaceMemory = 0;      // 0 system, 1 video (absent: creation fails), 2 any
    int texturePixelFormat = 0; // 0 the display's, 555 or 565
};

// Reads a configuration: mostly small sane displays, now and then hostile sizes.
HostConfig readHostConfig(ByteReader& input);

using FuzzDevice = dd7rdemo::SettableDevice;

class FuzzHost {
public:
    explicit FuzzHost(const HostConfig& config);
    ~FuzzHost();
    FuzzHost(const FuzzHost&) = delete;
    FuzzHost& operator=(const FuzzHost&) = delete;

    // Constructs the renderer; false when construction failed (with a standard exception).
    bool createRenderer();
    void destroyRenderer();

    ZelUISystem::CDD7Render* renderer() const { return renderer_; }
    ddtest::HookedDirectDraw& directDraw() const { return *directDraw_; }
    FuzzDevice& device() { return device_; }
    // The host's own surface of display size (null when the display size cannot have one).
    IDirectDrawSurface7* target() const { return target_; }

private:
    ddtest::HookedDirectDraw* directDraw_;
    FuzzDevice device_;
    IDirectDrawSurface7* target_ = nullptr;
    ZelUISystem::CDD7Render* renderer_ = nullptr;
};

// Reports a broken promise and aborts.
[[noreturn]] void finding(const char* what);

// Runs one host call: a standard exception is a failure the host is told about and may
// happen; anything else escaping the module is a finding. True when the call returned.
template <typename Call>
bool hostCall(Call call) {
    try {
        call();
        return true;
    } catch (const std::exception&) {
        return false;
    } catch (...) {
        finding("an exception outside the standard family escaped the module");
    }
}

}  // namespace dd7rfuzz
