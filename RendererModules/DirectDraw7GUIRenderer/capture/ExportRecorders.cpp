// The recorders of the two exports that make and destroy renderers.

#include "capture/CaptureHooks.h"
#include "capture/HostCall.h"

namespace ZelUISystem {
namespace capture {

Renderer* createRenderer(CreateRendererFn create, RendererDevice* device, std::uint32_t reserved,
                         bool hostFlag, const char* loggerDirectory, std::uint32_t loggerValueA,
                         std::uint32_t loggerValueB) {
    HostCall call(*hostLevelSession);
    CaptureSession& capture = call.session();
    // The renderer is built with a device that passes the host's answers on and records them.
    Renderer* renderer = create(capture.listenTo(device), reserved, hostFlag, loggerDirectory,
                                loggerValueA, loggerValueB);
    if (renderer != nullptr) capture.forgetRenderer(renderer);  // an address used before
    const std::uint32_t id = renderer != nullptr ? capture.rendererId(renderer) : 0;
    call.record(RecordKind::CreateRenderer, [&](RecordBuilder& record) {
        record.u32(id).flag(device != nullptr).u32(reserved).flag(hostFlag).string(loggerDirectory);
        record.u32(loggerValueA).u32(loggerValueB);
    });
    return renderer;
}

void destroyRenderer(DestroyRendererFn destroy, Renderer* renderer) {
    CaptureSession& capture = *hostLevelSession;
    {
        HostCall call(capture);
        const std::uint32_t id = renderer != nullptr ? capture.rendererId(renderer) : 0;
        call.record(RecordKind::DestroyRenderer, [&](RecordBuilder& record) { record.u32(id); });
        call.run([&] { destroy(renderer); }, [] {});
        capture.forgetRenderer(renderer);
    }
    capture.endFrame();
}

}  // namespace capture
}  // namespace ZelUISystem
