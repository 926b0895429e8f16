#pragma once
// One Lock/Unlock pair of a DirectDraw surface, as a scope: the surface is unlocked with the
// rectangle it was locked with on every way out, exceptions included, so no caller has to
// catch and rethrow only to unlock.

#include "platform/DirectDraw.h"

namespace ZelUISystem {

class SurfaceLock {
public:
    // Locks the whole surface when `rect` is null. The description asks for the pointer, the
    // pitch and the pixel format; check locked() before reading it.
    SurfaceLock(IDirectDrawSurface7* surface, const RECT* rect) : surface_(surface) {
        desc_.dwSize = sizeof(desc_);
        desc_.dwFlags = DDSD_PITCH | DDSD_LPSURFACE | DDSD_PIXELFORMAT;
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
