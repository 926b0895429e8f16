#include "StbAllocator.h"

#include <cstdlib>
#include <cstring>

namespace corona {
namespace detail {

namespace {

// Each block starts with its size, padded so the caller's bytes stay maximally aligned.
union alignas(std::max_align_t) BlockHeader {
  std::size_t size;
  unsigned char padding[alignof(std::max_align_t)];
};

thread_local std::size_t bytesHeld = 0;

bool WithinCap(std::size_t released, std::size_t requested) {
  const std::size_t heldAfterRelease = bytesHeld - released;
  return requested <= kStbAllocationCap && heldAfterRelease <= kStbAllocationCap - requested;
}

BlockHeader* HeaderOf(void* block) { return static_cast<BlockHeader*>(block) - 1; }

}  // namespace

void* StbAllocate(std::size_t size) {
  if (!WithinCap(0, size)) {
    return nullptr;
  }
  auto* header = static_cast<BlockHeader*>(std::calloc(1, sizeof(BlockHeader) + size));
  if (header == nullptr) {
    return nullptr;
  }
  header->size = size;
  bytesHeld += size;
  return header + 1;
}

void* StbReallocate(void* block, std::size_t size) {
  if (block == nullptr) {
    return StbAllocate(size);
  }
  const std::size_t oldSize = HeaderOf(block)->size;
  if (!WithinCap(oldSize, size)) {
    return nullptr;
  }
  auto* header =
      static_cast<BlockHeader*>(std::realloc(HeaderOf(block), sizeof(BlockHeader) + size));
  if (header == nullptr) {
    return nullptr;
  }
  unsigned char* bytes = reinterpret_cast<unsigned char*>(header + 1);
  if (size > oldSize) {
    std::memset(bytes + oldSize, 0, size - oldSize);
  }
  header->size = size;
  bytesHeld = bytesHeld - oldSize + size;
  return bytes;
}

void StbFree(void* block) {
  if (block == nullptr) {
    return;
  }
  BlockHeader* header = HeaderOf(block);
  bytesHeld -= header->size;
  std::free(header);
}

std::size_t StbBytesHeld() { return bytesHeld; }

}  // namespace detail
}  // namespace corona
