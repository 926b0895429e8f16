#include "DisplayLayout.h"

#include <atomic>

namespace moduletest {

namespace {

// A COM object ends in its own Release, never through a pointer to its interface, which has no
// virtual destructor by design.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

// Passes every call on to the real DirectDraw; a surface asked without a pixel layout gets the
// display layout this object stands for.
class LayoutDisplay final : public IDirectDraw7 {
public:
    LayoutDisplay(IDirectDraw7* real, const DDPIXELFORMAT& layout) : real_(real), layout_(layout) {}

    STDMETHOD_(HRESULT, QueryInterface)(REFIID riid, void** object) override {
        if (object == nullptr) return E_POINTER;
        if (IsEqualGUID(riid, IID_IDirectDraw7)) {
            AddRef();
            *object = static_cast<IDirectDraw7*>(this);
            return S_OK;
        }
        return real_->QueryInterface(riid, object);
    }
    STDMETHOD_(ULONG, AddRef)() override { return ++references_; }
    STDMETHOD_(ULONG, Release)() override {
        const ULONG left = --references_;
        if (left == 0) {
            real_->Release();
            delete this;
        }
        return left;
    }

    STDMETHOD(CreateSurface)(LPDDSURFACEDESC2 desc, LPDIRECTDRAWSURFACE7* surface, IUnknown* outer) override {
        if (desc == nullptr || (desc->dwFlags & DDSD_PIXELFORMAT) != 0)
            return real_->CreateSurface(desc, surface, outer);
        DDSURFACEDESC2 withLayout = *desc;
        withLayout.dwFlags |= DDSD_PIXELFORMAT;
        withLayout.ddpfPixelFormat = layout_;
        return real_->CreateSurface(&withLayout, surface, outer);
    }

    STDMETHOD(Compact)() override { return real_->Compact(); }
    STDMETHOD(CreateClipper)(DWORD flags, LPDIRECTDRAWCLIPPER* clipper, IUnknown* outer) override {
        return real_->CreateClipper(flags, clipper, outer);
    }
    STDMETHOD(CreatePalette)(DWORD flags, LPPALETTEENTRY colours, LPDIRECTDRAWPALETTE* palette,
                             IUnknown* outer) override {
        return real_->CreatePalette(flags, colours, palette, outer);
    }
    STDMETHOD(DuplicateSurface)(LPDIRECTDRAWSURFACE7 surface, LPDIRECTDRAWSURFACE7* duplicate) override {
        return real_->DuplicateSurface(surface, duplicate);
    }
    STDMETHOD(EnumDisplayModes)(DWORD flags, LPDDSURFACEDESC2 desc, LPVOID context,
                                LPDDENUMMODESCALLBACK2 callback) override {
        return real_->EnumDisplayModes(flags, desc, context, callback);
    }
    STDMETHOD(EnumSurfaces)(DWORD flags, LPDDSURFACEDESC2 desc, LPVOID context,
                            LPDDENUMSURFACESCALLBACK7 callback) override {
        return real_->EnumSurfaces(flags, desc, context, callback);
    }
    STDMETHOD(FlipToGDISurface)() override { return real_->FlipToGDISurface(); }
    STDMETHOD(GetCaps)(LPDDCAPS driver, LPDDCAPS emulation) override { return real_->GetCaps(driver, emulation); }
    STDMETHOD(GetDisplayMode)(LPDDSURFACEDESC2 desc) override {
        const HRESULT result = real_->GetDisplayMode(desc);
        if (SUCCEEDED(result) && desc != nullptr) desc->ddpfPixelFormat = layout_;
        return result;
    }
    STDMETHOD(GetFourCCCodes)(LPDWORD count, LPDWORD codes) override { return real_->GetFourCCCodes(count, codes); }
    STDMETHOD(GetGDISurface)(LPDIRECTDRAWSURFACE7* surface) override { return real_->GetGDISurface(surface); }
    STDMETHOD(GetMonitorFrequency)(LPDWORD frequency) override { return real_->GetMonitorFrequency(frequency); }
    STDMETHOD(GetScanLine)(LPDWORD line) override { return real_->GetScanLine(line); }
    STDMETHOD(GetVerticalBlankStatus)(WINBOOL* inBlank) override { return real_->GetVerticalBlankStatus(inBlank); }
    STDMETHOD(Initialize)(GUID* guid) override { return real_->Initialize(guid); }
    STDMETHOD(RestoreDisplayMode)() override { return real_->RestoreDisplayMode(); }
    STDMETHOD(SetCooperativeLevel)(HWND window, DWORD flags) override {
        return real_->SetCooperativeLevel(window, flags);
    }
    STDMETHOD(SetDisplayMode)(DWORD width, DWORD height, DWORD bits, DWORD refresh, DWORD flags) override {
        return real_->SetDisplayMode(width, height, bits, refresh, flags);
    }
    STDMETHOD(WaitForVerticalBlank)(DWORD flags, HANDLE event) override {
        return real_->WaitForVerticalBlank(flags, event);
    }
    STDMETHOD(GetAvailableVidMem)(LPDDSCAPS2 caps, LPDWORD total, LPDWORD free) override {
        return real_->GetAvailableVidMem(caps, total, free);
    }
    STDMETHOD(GetSurfaceFromDC)(HDC dc, LPDIRECTDRAWSURFACE7* surface) override {
        return real_->GetSurfaceFromDC(dc, surface);
    }
    STDMETHOD(RestoreAllSurfaces)() override { return real_->RestoreAllSurfaces(); }
    STDMETHOD(TestCooperativeLevel)() override { return real_->TestCooperativeLevel(); }
    STDMETHOD(GetDeviceIdentifier)(LPDDDEVICEIDENTIFIER2 identifier, DWORD flags) override {
        return real_->GetDeviceIdentifier(identifier, flags);
    }
    STDMETHOD(StartModeTest)(LPSIZE modes, DWORD count, DWORD flags) override {
        return real_->StartModeTest(modes, count, flags);
    }
    STDMETHOD(EvaluateMode)(DWORD flags, DWORD* timeout) override { return real_->EvaluateMode(flags, timeout); }

private:
    ~LayoutDisplay() = default;

    IDirectDraw7* real_;
    DDPIXELFORMAT layout_;
    std::atomic<ULONG> references_{1};
};

#pragma GCC diagnostic pop

}  // namespace

IDirectDraw7* createDirectDrawShowing(const DDPIXELFORMAT& layout) {
    IDirectDraw7* real = nullptr;
    if (FAILED(DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&real), IID_IDirectDraw7, nullptr)))
        return nullptr;
    if (FAILED(real->SetCooperativeLevel(nullptr, DDSCL_NORMAL))) {
        real->Release();
        return nullptr;
    }
    return new LayoutDisplay(real, layout);
}

}  // namespace moduletest
