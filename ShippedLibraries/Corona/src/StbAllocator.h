// The allocator stb_image uses inside this library: zero-filled blocks (a decoder that reads
// a buffer it never wrote sees zeros, not old heap contents) and a cap on the bytes held at
// once by one thread's decode, so a hostile header cannot make it take the address space.
#ifndef CORONA_STB_ALLOCATOR_H
#define CORONA_STB_ALLOCATOR_H

#include <cstddef>

namespace corona {
namespace detail {

// The most a GIF of the largest accepted size needs at once: its RGBA canvas, background and
// result (three times 8192 x 8192 x 4), its per-pixel history and a margin for tables.
constexpr std::size_t kStbAllocationCap = (8192u * 8192u * 13u) + (16u << 20);

void* StbAllocate(std::size_t size);
void* StbReallocate(void* block, std::size_t size);
void StbFree(void* block);

// Bytes currently held by this thread's stb allocations.
std::size_t StbBytesHeld();

}  // namespace detail
}  // namespace corona

#endif  // CORONA_STB_ALLOCATOR_H
