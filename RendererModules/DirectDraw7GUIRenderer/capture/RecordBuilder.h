#pragma once
// One record's payload, built field by field in the file's little-endian layout.

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "capture/CaptureFormat.h"

namespace ZelUISystem {
namespace capture {

// Most payloads are a few dozen bytes: they are built in place, without a heap allocation per
// call; longer ones (names, texts) move to the heap.
class RecordBuilder {
public:
    explicit RecordBuilder(RecordKind kind) : kind_(kind) {}

    RecordKind kind() const { return kind_; }
    const std::uint8_t* data() const { return spilled_.empty() ? inPlace_ : spilled_.data(); }
    std::size_t size() const { return spilled_.empty() ? size_ : spilled_.size(); }

    RecordBuilder& u8(std::uint8_t value) { return bytes(&value, 1); }
    RecordBuilder& flag(bool value) { return u8(value ? 1 : 0); }
    RecordBuilder& u32(std::uint32_t value) {
        std::uint8_t le[4];
        for (unsigned i = 0; i < 4; ++i) le[i] = static_cast<std::uint8_t>(value >> (8 * i));
        return bytes(le, sizeof(le));
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
        return bytes(text, length);
    }

private:
    RecordBuilder& bytes(const void* source, std::size_t count) {
        const auto* from = static_cast<const std::uint8_t*>(source);
        if (spilled_.empty() && size_ + count <= sizeof(inPlace_)) {
            std::memcpy(inPlace_ + size_, from, count);
            size_ += count;
            return *this;
        }
        if (spilled_.empty()) spilled_.assign(inPlace_, inPlace_ + size_);
        spilled_.insert(spilled_.end(), from, from + count);
        return *this;
    }

    RecordKind kind_;
    std::size_t size_ = 0;
    std::uint8_t inPlace_[96];
    std::vector<std::uint8_t> spilled_;
};

}  // namespace capture
}  // namespace ZelUISystem
