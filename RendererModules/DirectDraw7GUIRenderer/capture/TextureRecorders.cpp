// The recorders of the texture slots a host calls. Pixels and file bytes are stored only after
// the slot succeeded: only then has the module shown that the host's buffer holds them.

#include <cstdint>

#include "capture/CaptureHooks.h"
#include "capture/HostCall.h"
#include "capture/SourceFiles.h"
#include "texture/CDD7Texture.h"

namespace ZelUISystem {
namespace capture {

namespace {

CaptureSession& session() { return *hostLevelSession; }

bool isSourceFormat(TextureFormat format) {
    return format == TEXFMT_RGB || format == TEXFMT_RGBA || format == TEXFMT_BGRA;
}

std::uint64_t bytesPerPixel(TextureFormat format) { return format == TEXFMT_RGB || !isSourceFormat(format) ? 3 : 4; }

// A texture slot: the slot first, then its record, with the bytes when `bytesRead` says the
// slot read them.
template <typename Slot, typename Fill>
void recordTextureCall(CDD7Texture* texture, RecordKind kind, Slot&& slot, Fill&& fill) {
    HostCall call(session());
    CaptureSession& capture = call.session();
    capture.noteInMemoryFlag(texture);
    const std::uint32_t id = capture.textureRef(texture);
    auto writeRecord = [&](bool succeeded) {
        call.record(kind, [&](RecordBuilder& record) {
            record.u32(id);
            fill(record, succeeded);
        });
    };
    call.run(slot, [&] { writeRecord(false); });
    writeRecord(true);
}

std::uint32_t storeIf(CaptureSession& capture, bool read, const void* data, std::uint64_t size) {
    if (!read || data == nullptr || size == 0 || size > kMaxBlobBytes) return kNoBlob;
    return capture.storeBlob(data, static_cast<std::size_t>(size));
}

}  // namespace

void loadFromFile(CDD7Texture* texture, const char* fileName, const char* directory) {
    CaptureSession& capture = session();
    std::uint32_t blob = kNoBlob;
    recordTextureCall(
        texture, RecordKind::LoadFromFile, [&] { texture->CDD7Texture::loadFromFile(fileName, directory); },
        [&](RecordBuilder& record, bool) {
            blob = storeSourceFile(capture, fileName, directory);
            record.string(fileName).string(directory).u32(blob);
        });
    capture.noteSourceFile(texture, blob);
}

void loadFromFileData(CDD7Texture* texture, const std::uint8_t* data, std::uint32_t size) {
    CaptureSession& capture = session();
    recordTextureCall(
        texture, RecordKind::LoadFromFileData, [&] { texture->CDD7Texture::loadFromFileData(data, size); },
        [&](RecordBuilder& record, bool succeeded) {
            record.flag(data != nullptr).u32(size).u32(storeIf(capture, succeeded, data, size));
        });
}

void loadFromMemory(CDD7Texture* texture, const void* pixels, std::uint32_t width,
                    std::uint32_t height, TextureFormat format) {
    CaptureSession& capture = session();
    recordTextureCall(
        texture, RecordKind::LoadFromMemory,
        [&] { texture->CDD7Texture::loadFromMemory(pixels, width, height, format); },
        [&](RecordBuilder& record, bool succeeded) {
            // The pixels were read when they were converted into a surface or kept as a copy.
            const bool read = succeeded && ((texture->surface() != nullptr && isSourceFormat(format)) ||
                                            texture->isInMemory());
            const std::uint64_t size = std::uint64_t{width} * height * bytesPerPixel(format);
            record.flag(pixels != nullptr).u32(width).u32(height).u32(format).u32(storeIf(capture, read, pixels, size));
        });
}

void fillFromMemory(CDD7Texture* texture, const void* pixels, std::uint32_t x, std::uint32_t y,
                    std::uint32_t width, std::uint32_t height, std::uint32_t pitch,
                    TextureFormat format) {
    CaptureSession& capture = session();
    recordTextureCall(
        texture, RecordKind::FillFromMemory,
        [&] { texture->CDD7Texture::fillFromMemory(pixels, x, y, width, height, pitch, format); },
        [&](RecordBuilder& record, bool succeeded) {
            const bool read = succeeded && isSourceFormat(format) && width != 0 && height != 0;
            const std::uint64_t span =
                read ? std::uint64_t{height - 1} * pitch + std::uint64_t{width} * bytesPerPixel(format) : 0;
            record.flag(pixels != nullptr).u32(x).u32(y).u32(width).u32(height).u32(pitch);
            record.u32(format).u32(storeIf(capture, read, pixels, span));
        });
}

}  // namespace capture
}  // namespace ZelUISystem
