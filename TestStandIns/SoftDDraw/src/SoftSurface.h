#pragma once
// One off-screen plain surface of a SoftDirectDraw.

#include "GuardedMemory.h"
#include "RectRules.h"
#include "SurfaceBlit.h"
#include "SurfaceFormat.h"
#include "softddraw/CallRecord.h"

#include <cstdint>
#include <memory>

namespace softddraw {

class SoftDirectDraw;

struct SurfaceSetup {
    DWORD width = 0;
    DWORD height = 0;
    SurfaceFormat format;
    DWORD reportedCaps = 0;
    bool canBeLost = false;  // created without explicit system memory
    bool hasSourceKey = false;
    DDCOLORKEY sourceKey{};
};

class SoftSurface final : public IDirectDrawSurface7 {
public:
    SoftSurface(SoftDirectDraw& owner, const SurfaceSetup& setup);
    ~SoftSurface();
    SoftSurface(const SoftSurface&) = delete;
    SoftSurface& operator=(const SoftSurface&) = delete;

    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT Blt(LPRECT destRect, IDirectDrawSurface7* source, LPRECT sourceRect, DWORD flags,
                LPDDBLTFX fx) override;
    HRESULT BltFast(DWORD x, DWORD y, IDirectDrawSurface7* source, LPRECT sourceRect,
                    DWORD trans) override;
    HRESULT GetColorKey(DWORD flags, LPDDCOLORKEY key) override;
    HRESULT GetSurfaceDesc(LPDDSURFACEDESC2 desc) override;
    HRESULT IsLost() override;
    HRESULT Lock(LPRECT rect, LPDDSURFACEDESC2 desc, DWORD flags, HANDLE event) override;
    HRESULT Restore() override;
    HRESULT SetColorKey(DWORD flags, LPDDCOLORKEY key) override;
    HRESULT Unlock(LPRECT rect) override;

    bool isDestroyed() const { return destroyed_; }
    void loseIfLosable() { lost_ = lost_ || canBeLost_; }

private:
    HRESULT colorFill(const RECT* destRect, const DDBLTFX& fx);
    HRESULT bltChecked(const RECT* destRect, IDirectDrawSurface7* source, const RECT* sourceRect,
                       DWORD flags, const DDBLTFX* fx);
    HRESULT bltFastChecked(DWORD x, DWORD y, IDirectDrawSurface7* source, const RECT* sourceRect,
                           DWORD trans);
    HRESULT lockChecked(const RECT* rect, DDSURFACEDESC2& desc);
    HRESULT setColorKeyChecked(DWORD flags, const DDCOLORKEY* key);
    HRESULT getColorKeyChecked(DWORD flags, DDCOLORKEY& key) const;
    // Commits the pixel memory on first use; false when it cannot be had.
    bool commitMemory();
    PixelPlane plane() const;
    void describeInto(DDSURFACEDESC2& desc) const;
    // Common entry of every method: refuses calls on a destroyed surface and applies an
    // injected fault. Returns true when the call must end with `result`.
    bool interceptCall(Operation operation, HRESULT& result);
    HRESULT finish(CallRecord record, HRESULT result);
    CallRecord recordFor(Operation operation) const;

    SoftDirectDraw& owner_;
    DWORD width_;
    DWORD height_;
    SurfaceFormat format_;
    DWORD reportedCaps_;
    bool canBeLost_;
    std::uint32_t reportedPitch_;
    std::uint64_t pitch_;
    std::uint64_t byteSize_;
    std::unique_ptr<GuardedMemory> memory_;
    ULONG references_ = 1;
    bool destroyed_ = false;
    bool lost_ = false;
    bool locked_ = false;
    bool hasSourceKey_;
    // Kept after the key is removed: BltFast with DDBLTFAST_SRCCOLORKEY still applies it.
    DDCOLORKEY sourceKey_;
    bool hasDestKey_ = false;
    DDCOLORKEY destKey_{};
};

}  // namespace softddraw
