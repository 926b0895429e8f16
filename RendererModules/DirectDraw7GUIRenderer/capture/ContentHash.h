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

inline std::uint64_t contentHash(const void* data, std::size_t size) {
    using namespace hashdetail;
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::uint64_t lanes[4] = {kPrime1 + kPrime2, kPrime2, 0, 0 - kPrime1};
    std::size_t offset = 0;
    for (; offset + 32 <= size; offset += 32)
        for (unsigned lane = 0; lane < 4; ++lane)
            lanes[lane] = mixLane(lanes[lane], readWord(bytes + offset + 8 * lane));
    std::uint64_t hash = rotateLeft(lanes[0], 1) + rotateLeft(lanes[1], 7) +
                         rotateLeft(lanes[2], 12) + rotateLeft(lanes[3], 18) +
                         static_cast<std::uint64_t>(size) * kPrime3;
    for (; offset < size; ++offset) hash = rotateLeft(hash ^ (bytes[offset] * kPrime3), 11) * kPrime1;
    hash ^= hash >> 33;
    hash *= kPrime2;
    hash ^= hash >> 29;
    return hash;
}

}  // namespace capture
}  // namespace ZelUISystem
