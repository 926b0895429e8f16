#pragma once
// Memory for texture objects. A destroyed texture's block is held back from reuse until a
// number of later textures have been destroyed, so that a pointer a host kept to a texture it
// released cannot come to name a texture made soon after at the same address: looking it up in
// the renderer's list then finds nothing.

#include <cstddef>

namespace ZelUISystem {
namespace texturememory {

// How many destroyed textures' blocks are held back at once.
constexpr std::size_t kHeldBackBlocks = 256;

void* allocate(std::size_t bytes);
void release(void* block) noexcept;

}  // namespace texturememory
}  // namespace ZelUISystem
