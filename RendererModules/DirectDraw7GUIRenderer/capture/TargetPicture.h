#pragma once
// The last picture a capture kept of a host's target surface, and the cheapest exact test of
// whether the target still holds it. Hosts usually put the same picture under the overlay every
// frame, often one flat colour: such a picture is recognised by reading the target once against
// its one pixel value, anything else by comparing it with the kept copy.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "capture/CaptureFormat.h"
#include "platform/DirectDraw.h"

namespace ZelUISystem {
namespace capture {

// A locked target's rows as they lie in memory.
struct TargetRows {
    const std::uint8_t* first = nullptr;
    std::size_t pitch = 0;
    std::size_t rowBytes = 0;
    std::size_t height = 0;
    std::uint32_t width = 0;
    std::size_t bytesPerPixel = 0;

    // False for a description the capture cannot read (no memory, odd pitch, too large).
    bool describe(const DDSURFACEDESC2& desc);
};

class TargetPicture {
public:
    bool sameAs(const TargetRows& rows) const;
    // Copies the rows (tightly packed) and notes whether they are one pixel value throughout.
    void keep(const TargetRows& rows);
    void forget();

    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    std::uint32_t blob = kNoBlob;

private:
    std::vector<std::uint8_t> bytes_;
    std::size_t rowBytes_ = 0;
    bool uniform_ = false;
    std::uint64_t pattern_ = 0;  // the one pixel value, repeated over eight bytes
};

}  // namespace capture
}  // namespace ZelUISystem
