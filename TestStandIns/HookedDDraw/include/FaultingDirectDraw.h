#pragma once
// A real DirectDraw 7 (Windows, or Wine) seen through a wrapper with the software stand-in's
// test hooks: every call is forwarded to the real object, except that the n-th call of an
// operation can be made to fail with a chosen result, every call is logged, and the wrapper
// counts live surfaces, surplus Release calls and calls on released surfaces. The reliability
// suites and the fuzz hosts thus run their checks unchanged against the real DirectDraw.
//
// What the real object cannot do is emulated: a lost cooperative level (TestCooperativeLevel
// fails with DDERR_NOEXCLUSIVEMODE and Restore with DDERR_WRONGMODE while it is set), and the
// loss of one surface, which loses every surface that can be lost, as a display change does.
// Calls that would hand out a real object unwrapped (attached surfaces, clippers, palettes,
// the GDI surface, enumerations) fail with DDERR_UNSUPPORTED: the module never makes them.

#include "platform/DirectDraw.h"
#include "softddraw/CallRecord.h"
#include "softddraw/FaultPlan.h"
#include "softddraw/Operation.h"

#include <cstddef>
#include <memory>
#include <unordered_map>
#include <vector>

namespace ddtest {

class FaultingSurface;

// A COM object is destroyed by its last Release, never through a pointer to its interface.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
class FaultingDirectDraw final : public IDirectDraw7 {
public:
    // Holds one reference on the real object; modeChanged: the display mode was switched for it
    // (and is not to be put back after surfaces are lost).
    FaultingDirectDraw(IDirectDraw7* real, bool modeChanged, const DDPIXELFORMAT& displayFormat);
    FaultingDirectDraw(const FaultingDirectDraw&) = delete;
    FaultingDirectDraw& operator=(const FaultingDirectDraw&) = delete;

    // IUnknown
    STDMETHOD(QueryInterface)(REFIID riid, void** object) override;
    STDMETHOD_(ULONG, AddRef)() override;
    STDMETHOD_(ULONG, Release)() override;
    // IDirectDraw7
    STDMETHOD(Compact)() override;
    STDMETHOD(CreateClipper)(DWORD flags, LPDIRECTDRAWCLIPPER* clipper, IUnknown* outer) override;
    STDMETHOD(CreatePalette)(DWORD flags, LPPALETTEENTRY colors, LPDIRECTDRAWPALETTE* palette,
                             IUnknown* outer) override;
    STDMETHOD(CreateSurface)(LPDDSURFACEDESC2 desc, LPDIRECTDRAWSURFACE7* surface,
                             IUnknown* outer) override;
    STDMETHOD(DuplicateSurface)(LPDIRECTDRAWSURFACE7 surface, LPDIRECTDRAWSURFACE7* duplicate) override;
    STDMETHOD(EnumDisplayModes)(DWORD flags, LPDDSURFACEDESC2 desc, LPVOID context,
                                LPDDENUMMODESCALLBACK2 callback) override;
    STDMETHOD(EnumSurfaces)(DWORD flags, LPDDSURFACEDESC2 desc, LPVOID context,
                            LPDDENUMSURFACESCALLBACK7 callback) override;
    STDMETHOD(FlipToGDISurface)() override;
    STDMETHOD(GetCaps)(LPDDCAPS driverCaps, LPDDCAPS helCaps) override;
    STDMETHOD(GetDisplayMode)(LPDDSURFACEDESC2 desc) override;
    STDMETHOD(GetFourCCCodes)(LPDWORD count, LPDWORD codes) override;
    STDMETHOD(GetGDISurface)(LPDIRECTDRAWSURFACE7* surface) override;
    STDMETHOD(GetMonitorFrequency)(LPDWORD frequency) override;
    STDMETHOD(GetScanLine)(LPDWORD scanLine) override;
    STDMETHOD(GetVerticalBlankStatus)(WINBOOL* inVerticalBlank) override;
    STDMETHOD(Initialize)(GUID* guid) override;
    STDMETHOD(RestoreDisplayMode)() override;
    STDMETHOD(SetCooperativeLevel)(HWND window, DWORD flags) override;
    STDMETHOD(SetDisplayMode)(DWORD width, DWORD height, DWORD bpp, DWORD refreshRate,
                              DWORD flags) override;
    STDMETHOD(WaitForVerticalBlank)(DWORD flags, HANDLE event) override;
    STDMETHOD(GetAvailableVidMem)(LPDDSCAPS2 caps, LPDWORD total, LPDWORD free) override;
    STDMETHOD(GetSurfaceFromDC)(HDC dc, LPDIRECTDRAWSURFACE7* surface) override;
    STDMETHOD(RestoreAllSurfaces)() override;
    STDMETHOD(TestCooperativeLevel)() override;
    STDMETHOD(GetDeviceIdentifier)(LPDDDEVICEIDENTIFIER2 identifier, DWORD flags) override;
    STDMETHOD(StartModeTest)(LPSIZE modes, DWORD count, DWORD flags) override;
    STDMETHOD(EvaluateMode)(DWORD flags, DWORD* timeout) override;

    // The stand-in's hooks (softddraw::SoftDirectDraw), same names and meaning.
    void failNthCall(softddraw::Operation operation, int n, HRESULT result);
    void failAllCalls(softddraw::Operation operation, HRESULT result);
    void clearFaults();
    void loseAllSurfaces();
    void loseSurface(IDirectDrawSurface7* surface);
    void setCooperativeLevelLost(bool lost) { cooperativeLevelLost_ = lost; }

    std::size_t liveSurfaceCount() const { return liveSurfaces_.size(); }
    std::size_t releasedTooOftenCount() const { return releasedTooOften_; }
    std::size_t usedAfterReleaseCount() const { return usedAfterRelease_; }
    ULONG referenceCount() const { return references_; }

    const std::vector<softddraw::CallRecord>& callLog() const { return callLog_; }
    std::vector<softddraw::CallRecord> callsOf(softddraw::Operation operation) const;
    void clearCallLog() { callLog_.clear(); }

    const DDPIXELFORMAT& displayFormat() const { return displayFormat_; }

private:
    friend class FaultingSurface;
    ~FaultingDirectDraw();

    // Runs a call: an injected fault answers instead of the real object; the result is logged.
    template <typename Forward>
    HRESULT call(softddraw::CallRecord record, Forward forward) {
        HRESULT result = DD_OK;
        if (const auto fault = faults_.onCall(record.operation)) {
            result = record.operation == softddraw::Operation::IsLost ? DDERR_SURFACELOST : *fault;
        } else {
            result = forward();
        }
        record.result = result;
        callLog_.push_back(record);
        return result;
    }
    // The real surface behind a wrapper this object handed out and that is still alive.
    IDirectDrawSurface7* realSurfaceOf(IDirectDrawSurface7* surface) const;
    void noteDestroyed(const IDirectDrawSurface7* surface) { liveSurfaces_.erase(surface); }
    void noteReleasedTooOften() { ++releasedTooOften_; }
    void noteUsedAfterRelease() { ++usedAfterRelease_; }
    bool cooperativeLevelLost() const { return cooperativeLevelLost_; }

    IDirectDraw7* real_;
    bool modeChanged_;
    DDPIXELFORMAT displayFormat_;
    ULONG references_ = 1;
    bool cooperativeLevelLost_ = false;
    std::size_t releasedTooOften_ = 0;
    std::size_t usedAfterRelease_ = 0;
    softddraw::FaultPlan faults_;
    // Every wrapper handed out stays until this object goes, so that a surplus Release or a
    // call on a released surface is counted without touching freed memory.
    std::vector<std::unique_ptr<FaultingSurface>> surfaces_;
    std::unordered_map<const IDirectDrawSurface7*, FaultingSurface*> liveSurfaces_;
    std::vector<softddraw::CallRecord> callLog_;
};
#pragma GCC diagnostic pop

}  // namespace ddtest
