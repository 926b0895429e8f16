#pragma once
// What DirectDraw answered when the module asked it for a surface during a host call, kept in
// the capture after the call's record: a replay on another DirectDraw asks its own the same and
// says where the answers differ (another layout for the same request, a refusal), since the
// module then draws otherwise or not at all.

#include "platform/DirectDraw.h"

namespace ZelUISystem {
namespace capture {

// `asked` as handed to CreateSurface, its result, and the surface made (null on failure).
// Does nothing unless a capture's host call is running; never throws.
void noteSurfaceAnswer(const DDSURFACEDESC2& asked, HRESULT result, IDirectDrawSurface7* made) noexcept;

}  // namespace capture
}  // namespace ZelUISystem
