#pragma once
// A capture file read whole into memory and checked before anything is replayed: the header,
// every record's length against what is left of the file, every payload against its kind, the
// blobs (numbered in order, hash confirmed), and every size a replay would hand the module
// against the bytes the capture holds for it. Any fault raises CaptureError with its offset.

#include <cstddef>
#include <cstdint>
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

class CaptureFile {
public:
    // Checks the bytes (kept by the object); throws CaptureError.
    explicit CaptureFile(std::vector<std::uint8_t> bytes);
    static CaptureFile load(const std::string& path);

    std::uint32_t version() const { return version_; }
    std::uint32_t writerPointerBits() const { return pointerBits_; }
    std::size_t recordCount() const { return records_.size(); }
    // Decodes record `index` (never fails on a checked file); blobs are not in this list.
    CaptureCall call(std::size_t index) const;
    BlobView blob(std::uint32_t id) const;
    std::size_t blobCount() const { return blobs_.size(); }
    std::uint64_t fileSize() const { return bytes_.size(); }

private:
    struct RecordPlace {
        std::uint64_t offset;
        std::uint32_t size;
    };

    void readHeader();
    void readRecords();
    void addBlob(const RecordPlace& place);
    void checkCall(const CaptureCall& call) const;
    void checkBlobSize(const CaptureCall& call, std::uint64_t expected, const char* what) const;

    std::vector<std::uint8_t> bytes_;
    std::uint32_t version_ = 0;
    std::uint32_t pointerBits_ = 0;
    std::vector<RecordPlace> records_;
    std::vector<BlobView> blobs_;
};

// Bytes a call hands the module: 3 per pixel for TEXFMT_RGB (and unknown formats), else 4.
std::uint64_t bytesPerSourcePixel(std::uint32_t format);

}  // namespace dd7rreplay
