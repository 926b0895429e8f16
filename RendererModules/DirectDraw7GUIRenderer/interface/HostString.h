#pragma once
// The string type of the base fields a host reads (the Renderer's ID string, a Texture's file
// name, directory and resolved path). A host reads them as its own std::string, so their layout
// is the host compiler's:
// - a host built by mingw-w64 (and the module built for such hosts): libstdc++'s std::string;
// - a host built by Microsoft's compiler (_MSC_VER): its own std::string. Only its release
//   layout is supported: iterator debugging (debug builds) adds a pointer to every string and
//   moves every field after it, which the module cannot follow, so such a build is refused here;
// - the module built for such hosts (DD7R_MSVC_HOSTS): a string with that compiler's release
//   layout on 32-bit x86, below. The host only reads it; the module owns its memory.

#include <cstddef>
#include <cstdint>
#include <string>

#if defined(_MSC_VER) || !defined(DD7R_MSVC_HOSTS)

namespace ZelUISystem {
using HostString = std::string;
}  // namespace ZelUISystem

#if defined(_MSC_VER) && defined(_M_IX86)
static_assert(sizeof(std::string) == 24,
              "dd7r's base fields hold release-build std::string objects: build the host without "
              "iterator debugging (_ITERATOR_DEBUG_LEVEL=0)");
#endif

#else

#include <cstring>

namespace ZelUISystem {

// A short text (15 bytes or fewer) lives in the object, a longer one in memory it points to;
// then the size and the capacity, which tells a reader which of the two holds the text.
class HostString {
public:
    HostString() noexcept { storage_.local[0] = '\0'; }
    HostString(const HostString&) = delete;
    HostString& operator=(const HostString&) = delete;
    ~HostString() { release(); }

    HostString& operator=(const char* text) { return assign(text, std::strlen(text)); }
    HostString& operator=(const std::string& text) { return assign(text.data(), text.size()); }
    operator std::string() const { return std::string(c_str(), size_); }

    const char* c_str() const noexcept { return isLocal() ? storage_.local : storage_.heap; }
    std::size_t size() const noexcept { return size_; }
    bool empty() const noexcept { return size_ == 0; }
    void swap(std::string& other) {
        std::string mine = *this;
        assign(other.data(), other.size());
        other.swap(mine);
    }

private:
    static constexpr std::uint32_t kLocalCapacity = 15;

    bool isLocal() const noexcept { return capacity_ <= kLocalCapacity; }
    HostString& assign(const char* text, std::size_t length) {
        if (length > capacity_) {
            char* grown = new char[length + 1];
            release();
            storage_.heap = grown;
            capacity_ = static_cast<std::uint32_t>(length);
        }
        char* target = isLocal() ? storage_.local : storage_.heap;
        std::memmove(target, text, length);
        target[length] = '\0';
        size_ = static_cast<std::uint32_t>(length);
        return *this;
    }
    void release() noexcept {
        if (!isLocal()) delete[] storage_.heap;
        storage_.local[0] = '\0';
        size_ = 0;
        capacity_ = kLocalCapacity;
    }

    union {
        char local[kLocalCapacity + 1];
        char* heap;
    } storage_;
    std::uint32_t size_ = 0;
    std::uint32_t capacity_ = kLocalCapacity;
};
static_assert(sizeof(HostString) == 24, "the layout hosts built by Microsoft's compiler read");

}  // namespace ZelUISystem

#endif
