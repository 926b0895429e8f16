#pragma once
// The 50 % average of the pixels BlendHalfMMX does one at a time, shared by it and its twins so
// that all write the same bytes. Internal linkage: included by units built with different SIMD
// flags.

#include <cstdint>

namespace ZelUISystem::blend {
namespace {

// ((D >> 1) AND 0x7F7F7F) + (((S AND 0xFFFFFF) >> 1) AND 0x7F7F7F): half of each of blue, green
// and red; the top byte becomes 0.
inline std::uint32_t averageBgr(std::uint32_t s, std::uint32_t d) {
    return ((d >> 1) & 0x7F7F7Fu) + (((s & 0xFFFFFFu) >> 1) & 0x7F7F7Fu);
}

}  // namespace
}  // namespace ZelUISystem::blend
