#pragma once
// The quads waiting for a render pass, in one vector whose memory is reused from frame to frame.
// Submitting appends; the pass that needs it puts the quads in drawing order (z largest first,
// equal z in submission order) by a stable radix sort of their keys and one gathering move:
// submitting costs the same at any length of the queue, ordering is linear in it, and drawing
// reads the quads in memory order.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "renderer/QuadRecord.h"

namespace ZelUISystem {

class QuadQueue {
public:
    void push(const QuadRecord& quad) { records_.push_back(quad); }
    std::size_t size() const { return records_.size(); }
    // Forgets every quad; the memory is kept for the next frame.
    void clear();

    // Puts the quads in drawing order (sorting only when quads arrived since the last call) and
    // returns how many there are.
    std::size_t putInDrawingOrder();
    // How many leading quads are in drawing order, and the quad at `position` among them, as a
    // copy: the queue may change while it is drawn.
    std::size_t orderedCount() const { return orderedCount_; }
    QuadRecord inDrawingOrder(std::size_t position) const { return records_[position]; }

    // Removes the quads `isDropped` picks; the others keep their order.
    template <typename IsDropped>
    void removeIf(IsDropped isDropped) {
        std::size_t kept = 0;
        std::size_t keptInOrder = 0;
        for (std::size_t i = 0; i < records_.size(); ++i) {
            if (isDropped(records_[i])) continue;
            if (i < orderedCount_) ++keptInOrder;
            if (kept != i) records_[kept] = records_[i];
            ++kept;
        }
        records_.resize(kept);
        orderedCount_ = keptInOrder;
    }

    // The drawing order of z as an unsigned key, smallest first: larger z gives a smaller key,
    // -0 and +0 are one key, and every NaN gets the largest key, after every number.
    static std::uint32_t drawingKey(float z);

private:
    struct Place {
        std::uint32_t key;
        std::uint32_t index;  // into records_
    };

    void sortRecords();
    void sortPlaces();

    // The first orderedCount_ in drawing order, the rest in submission order after them. Sorting
    // the whole stably keeps both: a quad submitted later comes after every earlier one of its z.
    std::vector<QuadRecord> records_;
    std::vector<QuadRecord> scratch_;  // the quads gathered in drawing order
    std::vector<Place> places_;        // each quad's key and index, sorted by key
    std::vector<Place> scratchPlaces_;
    std::size_t orderedCount_ = 0;
};

}  // namespace ZelUISystem
