#include "reader/CaptureFile.h"

#include <cstring>
#include <fstream>
#include <iterator>

#include "capture/ContentHash.h"
#include "reader/DecodeCall.h"

namespace dd7rreplay {

namespace capture = ZelUISystem::capture;

namespace {

// A target surface larger than this on either side is refused.
constexpr std::uint32_t kMaxSurfaceSide = 16384;
constexpr std::uint32_t kBlobFieldsBytes = 12;  // id, hash

std::uint32_t readU32(const std::uint8_t* bytes) {
    std::uint32_t value = 0;
    for (unsigned i = 0; i < 4; ++i) value |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
    return value;
}

}  // namespace

std::uint64_t bytesPerSourcePixel(std::uint32_t format) { return format == 1 || format == 2 ? 4 : 3; }

CaptureFile CaptureFile::load(const std::string& path) {
    std::ifstream stream(path, std::ios::binary);
    if (!stream) throw CaptureError(0, "cannot open " + path);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(stream)), std::istreambuf_iterator<char>());
    if (stream.bad()) throw CaptureError(0, "cannot read " + path);
    return CaptureFile(std::move(bytes));
}

CaptureFile::CaptureFile(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {
    readHeader();
    readRecords();
}

void CaptureFile::readHeader() {
    if (bytes_.size() < capture::kHeaderSize)
        throw CaptureError(0, "the file is " + std::to_string(bytes_.size()) +
                                  " bytes long, shorter than the 16-byte header");
    if (std::memcmp(bytes_.data(), capture::kMagic, sizeof(capture::kMagic)) != 0)
        throw CaptureError(0, "not a dd7r capture (the file does not start with DD7RCAPT)");
    version_ = readU32(bytes_.data() + 8);
    if (version_ != capture::kFormatVersion)
        throw CaptureError(8, "format version " + std::to_string(version_) +
                                  " is not supported (this reader knows version " +
                                  std::to_string(capture::kFormatVersion) + ")");
    pointerBits_ = readU32(bytes_.data() + 12);
    if (pointerBits_ != 32 && pointerBits_ != 64)
        throw CaptureError(12, "writer pointer size " + std::to_string(pointerBits_) + " is neither 32 nor 64 bits");
}

void CaptureFile::readRecords() {
    std::uint64_t offset = capture::kHeaderSize;
    const std::uint64_t end = bytes_.size();
    while (offset < end) {
        if (end - offset < capture::kRecordHeaderSize)
            throw CaptureError(offset, "the file ends inside a record header (" +
                                           std::to_string(end - offset) + " bytes left)");
        const std::uint8_t kind = bytes_[offset];
        const std::uint32_t size = readU32((bytes_.data() + offset + 1));
        const std::uint64_t payload = offset + capture::kRecordHeaderSize;
        if (size > end - payload)
            throw CaptureError(offset + 1, "record length " + std::to_string(size) + " is more than the " +
                                               std::to_string(end - payload) + " bytes left in the file");
        const RecordPlace place{offset, size};
        if (kind == static_cast<std::uint8_t>(RecordKind::Blob)) {
            addBlob(place);
        } else {
            PayloadCursor cursor((bytes_.data() + payload), size, payload);
            CaptureCall call = decodeCall(kind, cursor);
            call.offset = offset;
            checkCall(call);
            records_.push_back(place);
        }
        offset = payload + size;
    }
}

void CaptureFile::addBlob(const RecordPlace& place) {
    const std::uint64_t payload = place.offset + capture::kRecordHeaderSize;
    if (place.size < kBlobFieldsBytes)
        throw CaptureError(place.offset, "blob record of " + std::to_string(place.size) +
                                             " bytes is shorter than its id and hash");
    const std::uint32_t id = readU32((bytes_.data() + payload));
    if (id != blobs_.size() + 1)
        throw CaptureError(payload, "blob id " + std::to_string(id) + " out of order (expected " +
                                        std::to_string(blobs_.size() + 1) + ")");
    const std::uint64_t hash = std::uint64_t{readU32((bytes_.data() + payload + 4))} |
                               (std::uint64_t{readU32((bytes_.data() + payload + 8))} << 32);
    const BlobView view{(bytes_.data() + payload + kBlobFieldsBytes), place.size - kBlobFieldsBytes};
    if (view.size == 0) throw CaptureError(payload, "blob " + std::to_string(id) + " is empty");
    if (capture::contentHash(view.data, view.size) != hash)
        throw CaptureError(payload + 4, "blob " + std::to_string(id) + ": its bytes do not match its hash");
    blobs_.push_back(view);
}

BlobView CaptureFile::blob(std::uint32_t id) const {
    if (id == capture::kNoBlob || id > blobs_.size()) return BlobView{};
    return blobs_[id - 1];
}

void CaptureFile::checkBlobSize(const CaptureCall& call, std::uint64_t expected, const char* what) const {
    if (call.blob != capture::kNoBlob) {
        if (call.blob > blobs_.size())
            throw CaptureError(call.offset, std::string(recordKindName(call.kind)) + " names blob " +
                                                std::to_string(call.blob) + ", which is not stored before it");
        if (blobs_[call.blob - 1].size != expected)
            throw CaptureError(call.offset, std::string(recordKindName(call.kind)) + ": blob " +
                                                std::to_string(call.blob) + " holds " +
                                                std::to_string(blobs_[call.blob - 1].size) + " bytes, but " +
                                                what + " needs " + std::to_string(expected));
        return;
    }
    if (call.given && expected > kMaxStandInBytes)
        throw CaptureError(call.offset, std::string(recordKindName(call.kind)) + ": " + what + " of " +
                                            std::to_string(expected) + " bytes is beyond the " +
                                            std::to_string(kMaxStandInBytes) + "-byte limit");
}

void CaptureFile::checkCall(const CaptureCall& call) const {
    switch (call.kind) {
        case RecordKind::CreateTexture:
            if (call.overload == TextureOverload::FileData) checkBlobSize(call, call.byteCount, "the file data");
            if (call.overload == TextureOverload::File) {
                CaptureCall file = call;
                file.given = false;
                if (file.blob != capture::kNoBlob) checkBlobSize(file, blob(file.blob).size, "the file");
            }
            break;
        case RecordKind::LoadFromFile:
            if (call.blob != capture::kNoBlob) checkBlobSize(call, blob(call.blob).size, "the file");
            break;
        case RecordKind::LoadFromFileData: checkBlobSize(call, call.byteCount, "the file data"); break;
        case RecordKind::LoadFromMemory:
            checkBlobSize(call, std::uint64_t{call.width} * call.height * bytesPerSourcePixel(call.format),
                          "the pixels");
            break;
        case RecordKind::FillFromMemory: {
            const std::uint64_t span =
                call.width == 0 || call.height == 0
                    ? 0
                    : std::uint64_t{call.height - 1} * call.pitch +
                          std::uint64_t{call.width} * bytesPerSourcePixel(call.format);
            checkBlobSize(call, span, "the pixel rectangle");
            break;
        }
        case RecordKind::TargetContents: {
            CaptureCall contents = call;
            contents.given = false;
            checkBlobSize(contents, std::uint64_t{call.pitch} * call.height, "the target's rows");
            break;
        }
        case RecordKind::SetTargetSurface:
            if (call.given && (call.width > kMaxSurfaceSide || call.height > kMaxSurfaceSide))
                throw CaptureError(call.offset, "target surface of " + std::to_string(call.width) + "x" +
                                                    std::to_string(call.height) + " is larger than " +
                                                    std::to_string(kMaxSurfaceSide) + " on a side");
            break;
        default: break;
    }
}

CaptureCall CaptureFile::call(std::size_t index) const {
    const RecordPlace& place = records_.at(index);
    const std::uint64_t payload = place.offset + capture::kRecordHeaderSize;
    PayloadCursor cursor((bytes_.data() + payload), place.size, payload);
    CaptureCall call = decodeCall(bytes_[place.offset], cursor);
    call.offset = place.offset;
    return call;
}

}  // namespace dd7rreplay
