#include "capture/TargetPicture.h"

#include <cstring>

namespace ZelUISystem {
namespace capture {

namespace {

// A target larger than this is not kept (the record then names no blob).
constexpr std::uint64_t kMaxTargetBytes = 256ull * 1024 * 1024;

std::uint64_t word(const std::uint8_t* bytes) {
    std::uint64_t value = 0;
    std::memcpy(&value, bytes, sizeof(value));
    return value;
}

// Whether every byte of the row matches the repeated pattern (row starts are pattern-aligned,
// as eight is a multiple of the pixel size).
bool rowMatches(const std::uint8_t* row, std::size_t size, std::uint64_t pattern) {
    std::size_t at = 0;
    for (; at + 32 <= size; at += 32) {
        const std::uint64_t differs = (word(row + at) ^ pattern) | (word(row + at + 8) ^ pattern) |
                                      (word(row + at + 16) ^ pattern) | (word(row + at + 24) ^ pattern);
        if (differs != 0) return false;
    }
    std::uint8_t bytes[8];
    std::memcpy(bytes, &pattern, sizeof(bytes));
    for (; at < size; ++at)
        if (row[at] != bytes[at % 8]) return false;
    return true;
}

}  // namespace

bool TargetRows::describe(const DDSURFACEDESC2& desc) {
    bytesPerPixel = desc.ddpfPixelFormat.dwRGBBitCount / 8;
    const std::uint64_t bytes = std::uint64_t{desc.dwWidth} * bytesPerPixel;
    if (bytes == 0 || desc.lpSurface == nullptr || desc.lPitch < 0 ||
        static_cast<std::uint64_t>(desc.lPitch) < bytes || bytes * desc.dwHeight > kMaxTargetBytes)
        return false;
    first = static_cast<const std::uint8_t*>(desc.lpSurface);
    pitch = static_cast<std::size_t>(desc.lPitch);
    rowBytes = static_cast<std::size_t>(bytes);
    height = desc.dwHeight;
    width = desc.dwWidth;
    return true;
}

bool TargetPicture::sameAs(const TargetRows& rows) const {
    if (blob == kNoBlob || rows.rowBytes != rowBytes_ || bytes_.size() != rows.rowBytes * rows.height) return false;
    for (std::size_t row = 0; row < rows.height; ++row) {
        const std::uint8_t* line = rows.first + row * rows.pitch;
        const bool same = uniform_ ? rowMatches(line, rows.rowBytes, pattern_)
                                   : std::memcmp(line, bytes_.data() + row * rows.rowBytes, rows.rowBytes) == 0;
        if (!same) return false;
    }
    return true;
}

void TargetPicture::keep(const TargetRows& rows) {
    rowBytes_ = rows.rowBytes;
    bytes_.resize(rows.rowBytes * rows.height);
    for (std::size_t row = 0; row < rows.height; ++row)
        std::memcpy(bytes_.data() + row * rows.rowBytes, rows.first + row * rows.pitch, rows.rowBytes);
    blob = kNoBlob;
    uniform_ = false;
    if ((rows.bytesPerPixel != 2 && rows.bytesPerPixel != 4) || bytes_.empty()) return;
    std::uint8_t pattern[8];
    for (std::size_t i = 0; i < sizeof(pattern); ++i) pattern[i] = bytes_[i % rows.bytesPerPixel];
    std::memcpy(&pattern_, pattern, sizeof(pattern_));
    uniform_ = true;
    for (std::size_t row = 0; row < rows.height && uniform_; ++row)
        uniform_ = rowMatches(bytes_.data() + row * rows.rowBytes, rows.rowBytes, pattern_);
}

void TargetPicture::forget() {
    bytes_.clear();
    blob = kNoBlob;
    uniform_ = false;
}

}  // namespace capture
}  // namespace ZelUISystem
