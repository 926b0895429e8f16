#pragma once
// A table of values found by an address, which is only compared and hashed, never followed: the
// renderer finds its textures this way, so that a pointer the host passes is known to be one of
// them before anything is read through it. Open addressing with linear probing in one array of
// slots (a power of two of them, at most three quarters full): a lookup reads one or two
// neighbouring slots, and inserting or erasing allocates only when the array grows or shrinks.

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace ZelUISystem {

template <typename Value>
class AddressTable {
public:
    std::size_t size() const { return size_; }

    // The value stored for `key`, or null. Valid until the next insert or erase.
    Value* find(const void* key) {
        if (size_ == 0 || key == nullptr) return nullptr;
        for (std::size_t i = homeOf(key);; i = (i + 1) & mask()) {
            if (slots_[i].key == key) return &slots_[i].value;
            if (slots_[i].key == nullptr) return nullptr;
        }
    }

    // Stores `value` for a non-null `key`, replacing the value stored for it. Throws
    // std::bad_alloc when the array must grow and cannot; the table is then unchanged.
    void insert(const void* key, const Value& value) {
        if ((size_ + 1) * 4 > slots_.size() * 3) resize(slots_.empty() ? kMinimumSlots : slots_.size() * 2);
        std::size_t i = homeOf(key);
        while (slots_[i].key != nullptr && slots_[i].key != key) i = (i + 1) & mask();
        if (slots_[i].key == nullptr) ++size_;
        slots_[i] = Slot{key, value};
    }

    // Erases `key`, if stored. Each later slot of the run it leaves is moved back into the gap
    // when its own home slot does not lie after the gap, so every lookup still finds its key
    // before an empty slot. The array shrinks when it is at most an eighth full (if it can get
    // the memory; if not it stays as it is).
    void erase(const void* key) {
        if (size_ == 0 || key == nullptr) return;
        std::size_t gap = homeOf(key);
        while (slots_[gap].key != key) {
            if (slots_[gap].key == nullptr) return;
            gap = (gap + 1) & mask();
        }
        for (std::size_t i = (gap + 1) & mask(); slots_[i].key != nullptr; i = (i + 1) & mask()) {
            const std::size_t home = homeOf(slots_[i].key);
            if (((i - home) & mask()) >= ((i - gap) & mask())) {
                slots_[gap] = std::move(slots_[i]);
                gap = i;
            }
        }
        slots_[gap] = Slot{};
        --size_;
        if (slots_.size() > kMinimumSlots && size_ * 8 <= slots_.size()) {
            try {
                resize(slots_.size() / 2);
            } catch (...) {
            }
        }
    }

    template <typename Visit>
    void forEachValue(Visit visit) {
        for (Slot& slot : slots_)
            if (slot.key != nullptr) visit(slot.value);
    }

private:
    struct Slot {
        const void* key = nullptr;  // null: empty
        Value value{};
    };

    static constexpr std::size_t kMinimumSlots = 16;

    std::size_t mask() const { return slots_.size() - 1; }

    // Fibonacci hashing: the top bits of the address times 2^64 / golden ratio, so that
    // addresses a fixed stride apart spread over the whole array.
    std::size_t homeOf(const void* key) const {
        const auto bits = static_cast<std::uint64_t>(reinterpret_cast<std::uintptr_t>(key));
        return static_cast<std::size_t>((bits * 0x9E3779B97F4A7C15ull) >> shift_);
    }

    void resize(std::size_t slotCount) {
        std::vector<Slot> old(slotCount);
        old.swap(slots_);
        unsigned bits = 0;
        while ((std::size_t{1} << bits) < slotCount) ++bits;
        shift_ = 64 - bits;
        for (Slot& slot : old) {
            if (slot.key == nullptr) continue;
            std::size_t i = homeOf(slot.key);
            while (slots_[i].key != nullptr) i = (i + 1) & mask();
            slots_[i] = std::move(slot);
        }
    }

    std::vector<Slot> slots_;
    std::size_t size_ = 0;
    unsigned shift_ = 60;  // set by every resize
};

}  // namespace ZelUISystem
