#pragma once
// The 64-bit content hash that lets a capture store identical texture data once. Four lanes of
// multiply-rotate over 32-byte blocks, then the tail byte by byte: fast on large pixel buffers,
// and good enough because equal hashes are always confirmed by comparing the bytes.

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace ZelUISystem {
namespace capture {

namespace hashdetail {

constexpr std::uint64_t kPrime1 = 0x9E3779B185EBCA87ull;
constexpr std::uint64_t kPrime2 = 0xC2B2AE3D27D4EB4Full;
constexpr std::uint64_t kPrime3 = 0x165667B19E3779F9ull;

inline std::uint64_t rotateLeft(std::uint64_t value, unsigned bits) {
    return (value << bits) | (value >> (64 - bits));
}

inline std::uint64_t readWord(const unsigned char* bytes) {
    std::uint64_t word = 0;
    for (unsigned i = 0; i < 8; ++i) word |= static_cast<std::uint64_t>(bytes[i]) << (8 * i);
    return word;
}

inline std::uint64_t mixLane(std::uint64_t lane, std::uint64_t word) {
    return rotateLeft(lane + word * kPrime2, 31) * kPrime1;
}

}  // namespace hashdetail

// The hash of bytes that arrive in pieces (a reader streaming a blob from disk); the same value
// as contentHash over all of them at once.
class ContentHasher {
public:
    void update(const void* data, std::size_t size) {
        using namespace hashdetail;
        const auto* bytes = static_cast<const unsigned char*>(data);
        total_ += size;
        while (size != 0) {
            if (pending_ == 0 && size >= 32) {
                mixBlock(bytes);
                bytes += 32;
                size -= 32;
                continue;
            }
            const std::size_t take = size < 32 - pending_ ? size : 32 - pending_;
            std::memcpy(block_ + pending_, bytes, take);
            pending_ += take;
            bytes += take;
            size -= take;
            if (pending_ == 32) {
                mixBlock(block_);
                pending_ = 0;
            }
        }
    }

    std::uint64_t finish() const {
        using namespace hashdetail;
        std::uint64_t hash = rotateLeft(lanes_[0], 1) + rotateLeft(lanes_[1], 7) +
                             rotateLeft(lanes_[2], 12) + rotateLeft(lanes_[3], 18) +
                             static_cast<std::uint64_t>(total_) * kPrime3;
        for (std::size_t at = 0; at < pending_; ++at)
            hash = rotateLeft(hash ^ (block_[at] * kPrime3), 11) * kPrime1;
        hash ^= hash >> 33;
        hash *= kPrime2;
        hash ^= hash >> 29;
        return hash;
    }

private:
    void mixBlock(const unsigned char* block) {
        for (unsigned lane = 0; lane < 4; ++lane)
            lanes_[lane] = hashdetail::mixLane(lanes_[lane], hashdetail::readWord(block + 8 * lane));
    }

    std::uint64_t lanes_[4] = {hashdetail::kPrime1 + hashdetail::kPrime2, hashdetail::kPrime2, 0,
                               0 - hashdetail::kPrime1};
    unsigned char block_[32] = {};
    std::size_t pending_ = 0;
    std::uint64_t total_ = 0;
};

inline std::uint64_t contentHash(const void* data, std::size_t size) {
    ContentHasher hasher;
    hasher.update(data, size);
    return hasher.finish();
}

}  // namespace capture
}  // namespace ZelUISystem
