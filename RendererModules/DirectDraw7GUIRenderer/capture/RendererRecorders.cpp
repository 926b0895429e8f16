// The recorders of the renderer's slots.

#include <cstdint>

#include "capture/CaptureHooks.h"
#include "capture/HostCall.h"
#include "capture/PixelFormatRecord.h"
#include "capture/SourceFiles.h"
#include "renderer/CDD7Render.h"

namespace ZelUISystem {
namespace capture {

namespace {

CaptureSession& session() { return *hostLevelSession; }

void writeRect(RecordBuilder& record, const FloatRect& rect) {
    record.f32(rect.left).f32(rect.top).f32(rect.right).f32(rect.bottom);
}

// A slot without a result: its record first, then the slot.
template <typename Slot>
void recordThenRun(CDD7Render* renderer, RecordKind kind, Slot&& slot) {
    HostCall call(session());
    const std::uint32_t id = call.session().rendererId(renderer);
    call.record(kind, [&](RecordBuilder& record) { record.u32(id); });
    call.run(slot, [] {});
}

// A createTexture overload: the slot first, then its record with the new texture's id, which
// is 0 when the slot threw.
template <typename Slot, typename Arguments>
Texture* recordCreation(CDD7Render* renderer, TextureOverload overload, Slot&& slot,
                        Arguments&& arguments) {
    HostCall call(session());
    CaptureSession& capture = call.session();
    const std::uint32_t rendererId = capture.rendererId(renderer);
    auto writeRecord = [&](std::uint32_t textureId) {
        call.record(RecordKind::CreateTexture, [&](RecordBuilder& record) {
            record.u32(rendererId).u32(textureId).u8(static_cast<std::uint8_t>(overload));
            arguments(record, textureId != kNullTexture);
        });
    };
    Texture* texture = call.run(slot, [&] { writeRecord(kNullTexture); });
    writeRecord(capture.newTextureId(texture, renderer));
    return texture;
}

}  // namespace

void submitQuad(CDD7Render* renderer, FloatRect destRect, float z, Texture* texture,
                FloatRect sourceRect, CornerColours colours, std::int32_t reserved) {
    HostCall call(session());
    CaptureSession& capture = call.session();
    // A quad drawn at once lands on whatever the host left on the target.
    if (!renderer->isQueueing()) {
        if (capture.targetContentsDue(renderer)) capture.recordTargetContents(renderer);
        capture.recordRebuildSources(renderer, true);
    }
    call.record(RecordKind::SubmitQuad, [&](RecordBuilder& record) {
        record.u32(capture.rendererId(renderer));
        writeRect(record, destRect);
        record.f32(z).u32(capture.textureRef(texture));
        writeRect(record, sourceRect);
        for (std::uint32_t colour : colours.colour) record.u32(colour);
        record.i32(reserved);
    });
    call.run([&] { renderer->CDD7Render::submitQuad(destRect, z, texture, sourceRect, colours, reserved); },
             [] {});
}

void renderQueue(CDD7Render* renderer) {
    CaptureSession& capture = session();
    {
        HostCall call(capture);
        // Quads drawn at once since the last pass are already on the target: the picture taken
        // before the first of them is the one this frame is drawn over, so that the replay
        // draws those quads itself instead of finding them in the picture.
        if (capture.targetContentsDue(renderer)) capture.recordTargetContents(renderer);
        capture.recordRebuildSources(renderer, true);
        const std::uint32_t id = capture.rendererId(renderer);
        call.record(RecordKind::RenderQueue, [&](RecordBuilder& record) { record.u32(id); });
        call.run([&] { renderer->CDD7Render::renderQueue(); }, [] {});
        capture.markTargetDrawn(renderer);
    }
    capture.endFrame();
}

void discardQueue(CDD7Render* renderer) {
    recordThenRun(renderer, RecordKind::DiscardQueue, [&] { renderer->CDD7Render::discardQueue(); });
}

void setQueueing(CDD7Render* renderer, bool queueing) {
    HostCall call(session());
    const std::uint32_t id = call.session().rendererId(renderer);
    call.record(RecordKind::SetQueueing, [&](RecordBuilder& record) { record.u32(id).flag(queueing); });
    call.run([&] { renderer->CDD7Render::setQueueing(queueing); }, [] {});
}

Texture* createTexture(CDD7Render* renderer) {
    return recordCreation(
        renderer, TextureOverload::Empty, [&] { return renderer->CDD7Render::createTexture(); },
        [](RecordBuilder&, bool) {});
}

Texture* createSizedTexture(CDD7Render* renderer, float size) {
    return recordCreation(
        renderer, TextureOverload::Sized, [&] { return renderer->CDD7Render::createTexture(size); },
        [&](RecordBuilder& record, bool) { record.f32(size); });
}

Texture* createTextureFromFileData(CDD7Render* renderer, const std::uint8_t* fileData,
                                   std::uint32_t size) {
    CaptureSession& capture = session();
    return recordCreation(
        renderer, TextureOverload::FileData,
        [&] { return renderer->CDD7Render::createTexture(fileData, size); },
        [&](RecordBuilder& record, bool succeeded) {
            // Only a load that succeeded has shown that the host's buffer holds `size` bytes.
            const std::uint32_t blob = succeeded ? capture.storeBlob(fileData, size) : kNoBlob;
            record.flag(fileData != nullptr).u32(size).u32(blob);
        });
}

Texture* createTextureFromFile(CDD7Render* renderer, const char* fileName, const char* directory) {
    CaptureSession& capture = session();
    std::uint32_t blob = kNoBlob;
    Texture* texture = recordCreation(
        renderer, TextureOverload::File,
        [&] { return renderer->CDD7Render::createTexture(fileName, directory); },
        [&](RecordBuilder& record, bool) {
            blob = storeSourceFile(capture, fileName, directory);
            record.string(fileName).string(directory).u32(blob);
        });
    capture.noteSourceFile(texture, blob);
    return texture;
}

void releaseTexture(CDD7Render* renderer, Texture* texture) {
    HostCall call(session());
    CaptureSession& capture = call.session();
    call.record(RecordKind::ReleaseTexture, [&](RecordBuilder& record) {
        record.u32(capture.rendererId(renderer)).u32(capture.textureRef(texture));
    });
    call.run([&] { renderer->CDD7Render::releaseTexture(texture); }, [] {});
    capture.forgetTexture(texture, renderer);
}

void releaseAllTextures(CDD7Render* renderer) {
    HostCall call(session());
    CaptureSession& capture = call.session();
    const std::uint32_t id = capture.rendererId(renderer);
    call.record(RecordKind::ReleaseAllTextures, [&](RecordBuilder& record) { record.u32(id); });
    call.run([&] { renderer->CDD7Render::releaseAllTextures(); }, [] {});
    capture.forgetTexturesOf(renderer);
}

void preD3DReset(CDD7Render* renderer) {
    HostCall call(session());
    CaptureSession& capture = call.session();
    capture.noteInMemoryFlagsOf(renderer);
    const std::uint32_t id = capture.rendererId(renderer);
    call.record(RecordKind::PreReset, [&](RecordBuilder& record) { record.u32(id); });
    call.run([&] { renderer->CDD7Render::preD3DReset(); }, [] {});
}

void postD3DReset(CDD7Render* renderer, bool* sizeChanged) {
    HostCall call(session());
    CaptureSession& capture = call.session();
    capture.noteInMemoryFlagsOf(renderer);
    capture.recordRebuildSources(renderer, false);
    const std::uint32_t id = capture.rendererId(renderer);
    call.record(RecordKind::PostReset,
                [&](RecordBuilder& record) { record.u32(id).flag(sizeChanged != nullptr); });
    call.run([&] { renderer->CDD7Render::postD3DReset(sizeChanged); }, [] {});
}

void setTargetSurface(CDD7Render* renderer, IDirectDrawSurface7* surface) {
    HostCall call(session());
    CaptureSession& capture = call.session();
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    desc.ddpfPixelFormat.dwSize = sizeof(desc.ddpfPixelFormat);
    const bool described = surface != nullptr && SUCCEEDED(surface->GetSurfaceDesc(&desc));
    if (!described) desc = DDSURFACEDESC2{};
    call.record(RecordKind::SetTargetSurface, [&](RecordBuilder& record) {
        record.u32(capture.rendererId(renderer)).flag(surface != nullptr);
        record.u32(desc.dwWidth).u32(desc.dwHeight);
        writePixelFormat(record, desc.ddpfPixelFormat);
        record.u32(desc.ddsCaps.dwCaps);
    });
    call.run([&] { renderer->CDD7Render::setTargetSurface(surface); }, [] {});
    capture.setTarget(renderer, surface);
}

}  // namespace capture
}  // namespace ZelUISystem
