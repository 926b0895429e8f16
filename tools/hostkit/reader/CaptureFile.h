#pragma once
// A capture file, checked before anything is replayed: the header, every record's length against
// what is left of the file, every payload against its kind, the blobs (numbered in order, hash
// confirmed), and every size a replay would hand the module against the bytes the capture holds
// for it. Any fault raises CaptureError with its offset.
//
// The file is read as a stream, never whole: what stays in memory is a place (offset and size)
// per blob, one file offset per 256 records, a read window and the one blob
// last asked for. A blob's bytes are read from the file when a call needs them.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "reader/CaptureCall.h"
#include "reader/CaptureError.h"

namespace dd7rreplay {

struct BlobView {
    const std::uint8_t* data = nullptr;
    std::size_t size = 0;
};

// Zero-filled stand-ins for bytes a capture did not keep are at most this large.
constexpr std::uint64_t kMaxStandInBytes = 256ull * 1024 * 1024;
// A record other than a blob holds at most two strings and a few fields.
constexpr std::uint32_t kMaxCallPayloadBytes = 256 * 1024;
// A blob is read into memory whole when a call needs it: larger ones are refused.
constexpr std::uint64_t kMaxBlobBytes = 512ull * 1024 * 1024;
// A target surface larger than this on either side is refused.
constexpr std::uint32_t kMaxSurfaceSide = 16384;

// Where the bytes come from: a file on disk, or bytes in memory (tests, the fuzz target).
class ByteSource {
public:
    virtual ~ByteSource() = default;
    virtual std::uint64_t size() const = 0;
    // Reads exactly `count` bytes at `offset` (inside the source); throws CaptureError when it
    // cannot.
    virtual void read(std::uint64_t offset, void* into, std::size_t count) = 0;
};

class CaptureFile {
public:
    // Checks the bytes (kept by the object); throws CaptureError.
    explicit CaptureFile(std::vector<std::uint8_t> bytes);
    static CaptureFile load(const std::string& path);
    CaptureFile(CaptureFile&&) noexcept;
    ~CaptureFile();

    std::uint32_t version() const { return version_; }
    std::uint32_t writerPointerBits() const { return pointerBits_; }
    std::size_t recordCount() const { return recordCount_; }
    // Decodes record `index` (never fails on a checked file but for a read error); blobs are
    // not in this list. Reading the records in order is cheapest.
    CaptureCall call(std::size_t index) const;
    // The blob's bytes, read from the file; valid until the next call of blob().
    BlobView blob(std::uint32_t id) const;
    std::uint64_t blobSize(std::uint32_t id) const;
    std::size_t blobCount() const { return blobs_.size(); }
    std::uint64_t fileSize() const;

private:
    struct BlobPlace {
        std::uint64_t offset;  // of the bytes
        std::uint32_t size;
    };
    struct Cursor {
        std::size_t index = 0;
        std::uint64_t offset = 0;  // of the record `index`, or of blobs before it
    };

    explicit CaptureFile(std::unique_ptr<ByteSource> source);
    void readHeader();
    void readRecords();
    void addBlob(std::uint64_t offset, std::uint32_t size);
    void checkCall(const CaptureCall& call) const;
    void checkBlobSize(const CaptureCall& call, std::uint64_t expected, const char* what) const;
    CaptureCall decodeAt(std::uint64_t offset, std::uint8_t kind, std::uint32_t size) const;
    // The offset of the next non-blob record at or after `offset`.
    std::uint64_t skipBlobs(std::uint64_t offset) const;

    std::unique_ptr<ByteSource> source_;
    std::uint32_t version_ = 0;
    std::uint32_t pointerBits_ = 0;
    std::size_t recordCount_ = 0;
    std::vector<std::uint64_t> checkpoints_;  // offset of record i * kRecordsPerCheckpoint
    std::vector<BlobPlace> blobs_;
    static constexpr std::size_t kRecentCursors = 8;
    mutable Cursor recent_[kRecentCursors];
    mutable std::size_t nextRecent_ = 0;
    mutable std::vector<std::uint8_t> payload_;
    mutable std::vector<std::uint8_t> blobBytes_;
    mutable std::uint32_t blobInBuffer_ = 0;
};

// Bytes a call hands the module: 3 per pixel for TEXFMT_RGB (and unknown formats), else 4.
std::uint64_t bytesPerSourcePixel(std::uint32_t format);

}  // namespace dd7rreplay
