#include "renderer/QuadQueue.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace ZelUISystem {

namespace {

constexpr int kKeyDigits = 4;  // bytes of a key, sorted one byte at a time
constexpr std::size_t kDigitValues = 256;
// Up to this many quads a straight insertion beats counting every byte's values.
constexpr std::size_t kInsertionSortLimit = 48;

unsigned digitOf(std::uint32_t key, int digit) { return (key >> (8 * digit)) & 0xFFu; }

std::uint32_t keyOf(const QuadRecord& quad) { return QuadQueue::drawingKey(quad.z); }

}  // namespace

std::uint32_t QuadQueue::drawingKey(float z) {
    if (z != z) return 0xFFFFFFFFu;
    std::uint32_t bits = 0;  // both zeros are +0
    if (z != 0.0f) std::memcpy(&bits, &z, sizeof(bits));
    // Flipping the sign bit of a positive number and every bit of a negative one orders the
    // patterns as the numbers; the complement then puts the largest first. -infinity becomes
    // 0xFF800000, below the NaN key.
    const std::uint32_t ascending = (bits & 0x80000000u) != 0 ? ~bits : bits | 0x80000000u;
    return ~ascending;
}

void QuadQueue::clear() {
    records_.clear();
    orderedCount_ = 0;
}

std::size_t QuadQueue::putInDrawingOrder() {
    if (orderedCount_ != records_.size()) {
        sortRecords();
        orderedCount_ = records_.size();
    }
    return orderedCount_;
}

// Drawing order is a stable sort by key. Nothing moves when the keys already come in order
// (one z for every quad, or quads submitted largest z first). Otherwise the key and index pairs
// (an eighth of a quad's size) are sorted, and the quads then moved once, into their places. A
// queue too long for 32-bit indices (only possible with 64-bit addresses and hundreds of
// gigabytes) is sorted by the standard library instead.
void QuadQueue::sortRecords() {
    const std::size_t count = records_.size();
    if (static_cast<std::uint64_t>(count) > std::numeric_limits<std::uint32_t>::max()) {
        std::stable_sort(records_.begin(), records_.end(),
                         [](const QuadRecord& a, const QuadRecord& b) { return keyOf(a) < keyOf(b); });
        return;
    }
    places_.resize(count);
    bool inOrder = true;
    for (std::size_t i = 0; i < count; ++i) {
        places_[i] = Place{keyOf(records_[i]), static_cast<std::uint32_t>(i)};
        if (i > 0 && places_[i].key < places_[i - 1].key) inOrder = false;
    }
    if (inOrder) return;
    sortPlaces();
    scratch_.resize(count);
    for (std::size_t i = 0; i < count; ++i) scratch_[i] = records_[places_[i].index];
    records_.swap(scratch_);
}

// Stable: an insertion sort for a few pairs, else a least-significant-digit radix sort on the
// key's bytes, skipping every byte all keys share.
void QuadQueue::sortPlaces() {
    const std::size_t count = places_.size();
    if (count <= kInsertionSortLimit) {
        for (std::size_t i = 1; i < count; ++i) {
            const Place moving = places_[i];
            std::size_t j = i;
            for (; j > 0 && moving.key < places_[j - 1].key; --j) places_[j] = places_[j - 1];
            places_[j] = moving;
        }
        return;
    }
    std::size_t counts[kKeyDigits][kDigitValues] = {};
    for (const Place& place : places_)
        for (int digit = 0; digit < kKeyDigits; ++digit) ++counts[digit][digitOf(place.key, digit)];
    scratchPlaces_.resize(count);
    for (int digit = 0; digit < kKeyDigits; ++digit) {
        const std::size_t(&histogram)[kDigitValues] = counts[digit];
        if (histogram[digitOf(places_.front().key, digit)] == count) continue;
        std::size_t next[kDigitValues];
        std::size_t start = 0;
        for (std::size_t value = 0; value < kDigitValues; ++value) {
            next[value] = start;
            start += histogram[value];
        }
        for (const Place& place : places_) scratchPlaces_[next[digitOf(place.key, digit)]++] = place;
        places_.swap(scratchPlaces_);
    }
}

}  // namespace ZelUISystem
