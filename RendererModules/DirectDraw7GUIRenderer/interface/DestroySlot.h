#pragma once
// The destroy slot of Renderer, Texture and Logger. The Windows platform's C++ compiler gives a
// virtual destructor ONE entry in the table, at the place it is declared, and calls it with a
// flag: bit 0 set means "free the memory after destroying"; the entry returns the object's
// address. Hosts and logging libraries built with that compiler call these entries that way,
// so the interfaces declare that entry explicitly (a C++ virtual destructor would take two
// entries with g++ and shift every slot after it) and keep their destructors non-virtual.

#include <cstdint>
#include <type_traits>

namespace ZelUISystem {

// Flags of the destroy slot.
constexpr std::uint32_t kDestroyOnly = 0;     // destroy; the caller keeps the memory
constexpr std::uint32_t kDestroyAndFree = 1;  // destroy, then free the memory (bit 0)

// The body of a destroy slot for an object made with `new`: runs the destructor and frees the
// memory only when bit 0 is set. Returns the object's address, as that compiler's entry does.
template <typename Object>
void* destroyObject(Object* object, std::uint32_t flags) {
    static_assert(std::is_final_v<Object>,
                  "the destroy slot must destroy the most derived object, so that class is final");
    void* const address = object;
    if ((flags & kDestroyAndFree) != 0)
        delete object;
    else
        object->~Object();
    return address;
}

// Holds for every interface with a destroy slot: a virtual destructor would add entries
// (two with g++) and move the slots after it.
template <typename Interface>
constexpr bool kHasDestroySlotOnly =
    std::is_polymorphic_v<Interface> && !std::has_virtual_destructor_v<Interface>;

}  // namespace ZelUISystem
