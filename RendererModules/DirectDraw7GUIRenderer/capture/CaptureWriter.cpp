#include "capture/CaptureWriter.h"

#include <algorithm>
#include <cstring>

#include "capture/ContentHash.h"

namespace ZelUISystem {
namespace capture {

namespace {

// Records are written out when this much is buffered, and at every frame.
constexpr std::size_t kFlushThreshold = 4u * 1024 * 1024;
constexpr std::size_t kCompareChunk = 64u * 1024;

void putU32(std::uint8_t* out, std::uint32_t value) {
    for (unsigned i = 0; i < 4; ++i) out[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

bool CaptureWriter::open(const std::string& path) {
    file_.open(path, std::ios::in | std::ios::out | std::ios::binary | std::ios::trunc);
    failed_ = !file_.is_open();
    if (failed_) return false;
    std::uint8_t header[kHeaderSize] = {};
    std::memcpy(header, kMagic, sizeof(kMagic));
    putU32(header + 8, kFormatVersion);
    putU32(header + 12, static_cast<std::uint32_t>(sizeof(void*) * 8));
    appendRaw(header, sizeof(header));
    flush();
    return !failed_;
}

void CaptureWriter::appendRaw(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    pending_.insert(pending_.end(), bytes, bytes + size);
}

void CaptureWriter::append(const RecordBuilder& record) {
    if (failed_) return;
    std::uint8_t header[kRecordHeaderSize];
    header[0] = static_cast<std::uint8_t>(record.kind());
    putU32(header + 1, static_cast<std::uint32_t>(record.size()));
    appendRaw(header, sizeof(header));
    appendRaw(record.data(), record.size());
    if (pending_.size() >= kFlushThreshold) flush();
}

std::uint32_t CaptureWriter::storeBlob(const void* data, std::size_t size) {
    if (failed_ || data == nullptr || size == 0 || size > kMaxBlobBytes) return kNoBlob;
    const std::uint64_t hash = contentHash(data, size);
    std::vector<BlobPlace>& places = blobs_[hash];
    for (const BlobPlace& place : places)
        if (sameBytes(place, data, size)) return place.id;
    if (failed_) return kNoBlob;

    RecordBuilder record(RecordKind::Blob);
    const std::uint32_t id = nextBlobId_++;
    record.u32(id).u64(hash);
    std::uint8_t header[kRecordHeaderSize];
    header[0] = static_cast<std::uint8_t>(RecordKind::Blob);
    putU32(header + 1, static_cast<std::uint32_t>(record.size() + size));
    appendRaw(header, sizeof(header));
    appendRaw(record.data(), record.size());
    const std::uint64_t offset = flushedBytes_ + pending_.size();
    appendRaw(data, size);
    places.push_back(BlobPlace{id, offset, size});
    if (pending_.size() >= kFlushThreshold) flush();
    return failed_ ? kNoBlob : id;
}

bool CaptureWriter::sameBytes(const BlobPlace& place, const void* data, std::size_t size) {
    if (place.size != size) return false;
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    if (place.offset >= flushedBytes_) {
        const std::size_t start = static_cast<std::size_t>(place.offset - flushedBytes_);
        return std::memcmp(pending_.data() + start, bytes, size) == 0;
    }
    flush();
    return !failed_ && fileBytesEqual(place.offset, bytes, size);
}

// Reads the stored copy back and compares it chunk by chunk; the file position returns to the
// end for the next append.
bool CaptureWriter::fileBytesEqual(std::uint64_t offset, const std::uint8_t* data, std::size_t size) {
    std::vector<char> chunk(std::min(size, kCompareChunk));
    file_.seekg(static_cast<std::streamoff>(offset));
    bool equal = true;
    for (std::size_t done = 0; equal && done < size;) {
        const std::size_t count = std::min(chunk.size(), size - done);
        if (!file_.read(chunk.data(), static_cast<std::streamsize>(count))) {
            failed_ = true;
            return false;
        }
        equal = std::memcmp(chunk.data(), data + done, count) == 0;
        done += count;
    }
    file_.seekp(0, std::ios::end);
    if (!file_) failed_ = true;
    return equal && !failed_;
}

void CaptureWriter::flush() {
    if (failed_) return;
    if (!pending_.empty()) {
        file_.seekp(static_cast<std::streamoff>(flushedBytes_));
        file_.write(reinterpret_cast<const char*>(pending_.data()),
                    static_cast<std::streamsize>(pending_.size()));
        flushedBytes_ += pending_.size();
        pending_.clear();
    }
    file_.flush();
    if (!file_) failed_ = true;
}

void CaptureWriter::close() {
    flush();
    if (file_.is_open()) file_.close();
    failed_ = true;
}

}  // namespace capture
}  // namespace ZelUISystem
