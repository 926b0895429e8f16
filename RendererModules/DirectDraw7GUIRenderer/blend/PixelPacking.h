#pragma once
// 8-bit red, green and blue packed into the two fixed 16-bit layouts, each channel truncated to
// its width. Used where the module makes pixels itself (upload, tint colours). Internal
// linkage, as every pixel helper of the kernels.

#include <cstdint>

namespace ZelUISystem::blend {
namespace {

inline std::uint32_t pack555(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return (r >> 3) << 10 | (g >> 3) << 5 | (b >> 3);
}

inline std::uint32_t pack565(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
    return (r >> 3) << 11 | (g >> 2) << 5 | (b >> 3);
}

}  // namespace
}  // namespace ZelUISystem::blend
