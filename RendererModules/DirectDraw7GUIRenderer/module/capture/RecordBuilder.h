#pragma once
// One record's payload, built field by field in the file's little-endian layout.

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "module/capture/CaptureFormat.h"

namespace ZelUISystem {
namespace capture {

class RecordBuilder {
public:
    explicit RecordBuilder(RecordKind kind) : kind_(kind) {}

    RecordKind kind() const { return kind_; }
    const std::vector<std::uint8_t>& payload() const { return payload_; }

    RecordBuilder& u8(std::uint8_t value) {
        payload_.push_back(value);
        return *this;
    }
    RecordBuilder& flag(bool value) { return u8(value ? 1 : 0); }
    RecordBuilder& u32(std::uint32_t value) {
        for (unsigned i = 0; i < 4; ++i) payload_.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
        return *this;
    }
    RecordBuilder& i32(std::int32_t value) { return u32(static_cast<std::uint32_t>(value)); }
    RecordBuilder& u64(std::uint64_t value) {
        u32(static_cast<std::uint32_t>(value));
        return u32(static_cast<std::uint32_t>(value >> 32));
    }
    RecordBuilder& f32(float value) {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &value, sizeof(bits));
        return u32(bits);
    }
    // A null pointer is written as the length kNullString with no bytes.
    RecordBuilder& string(const char* text) {
        if (text == nullptr) return u32(kNullString);
        const std::size_t length = std::strlen(text);
        u32(static_cast<std::uint32_t>(length));
        payload_.insert(payload_.end(), text, text + length);
        return *this;
    }

private:
    RecordKind kind_;
    std::vector<std::uint8_t> payload_;
};

}  // namespace capture
}  // namespace ZelUISystem
