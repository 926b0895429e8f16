#pragma once
// Reads the fuzz input as a stream of small decisions. Past the end every read answers zero,
// so any input, however short, decodes to some valid sequence of calls.

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace dd7rfuzz {

class ByteReader {
public:
    ByteReader(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    bool empty() const { return offset_ >= size_; }
    std::size_t remaining() const { return empty() ? 0 : size_ - offset_; }

    std::uint8_t byte() { return empty() ? 0 : data_[offset_++]; }
    bool flag() { return (byte() & 1u) != 0; }
    std::uint16_t u16() { return static_cast<std::uint16_t>(byte() | byte() << 8); }
    std::uint32_t u32() { return static_cast<std::uint32_t>(u16()) | static_cast<std::uint32_t>(u16()) << 16; }

    // One of `count` choices (count > 0).
    std::size_t choice(std::size_t count) { return byte() % count; }

    // Any float bit pattern: NaNs, infinities, denormals and negative zero included.
    float anyFloat() {
        const std::uint32_t bits = u32();
        float value;
        std::memcpy(&value, &bits, sizeof(value));
        return value;
    }

    // Copies up to `count` input bytes into `target` and answers how many were copied.
    std::size_t take(void* target, std::size_t count) {
        const std::size_t copied = count < remaining() ? count : remaining();
        if (copied != 0) std::memcpy(target, data_ + offset_, copied);
        offset_ += copied;
        return copied;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t offset_ = 0;
};

}  // namespace dd7rfuzz
