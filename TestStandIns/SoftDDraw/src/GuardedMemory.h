#pragma once
// Pixel memory whose last byte lies right before an inaccessible page, so that a write past
// the last row faults at once instead of corrupting other memory silently.

#include <cstddef>
#include <cstdint>
#include <memory>

namespace softddraw {

class GuardedMemory {
public:
    // Null when the memory cannot be had.
    static std::unique_ptr<GuardedMemory> allocate(std::size_t bytes);
    ~GuardedMemory();
    GuardedMemory(const GuardedMemory&) = delete;
    GuardedMemory& operator=(const GuardedMemory&) = delete;

    std::uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }

private:
    GuardedMemory(void* mapping, std::size_t mappingSize, std::uint8_t* data, std::size_t size)
        : mapping_(mapping), mappingSize_(mappingSize), data_(data), size_(size) {}

    void* mapping_;
    std::size_t mappingSize_;
    std::uint8_t* data_;
    std::size_t size_;
};

}  // namespace softddraw
