// The parts of the host's texture interface that have a body: the kept copy of bytes.

#include "platform/Texture.h"

#include <cstring>
#include <new>

namespace ZelUISystem {

void Texture::loadFromFileData(const std::uint8_t* data, std::uint32_t size) {
    // Reloading from the texture's own copy keeps it.
    if (data != nullptr && data == keptData) return;
    delete[] keptData;
    keptData = nullptr;
    keptDataSize = 0;
    if (data == nullptr || size == 0) return;
    // Without memory for the copy the texture simply keeps nothing.
    auto* copy = new (std::nothrow) std::uint8_t[size];
    if (copy == nullptr) return;
    std::memcpy(copy, data, size);
    keptData = copy;
    keptDataSize = size;
}

Texture::~Texture() { delete[] keptData; }

}  // namespace ZelUISystem
