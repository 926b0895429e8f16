#pragma once
// A DirectDraw pixel format as six u32 in a record: flags, bit count, red, green, blue and
// alpha masks.

#include "capture/RecordBuilder.h"
#include "platform/DirectDraw.h"

namespace ZelUISystem {
namespace capture {

inline void writePixelFormat(RecordBuilder& record, const DDPIXELFORMAT& format) {
    record.u32(format.dwFlags).u32(format.dwRGBBitCount).u32(format.dwRBitMask);
    record.u32(format.dwGBitMask).u32(format.dwBBitMask).u32(format.dwRGBAlphaBitMask);
}

}  // namespace capture
}  // namespace ZelUISystem
