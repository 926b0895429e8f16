#pragma once
// One Lock/Unlock pair of a DirectDraw surface, as a scope: the surface is unlocked with the
// rectangle it was locked with on every way out, exceptions included, so no caller has to
// catch and rethrow only to unlock.

#include "platform/DirectDraw.h"

namespace ZelUISystem {

// What the lock's description asks for. Lock fills in the pixel format whatever is asked, so
// drawing, which only checks the layout it finds, asks for the pointer and the pitch alone; an
// upload, which converts into that layout, asks for the pixel format as well.
enum class LockRequest : DWORD {
    PointerAndPitch = DDSD_PITCH | DDSD_LPSURFACE,
    WithPixelFormat = DDSD_PITCH | DDSD_LPSURFACE | DDSD_PIXELFORMAT,
};

class SurfaceLock {
public:
    // Locks the whole surface when `rect` is null; check locked() before reading the description.
    SurfaceLock(IDirectDrawSurface7* surface, const RECT* rect, LockRequest request)
        : surface_(surface) {
        desc_.dwSize = sizeof(desc_);
        desc_.dwFlags = static_cast<DWORD>(request);
        if (request == LockRequest::WithPixelFormat)
            desc_.ddpfPixelFormat.dwSize = sizeof(desc_.ddpfPixelFormat);
        if (rect != nullptr) {
            rect_ = *rect;
            rectPointer_ = &rect_;
        }
        if (surface_ == nullptr || FAILED(surface_->Lock(rectPointer_, &desc_, DDLOCK_WAIT, nullptr)))
            surface_ = nullptr;
    }
    ~SurfaceLock() { unlock(); }
    SurfaceLock(const SurfaceLock&) = delete;
    SurfaceLock& operator=(const SurfaceLock&) = delete;

    bool locked() const { return surface_ != nullptr; }
    // Unlocks now, for callers whose unlock order is part of their call sequence.
    void unlock() {
        if (surface_ != nullptr) surface_->Unlock(rectPointer_);
        surface_ = nullptr;
    }
    const DDSURFACEDESC2& desc() const { return desc_; }

private:
    IDirectDrawSurface7* surface_;
    DDSURFACEDESC2 desc_{};
    RECT rect_{};
    RECT* rectPointer_ = nullptr;
};

}  // namespace ZelUISystem
