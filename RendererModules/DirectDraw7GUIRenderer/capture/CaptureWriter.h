#pragma once
// The capture file on disk: the header, buffered record appends, and the store of texture data
// in which identical bytes are written once (content hash, confirmed by comparing the bytes).
// Any failure to write leaves the writer failed; it then writes nothing more.

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <unordered_map>
#include <vector>

#include "capture/RecordBuilder.h"

namespace ZelUISystem {
namespace capture {

// Texture data larger than this is not stored (the record then names no blob).
constexpr std::uint64_t kMaxBlobBytes = 512ull * 1024 * 1024;

class CaptureWriter {
public:
    // Creates (or truncates) the file and writes the header; false when it cannot.
    bool open(const std::string& path);
    bool failed() const { return failed_; }

    void append(const RecordBuilder& record);
    // Stores the bytes once and returns their blob id; kNoBlob for empty or oversized data or
    // after a failure.
    std::uint32_t storeBlob(const void* data, std::size_t size);
    // Writes the buffered records to the file and flushes it.
    void flush();
    void close();

private:
    struct BlobPlace {
        std::uint32_t id;
        std::uint64_t offset;  // of the bytes in the file
        std::uint64_t size;
    };

    void appendRaw(const void* data, std::size_t size);
    bool sameBytes(const BlobPlace& place, const void* data, std::size_t size);
    bool fileBytesEqual(std::uint64_t offset, const std::uint8_t* data, std::size_t size);

    std::fstream file_;
    bool failed_ = true;
    std::vector<std::uint8_t> pending_;
    std::uint64_t flushedBytes_ = 0;  // bytes in the file; pending_ follows them
    std::uint32_t nextBlobId_ = 1;
    std::unordered_map<std::uint64_t, std::vector<BlobPlace>> blobs_;
};

}  // namespace capture
}  // namespace ZelUISystem
