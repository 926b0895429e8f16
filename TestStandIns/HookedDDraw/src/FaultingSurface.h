#pragma once
// One real surface behind the fault-injecting wrapper (see FaultingDirectDraw.h). It holds the
// one reference on the real surface and, while alive, one reference on its wrapper DirectDraw,
// as real surfaces do on theirs.

#include "FaultingDirectDraw.h"

namespace ddtest {

// A COM object is destroyed by its last Release, never through a pointer to its interface.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class FaultingSurface final : public IDirectDrawSurface7 {
public:
    FaultingSurface(FaultingDirectDraw& owner, IDirectDrawSurface7* real);
    FaultingSurface(const FaultingSurface&) = delete;
    FaultingSurface& operator=(const FaultingSurface&) = delete;
    ~FaultingSurface();

    IDirectDrawSurface7* real() const { return real_; }
    // Gives up the real surface when the wrapper DirectDraw goes while the surface lives.
    void abandon();

    // IUnknown
    STDMETHOD(QueryInterface)(REFIID riid, void** object) override;
    STDMETHOD_(ULONG, AddRef)() override;
    STDMETHOD_(ULONG, Release)() override;
    // IDirectDrawSurface7
    STDMETHOD(AddAttachedSurface)(LPDIRECTDRAWSURFACE7 attached) override;
    STDMETHOD(AddOverlayDirtyRect)(LPRECT rect) override;
    STDMETHOD(Blt)(LPRECT destRect, LPDIRECTDRAWSURFACE7 source, LPRECT sourceRect, DWORD flags,
                   LPDDBLTFX fx) override;
    STDMETHOD(BltBatch)(LPDDBLTBATCH batch, DWORD count, DWORD flags) override;
    STDMETHOD(BltFast)(DWORD x, DWORD y, LPDIRECTDRAWSURFACE7 source, LPRECT sourceRect,
                       DWORD trans) override;
    STDMETHOD(DeleteAttachedSurface)(DWORD flags, LPDIRECTDRAWSURFACE7 attached) override;
    STDMETHOD(EnumAttachedSurfaces)(LPVOID context, LPDDENUMSURFACESCALLBACK7 callback) override;
    STDMETHOD(EnumOverlayZOrders)(DWORD flags, LPVOID context,
                                  LPDDENUMSURFACESCALLBACK7 callback) override;
    STDMETHOD(Flip)(LPDIRECTDRAWSURFACE7 targetOverride, DWORD flags) override;
    STDMETHOD(GetAttachedSurface)(LPDDSCAPS2 caps, LPDIRECTDRAWSURFACE7* attached) override;
    STDMETHOD(GetBltStatus)(DWORD flags) override;
    STDMETHOD(GetCaps)(LPDDSCAPS2 caps) override;
    STDMETHOD(GetClipper)(LPDIRECTDRAWCLIPPER* clipper) override;
    STDMETHOD(GetColorKey)(DWORD flags, LPDDCOLORKEY key) override;
    STDMETHOD(GetDC)(HDC* dc) override;
    STDMETHOD(GetFlipStatus)(DWORD flags) override;
    STDMETHOD(GetOverlayPosition)(LPLONG x, LPLONG y) override;
    STDMETHOD(GetPalette)(LPDIRECTDRAWPALETTE* palette) override;
    STDMETHOD(GetPixelFormat)(LPDDPIXELFORMAT format) override;
    STDMETHOD(GetSurfaceDesc)(LPDDSURFACEDESC2 desc) override;
    STDMETHOD(Initialize)(LPDIRECTDRAW directDraw, LPDDSURFACEDESC2 desc) override;
    STDMETHOD(IsLost)() override;
    STDMETHOD(Lock)(LPRECT rect, LPDDSURFACEDESC2 desc, DWORD flags, HANDLE event) override;
    STDMETHOD(ReleaseDC)(HDC dc) override;
    STDMETHOD(Restore)() override;
    STDMETHOD(SetClipper)(LPDIRECTDRAWCLIPPER clipper) override;
    STDMETHOD(SetColorKey)(DWORD flags, LPDDCOLORKEY key) override;
    STDMETHOD(SetOverlayPosition)(LONG x, LONG y) override;
    STDMETHOD(SetPalette)(LPDIRECTDRAWPALETTE palette) override;
    STDMETHOD(Unlock)(LPRECT rect) override;
    STDMETHOD(UpdateOverlay)(LPRECT sourceRect, LPDIRECTDRAWSURFACE7 destination, LPRECT destRect,
                             DWORD flags, LPDDOVERLAYFX fx) override;
    STDMETHOD(UpdateOverlayDisplay)(DWORD flags) override;
    STDMETHOD(UpdateOverlayZOrder)(DWORD flags, LPDIRECTDRAWSURFACE7 reference) override;
    STDMETHOD(GetDDInterface)(LPVOID* directDraw) override;
    STDMETHOD(PageLock)(DWORD flags) override;
    STDMETHOD(PageUnlock)(DWORD flags) override;
    STDMETHOD(SetSurfaceDesc)(LPDDSURFACEDESC2 desc, DWORD flags) override;
    STDMETHOD(SetPrivateData)(REFGUID tag, LPVOID data, DWORD size, DWORD flags) override;
    STDMETHOD(GetPrivateData)(REFGUID tag, LPVOID buffer, LPDWORD size) override;
    STDMETHOD(FreePrivateData)(REFGUID tag) override;
    STDMETHOD(GetUniquenessValue)(LPDWORD value) override;
    STDMETHOD(ChangeUniquenessValue)() override;
    STDMETHOD(SetPriority)(DWORD priority) override;
    STDMETHOD(GetPriority)(LPDWORD priority) override;
    STDMETHOD(SetLOD)(DWORD lod) override;
    STDMETHOD(GetLOD)(LPDWORD lod) override;

private:
    // Forwards a call that is neither logged nor faulted; a released surface answers
    // DDERR_INVALIDOBJECT and the call is counted.
    template <typename Forward>
    HRESULT plain(Forward forward) {
        if (real_ == nullptr) return usedAfterRelease();
        return forward(real_);
    }
    // A logged call that can be made to fail.
    template <typename Forward>
    HRESULT hooked(softddraw::CallRecord record, Forward forward) {
        if (real_ == nullptr) {
            record.result = usedAfterRelease();
            owner_.callLog_.push_back(record);
            return record.result;
        }
        return owner_.call(record, [&] { return forward(real_); });
    }
    softddraw::CallRecord recordFor(softddraw::Operation operation) const;
    HRESULT usedAfterRelease();

    FaultingDirectDraw& owner_;
    IDirectDrawSurface7* real_;  // null once released
    ULONG references_ = 1;
};
#pragma GCC diagnostic pop

}  // namespace ddtest
