#pragma once
// Reads the fields of one record's payload. Every read is checked against the payload's end:
// a short payload raises CaptureError naming the file offset and the field.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>

#include "reader/CaptureError.h"

namespace dd7rreplay {

// Strings in a capture are file and folder names and exception texts.
constexpr std::uint32_t kMaxStringBytes = 64 * 1024;

class PayloadCursor {
public:
    PayloadCursor(const std::uint8_t* data, std::size_t size, std::uint64_t fileOffset)
        : data_(data), size_(size), fileOffset_(fileOffset) {}

    std::uint8_t u8(const char* field) { return *take(1, field); }
    bool flag(const char* field) {
        const std::uint8_t value = u8(field);
        if (value > 1) fail(std::string(field) + " is " + std::to_string(value) + ", not 0 or 1");
        return value == 1;
    }
    std::uint32_t u32(const char* field) {
        const std::uint8_t* bytes = take(4, field);
        std::uint32_t value = 0;
        for (unsigned i = 0; i < 4; ++i) value |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
        return value;
    }
    std::int32_t i32(const char* field) { return static_cast<std::int32_t>(u32(field)); }
    std::uint64_t u64(const char* field) {
        const std::uint64_t low = u32(field);
        return low | (static_cast<std::uint64_t>(u32(field)) << 32);
    }
    float f32(const char* field) {
        const std::uint32_t bits = u32(field);
        float value = 0.0f;
        std::memcpy(&value, &bits, sizeof(value));
        return value;
    }
    // An absent string (a null pointer in the capture) is nullopt.
    std::optional<std::string> string(const char* field);

    std::size_t remaining() const { return size_ - position_; }
    const std::uint8_t* rest() const { return data_ + position_; }
    std::uint64_t offset() const { return fileOffset_ + position_; }
    // The whole payload must have been read.
    void expectEnd(const char* record);
    [[noreturn]] void fail(const std::string& what) const { throw CaptureError(offset(), what); }

private:
    const std::uint8_t* take(std::size_t count, const char* field) {
        if (count > remaining())
            fail(std::string("record ends before its field '") + field + "'");
        const std::uint8_t* bytes = data_ + position_;
        position_ += count;
        return bytes;
    }

    const std::uint8_t* data_;
    std::size_t size_;
    std::uint64_t fileOffset_;
    std::size_t position_ = 0;
};

}  // namespace dd7rreplay
