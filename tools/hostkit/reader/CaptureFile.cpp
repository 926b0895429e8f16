#include "reader/CaptureFile.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <new>

#include "capture/ContentHash.h"
#include "reader/DecodeCall.h"

namespace dd7rreplay {

namespace capture = ZelUISystem::capture;

namespace {

constexpr std::uint32_t kBlobFieldsBytes = 12;  // id, hash
constexpr std::size_t kRecordsPerCheckpoint = 256;
constexpr std::size_t kWindowBytes = 1u << 20;
constexpr std::size_t kHashChunkBytes = 1u << 20;

std::uint32_t readU32(const std::uint8_t* bytes) {
    std::uint32_t value = 0;
    for (unsigned i = 0; i < 4; ++i) value |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
    return value;
}

class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::vector<std::uint8_t> bytes) : bytes_(std::move(bytes)) {}
    std::uint64_t size() const override { return bytes_.size(); }
    void read(std::uint64_t offset, void* into, std::size_t count) override {
        if (offset > bytes_.size() || count > bytes_.size() - offset)
            throw CaptureError(offset, "read beyond the end of the file");
        if (count != 0) std::memcpy(into, bytes_.data() + offset, count);
    }

private:
    std::vector<std::uint8_t> bytes_;
};

// A file read through a window of kWindowBytes: records are small and read in order, so most
// reads are copies from the window; large reads (blobs) go to the file directly.
class FileSource final : public ByteSource {
public:
    explicit FileSource(const std::string& path) : path_(path) {
        stream_.open(path, std::ios::binary);
        if (!stream_) throw CaptureError(0, "cannot open " + path);
        stream_.seekg(0, std::ios::end);
        const std::streamoff end = stream_.tellg();
        if (end < 0) throw CaptureError(0, "cannot read " + path);
        size_ = static_cast<std::uint64_t>(end);
    }
    std::uint64_t size() const override { return size_; }
    void read(std::uint64_t offset, void* into, std::size_t count) override {
        if (offset > size_ || count > size_ - offset) throw CaptureError(offset, "read beyond the end of the file");
        if (count == 0) return;
        if (offset >= windowStart_ && offset + count <= windowStart_ + window_.size()) {
            std::memcpy(into, window_.data() + (offset - windowStart_), count);
            return;
        }
        if (count >= kWindowBytes / 4) return readFile(offset, into, count);
        window_.resize(static_cast<std::size_t>(std::min<std::uint64_t>(kWindowBytes, size_ - offset)));
        readFile(offset, window_.data(), window_.size());
        windowStart_ = offset;
        std::memcpy(into, window_.data(), count);
    }

private:
    void readFile(std::uint64_t offset, void* into, std::size_t count) {
        stream_.clear();
        stream_.seekg(static_cast<std::streamoff>(offset), std::ios::beg);
        stream_.read(static_cast<char*>(into), static_cast<std::streamsize>(count));
        if (!stream_) throw CaptureError(offset, "cannot read " + path_);
    }

    std::string path_;
    std::ifstream stream_;
    std::uint64_t size_ = 0;
    std::vector<std::uint8_t> window_;
    std::uint64_t windowStart_ = 0;
};

}  // namespace

std::uint64_t bytesPerSourcePixel(std::uint32_t format) { return format == 1 || format == 2 ? 4 : 3; }

CaptureFile CaptureFile::load(const std::string& path) { return CaptureFile(std::make_unique<FileSource>(path)); }

CaptureFile::CaptureFile(std::vector<std::uint8_t> bytes)
    : CaptureFile(std::make_unique<MemorySource>(std::move(bytes))) {}

CaptureFile::CaptureFile(std::unique_ptr<ByteSource> source) : source_(std::move(source)) {
    readHeader();
    readRecords();
}

CaptureFile::CaptureFile(CaptureFile&&) noexcept = default;
CaptureFile::~CaptureFile() = default;

std::uint64_t CaptureFile::fileSize() const { return source_->size(); }

void CaptureFile::readHeader() {
    const std::uint64_t size = source_->size();
    if (size < capture::kHeaderSize)
        throw CaptureError(0, "the file is " + std::to_string(size) + " bytes long, shorter than the 16-byte header");
    std::uint8_t header[capture::kHeaderSize];
    source_->read(0, header, sizeof(header));
    if (std::memcmp(header, capture::kMagic, sizeof(capture::kMagic)) != 0)
        throw CaptureError(0, "not a dd7r capture (the file does not start with DD7RCAPT)");
    version_ = readU32(header + 8);
    if (version_ < capture::kOldestReadableVersion || version_ > capture::kFormatVersion)
        throw CaptureError(8, "format version " + std::to_string(version_) +
                                  " is not supported (this reader knows versions " +
                                  std::to_string(capture::kOldestReadableVersion) + " to " +
                                  std::to_string(capture::kFormatVersion) + ")");
    pointerBits_ = readU32(header + 12);
    if (pointerBits_ != 32 && pointerBits_ != 64)
        throw CaptureError(12, "writer pointer size " + std::to_string(pointerBits_) + " is neither 32 nor 64 bits");
}

void CaptureFile::readRecords() {
    std::uint64_t offset = capture::kHeaderSize;
    const std::uint64_t end = source_->size();
    while (offset < end) {
        if (end - offset < capture::kRecordHeaderSize)
            throw CaptureError(offset, "the file ends inside a record header (" + std::to_string(end - offset) +
                                           " bytes left)");
        std::uint8_t header[capture::kRecordHeaderSize];
        source_->read(offset, header, sizeof(header));
        const std::uint8_t kind = header[0];
        const std::uint32_t size = readU32(header + 1);
        const std::uint64_t payload = offset + capture::kRecordHeaderSize;
        if (size > end - payload)
            throw CaptureError(offset + 1, "record length " + std::to_string(size) + " is more than the " +
                                               std::to_string(end - payload) + " bytes left in the file");
        if (kind == static_cast<std::uint8_t>(RecordKind::Blob)) {
            addBlob(offset, size);
        } else {
            if (size > kMaxCallPayloadBytes && kind != 0 && kind <= capture::kLastRecordKind)
                throw CaptureError(offset + 1, "record length " + std::to_string(size) + " is more than the " +
                                                   std::to_string(kMaxCallPayloadBytes) + " bytes a call can take");
            if (kind >= capture::kFirstVersion3Kind && kind <= capture::kLastRecordKind && version_ < 3)
                throw CaptureError(offset, "record kind " + std::to_string(kind) + " is not part of format version " +
                                               std::to_string(version_));
            if (recordCount_ % kRecordsPerCheckpoint == 0) checkpoints_.push_back(offset);
            checkCall(decodeAt(offset, kind, std::min(size, kMaxCallPayloadBytes)));
            ++recordCount_;
        }
        offset = payload + size;
    }
}

void CaptureFile::addBlob(std::uint64_t offset, std::uint32_t size) {
    const std::uint64_t payload = offset + capture::kRecordHeaderSize;
    if (size < kBlobFieldsBytes)
        throw CaptureError(offset, "blob record of " + std::to_string(size) + " bytes is shorter than its id and hash");
    std::uint8_t fields[kBlobFieldsBytes];
    source_->read(payload, fields, sizeof(fields));
    const std::uint32_t id = readU32(fields);
    if (id != blobs_.size() + 1)
        throw CaptureError(payload, "blob id " + std::to_string(id) + " out of order (expected " +
                                        std::to_string(blobs_.size() + 1) + ")");
    const std::uint64_t hash = std::uint64_t{readU32(fields + 4)} | (std::uint64_t{readU32(fields + 8)} << 32);
    const BlobPlace place{payload + kBlobFieldsBytes, size - kBlobFieldsBytes};
    if (place.size == 0) throw CaptureError(payload, "blob " + std::to_string(id) + " is empty");
    if (place.size > kMaxBlobBytes)
        throw CaptureError(payload, "blob " + std::to_string(id) + " of " + std::to_string(place.size) +
                                        " bytes is beyond the " + std::to_string(kMaxBlobBytes) + "-byte limit");
    // Hashed in pieces: a blob is never held whole while the file is checked.
    capture::ContentHasher hasher;
    std::vector<std::uint8_t>& chunk = payload_;
    chunk.resize(std::min<std::size_t>(place.size, kHashChunkBytes));
    for (std::uint64_t done = 0; done < place.size;) {
        const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size(), place.size - done));
        source_->read(place.offset + done, chunk.data(), count);
        hasher.update(chunk.data(), count);
        done += count;
    }
    if (hasher.finish() != hash)
        throw CaptureError(payload + 4, "blob " + std::to_string(id) + ": its bytes do not match its hash");
    blobs_.push_back(place);
}

std::uint64_t CaptureFile::blobSize(std::uint32_t id) const {
    if (id == capture::kNoBlob || id > blobs_.size()) return 0;
    return blobs_[id - 1].size;
}

BlobView CaptureFile::blob(std::uint32_t id) const {
    if (id == capture::kNoBlob || id > blobs_.size()) return BlobView{};
    const BlobPlace& place = blobs_[id - 1];
    if (blobInBuffer_ != id) {
        blobInBuffer_ = 0;
        try {
            // Kept for the next blob when it is large enough; one much larger is not held on to.
            if (blobBytes_.size() > 2 * std::size_t{place.size} + kWindowBytes) blobBytes_ = std::vector<std::uint8_t>();
            blobBytes_.resize(place.size);
        } catch (const std::bad_alloc&) {
            blobBytes_ = std::vector<std::uint8_t>();
            throw CaptureError(place.offset, "no memory for blob " + std::to_string(id) + " of " +
                                                 std::to_string(place.size) + " bytes");
        }
        source_->read(place.offset, blobBytes_.data(), place.size);
        blobInBuffer_ = id;
    }
    return BlobView{blobBytes_.data(), place.size};
}

void CaptureFile::checkBlobSize(const CaptureCall& call, std::uint64_t expected, const char* what) const {
    if (call.blob != capture::kNoBlob) {
        if (call.blob > blobs_.size())
            throw CaptureError(call.offset, std::string(recordKindName(call.kind)) + " names blob " +
                                                std::to_string(call.blob) + ", which is not stored before it");
        if (blobs_[call.blob - 1].size != expected)
            throw CaptureError(call.offset, std::string(recordKindName(call.kind)) + ": blob " +
                                                std::to_string(call.blob) + " holds " +
                                                std::to_string(blobs_[call.blob - 1].size) + " bytes, but " + what +
                                                " needs " + std::to_string(expected));
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
            if (call.overload == TextureOverload::File && call.blob != capture::kNoBlob) {
                CaptureCall file = call;
                file.given = false;
                checkBlobSize(file, blobSize(file.blob), "the file");
            }
            break;
        case RecordKind::LoadFromFile:
        case RecordKind::SourceFile:
            if (call.blob != capture::kNoBlob) checkBlobSize(call, blobSize(call.blob), "the file");
            break;
        case RecordKind::LoadFromFileData: checkBlobSize(call, call.byteCount, "the file data"); break;
        case RecordKind::LoadFromMemory:
            checkBlobSize(call, std::uint64_t{call.width} * call.height * bytesPerSourcePixel(call.format), "the pixels");
            break;
        case RecordKind::FillFromMemory: {
            const std::uint64_t span = call.width == 0 || call.height == 0
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

CaptureCall CaptureFile::decodeAt(std::uint64_t offset, std::uint8_t kind, std::uint32_t size) const {
    const std::uint64_t payload = offset + capture::kRecordHeaderSize;
    payload_.resize(size);
    source_->read(payload, payload_.data(), size);
    PayloadCursor cursor(payload_.data(), size, payload);
    CaptureCall call = decodeCall(kind, cursor);
    call.offset = offset;
    return call;
}

std::uint64_t CaptureFile::skipBlobs(std::uint64_t offset) const {
    for (;;) {
        std::uint8_t header[capture::kRecordHeaderSize];
        source_->read(offset, header, sizeof(header));
        if (header[0] != static_cast<std::uint8_t>(RecordKind::Blob)) return offset;
        offset += capture::kRecordHeaderSize + std::uint64_t{readU32(header + 1)};
    }
}

CaptureCall CaptureFile::call(std::size_t index) const {
    if (index >= recordCount_) throw std::out_of_range("capture record " + std::to_string(index));
    // Start from the nearest known place at or before the record: just after one of the last
    // records read (the replay reads in order, looking a few records ahead), else a checkpoint.
    Cursor start{index - index % kRecordsPerCheckpoint, checkpoints_[index / kRecordsPerCheckpoint]};
    for (const Cursor& recent : recent_)
        if (recent.offset != 0 && recent.index <= index && recent.index > start.index) start = recent;
    std::uint64_t offset = skipBlobs(start.offset);
    for (std::size_t at = start.index; at < index; ++at) {
        std::uint8_t header[capture::kRecordHeaderSize];
        source_->read(offset, header, sizeof(header));
        offset = skipBlobs(offset + capture::kRecordHeaderSize + readU32(header + 1));
    }
    std::uint8_t header[capture::kRecordHeaderSize];
    source_->read(offset, header, sizeof(header));
    const std::uint32_t size = readU32(header + 1);
    // The record after this one is where an in-order reader goes next.
    if (index + 1 < recordCount_) {
        recent_[nextRecent_] = Cursor{index + 1, offset + capture::kRecordHeaderSize + size};
        nextRecent_ = (nextRecent_ + 1) % kRecentCursors;
    }
    return decodeAt(offset, header[0], size);
}

}  // namespace dd7rreplay
