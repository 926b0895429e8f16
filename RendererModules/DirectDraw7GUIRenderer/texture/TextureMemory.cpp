#include "texture/TextureMemory.h"

#include <new>

namespace ZelUISystem {
namespace texturememory {

namespace {

// The oldest held-back block is freed when a new one arrives. Plain data, so it stays usable
// while other static objects are destroyed; from then on blocks are freed at once.
struct HeldBack {
    void* blocks[kHeldBackBlocks];
    std::size_t next;
    bool closed;
};

HeldBack heldBack{};

void freeAll() noexcept {
    for (void*& block : heldBack.blocks) {
        ::operator delete(block);
        block = nullptr;
    }
}

// At unload nothing is held back any longer.
struct FreeAtUnload {
    ~FreeAtUnload() {
        freeAll();
        heldBack.closed = true;
    }
} freeAtUnload;

}  // namespace

void* allocate(std::size_t bytes) { return ::operator new(bytes); }

void release(void* block) noexcept {
    if (block == nullptr) return;
    if (heldBack.closed) {
        ::operator delete(block);
        return;
    }
    void*& slot = heldBack.blocks[heldBack.next];
    ::operator delete(slot);
    slot = block;
    heldBack.next = (heldBack.next + 1) % kHeldBackBlocks;
}

}  // namespace texturememory
}  // namespace ZelUISystem
