#pragma once
// One display format and blend mode, rendered from start to end the way a host drives the
// renderer: a DirectDraw object and a target surface of its own, its RendererDevice, the
// renderer from the module, the skin, then frame after frame (clear the target, queue the UI,
// render), with a device reset before the middle frame.

#include "host/RendererModule.h"
#include "image/Image.h"
#include "options/DemoOptions.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace dd7rdemo {

struct SessionRequest {
    DisplayFormat format = DisplayFormat::Xrgb32;
    int blendMode = 0;
    unsigned width = 640;
    unsigned height = 480;
    unsigned frames = 1;
    std::string skinDirectory;
    std::string loggerDirectory;  // empty: none given to the module
    bool resetInMiddle = true;
    bool showWindow = false;  // also present every frame in a window (Windows build)
};

struct FrameResult {
    unsigned index = 0;
    bool firstAfterReset = false;
    double renderMilliseconds = 0.0;  // emptying the queue, submitting, rendering
    std::uint32_t checksum = 0;
    Image image;
};

struct SessionResult {
    std::vector<FrameResult> frames;
    double resetMilliseconds = 0.0;
    Image windowScreenshot;  // with showWindow: the window after the last frame
    std::string error;  // empty on success
    bool ok() const { return error.empty(); }
};

// The frame before which the device is reset: the middle one.
unsigned resetFrameIndex(unsigned frames);

// Runs the session; `onFrame` (optional) sees every frame as soon as it is captured, and may
// drop its picture to save memory.
SessionResult renderSession(const RendererModule& module, const SessionRequest& request,
                            const std::function<void(FrameResult&)>& onFrame = {});

}  // namespace dd7rdemo
