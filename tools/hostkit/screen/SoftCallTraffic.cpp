#include "screen/SoftCallTraffic.h"

namespace framebench {

namespace {

using softddraw::CallRecord;
using softddraw::Operation;

RECT wholeSurface(const IDirectDrawSurface7* surface) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    // GetSurfaceDesc only reads the surface; the log keeps const pointers.
    if (surface == nullptr || FAILED(const_cast<IDirectDrawSurface7*>(surface)->GetSurfaceDesc(&desc)))
        return RECT{0, 0, 0, 0};
    return RECT{0, 0, static_cast<LONG>(desc.dwWidth), static_cast<LONG>(desc.dwHeight)};
}

RECT rectOr(const std::optional<RECT>& rect, const IDirectDrawSurface7* surface) {
    return rect ? *rect : wholeSurface(surface);
}

bool movesPixels(const CallRecord& record) {
    return SUCCEEDED(record.result) && (record.operation == Operation::Blt ||
                                        record.operation == Operation::BltFast ||
                                        record.operation == Operation::Lock);
}

PixelCall pixelCallOf(const CallRecord& record) {
    PixelCall call;
    switch (record.operation) {
        case Operation::Lock:
            call.kind = PixelCall::Kind::Lock;
            call.dest = rectOr(record.destRect, record.surface);
            break;
        case Operation::BltFast: {
            call.kind = PixelCall::Kind::Copy;
            call.source = rectOr(record.sourceRect, record.source);
            const LONG x = static_cast<LONG>(record.x);
            const LONG y = static_cast<LONG>(record.y);
            call.dest = RECT{x, y, x + call.source.right - call.source.left,
                             y + call.source.bottom - call.source.top};
            break;
        }
        default:
            call.dest = rectOr(record.destRect, record.surface);
            if ((record.flags & DDBLT_COLORFILL) != 0) {
                call.kind = PixelCall::Kind::Fill;
            } else {
                call.kind = PixelCall::Kind::Copy;
                call.source = rectOr(record.sourceRect, record.source);
            }
            break;
    }
    return call;
}

}  // namespace

std::vector<PixelCall> pixelCallsOf(const std::vector<CallRecord>& log) {
    std::vector<PixelCall> calls;
    for (const CallRecord& record : log)
        if (movesPixels(record)) calls.push_back(pixelCallOf(record));
    return calls;
}

}  // namespace framebench
