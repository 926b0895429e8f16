#include "FaultingDirectDraw.h"

#include "FaultingSurface.h"
#include "RealDisplay.h"

namespace ddtest {

using softddraw::CallRecord;
using softddraw::Operation;

namespace {

softddraw::SurfaceDescRecord recordOf(const DDSURFACEDESC2& desc) {
    softddraw::SurfaceDescRecord record;
    record.size = desc.dwSize;
    record.flags = desc.dwFlags;
    record.caps = desc.ddsCaps.dwCaps;
    record.width = desc.dwWidth;
    record.height = desc.dwHeight;
    if ((desc.dwFlags & DDSD_PIXELFORMAT) != 0) record.pixelFormat = desc.ddpfPixelFormat;
    if ((desc.dwFlags & DDSD_CKSRCBLT) != 0) record.sourceKey = desc.ddckCKSrcBlt;
    return record;
}

}  // namespace

FaultingDirectDraw::FaultingDirectDraw(IDirectDraw7* real, bool modeChanged,
                                       const DDPIXELFORMAT& displayFormat)
    : real_(real), modeChanged_(modeChanged), displayFormat_(displayFormat) {
    real_->AddRef();
}

// Surfaces still alive here were leaked by the code under test (the counters told the test);
// their real surfaces go back to the real object before it is closed.
FaultingDirectDraw::~FaultingDirectDraw() {
    for (const auto& surface : surfaces_) surface->abandon();
    real_->Release();
}

// ---------------------------------------------------------------- hooks

void FaultingDirectDraw::failNthCall(Operation operation, int n, HRESULT result) {
    faults_.failNthCall(operation, n, result);
}

void FaultingDirectDraw::failAllCalls(Operation operation, HRESULT result) {
    faults_.failAllCalls(operation, result);
}

void FaultingDirectDraw::clearFaults() { faults_.clear(); }

void FaultingDirectDraw::loseAllSurfaces() { loseRealSurfaces(real_, modeChanged_); }

// A real DirectDraw loses surfaces only all together.
void FaultingDirectDraw::loseSurface(IDirectDrawSurface7*) { loseAllSurfaces(); }

std::vector<CallRecord> FaultingDirectDraw::callsOf(Operation operation) const {
    std::vector<CallRecord> calls;
    for (const CallRecord& record : callLog_)
        if (record.operation == operation) calls.push_back(record);
    return calls;
}

IDirectDrawSurface7* FaultingDirectDraw::realSurfaceOf(IDirectDrawSurface7* surface) const {
    const auto found = liveSurfaces_.find(surface);
    return found != liveSurfaces_.end() ? found->second->real() : nullptr;
}

// ---------------------------------------------------------------- IUnknown

HRESULT FaultingDirectDraw::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (riid != IID_IDirectDraw7 && riid != IID_IUnknown) return E_NOINTERFACE;
    *object = static_cast<IDirectDraw7*>(this);
    AddRef();
    return S_OK;
}

ULONG FaultingDirectDraw::AddRef() { return ++references_; }

ULONG FaultingDirectDraw::Release() {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
}

// ---------------------------------------------------------------- the calls the module makes

HRESULT FaultingDirectDraw::CreateSurface(LPDDSURFACEDESC2 desc, LPDIRECTDRAWSURFACE7* surface,
                                          IUnknown* outer) {
    CallRecord record;
    record.operation = Operation::CreateSurface;
    if (desc != nullptr) record.desc = recordOf(*desc);
    IDirectDrawSurface7* created = nullptr;
    const HRESULT result = call(record, [&] {
        IDirectDrawSurface7* real = nullptr;
        const HRESULT made = real_->CreateSurface(desc, &real, outer);
        if (FAILED(made) || real == nullptr) return made;
        surfaces_.push_back(std::make_unique<FaultingSurface>(*this, real));
        FaultingSurface* wrapper = surfaces_.back().get();
        liveSurfaces_.emplace(wrapper, wrapper);
        created = wrapper;
        return made;
    });
    if (created != nullptr) callLog_.back().surface = created;
    if (surface != nullptr) *surface = created;
    return result;
}

HRESULT FaultingDirectDraw::TestCooperativeLevel() {
    CallRecord record;
    record.operation = Operation::TestCooperativeLevel;
    return call(record, [&] {
        return cooperativeLevelLost_ ? DDERR_NOEXCLUSIVEMODE : real_->TestCooperativeLevel();
    });
}

// ---------------------------------------------------------------- forwarded as they are

HRESULT FaultingDirectDraw::Compact() { return real_->Compact(); }
HRESULT FaultingDirectDraw::CreateClipper(DWORD flags, LPDIRECTDRAWCLIPPER* clipper, IUnknown* outer) {
    return real_->CreateClipper(flags, clipper, outer);
}
HRESULT FaultingDirectDraw::CreatePalette(DWORD flags, LPPALETTEENTRY colors,
                                          LPDIRECTDRAWPALETTE* palette, IUnknown* outer) {
    return real_->CreatePalette(flags, colors, palette, outer);
}
HRESULT FaultingDirectDraw::EnumDisplayModes(DWORD flags, LPDDSURFACEDESC2 desc, LPVOID context,
                                             LPDDENUMMODESCALLBACK2 callback) {
    return real_->EnumDisplayModes(flags, desc, context, callback);
}
HRESULT FaultingDirectDraw::FlipToGDISurface() { return real_->FlipToGDISurface(); }
HRESULT FaultingDirectDraw::GetCaps(LPDDCAPS driverCaps, LPDDCAPS helCaps) {
    return real_->GetCaps(driverCaps, helCaps);
}
HRESULT FaultingDirectDraw::GetDisplayMode(LPDDSURFACEDESC2 desc) { return real_->GetDisplayMode(desc); }
HRESULT FaultingDirectDraw::GetFourCCCodes(LPDWORD count, LPDWORD codes) {
    return real_->GetFourCCCodes(count, codes);
}
HRESULT FaultingDirectDraw::GetMonitorFrequency(LPDWORD frequency) {
    return real_->GetMonitorFrequency(frequency);
}
HRESULT FaultingDirectDraw::GetScanLine(LPDWORD scanLine) { return real_->GetScanLine(scanLine); }
HRESULT FaultingDirectDraw::GetVerticalBlankStatus(WINBOOL* inVerticalBlank) {
    return real_->GetVerticalBlankStatus(inVerticalBlank);
}
HRESULT FaultingDirectDraw::Initialize(GUID* guid) { return real_->Initialize(guid); }
HRESULT FaultingDirectDraw::RestoreDisplayMode() { return real_->RestoreDisplayMode(); }
HRESULT FaultingDirectDraw::SetCooperativeLevel(HWND window, DWORD flags) {
    return real_->SetCooperativeLevel(window, flags);
}
HRESULT FaultingDirectDraw::SetDisplayMode(DWORD width, DWORD height, DWORD bpp, DWORD refreshRate,
                                           DWORD flags) {
    return real_->SetDisplayMode(width, height, bpp, refreshRate, flags);
}
HRESULT FaultingDirectDraw::WaitForVerticalBlank(DWORD flags, HANDLE event) {
    return real_->WaitForVerticalBlank(flags, event);
}
HRESULT FaultingDirectDraw::GetAvailableVidMem(LPDDSCAPS2 caps, LPDWORD total, LPDWORD free) {
    return real_->GetAvailableVidMem(caps, total, free);
}
HRESULT FaultingDirectDraw::RestoreAllSurfaces() { return real_->RestoreAllSurfaces(); }
HRESULT FaultingDirectDraw::GetDeviceIdentifier(LPDDDEVICEIDENTIFIER2 identifier, DWORD flags) {
    return real_->GetDeviceIdentifier(identifier, flags);
}
HRESULT FaultingDirectDraw::StartModeTest(LPSIZE modes, DWORD count, DWORD flags) {
    return real_->StartModeTest(modes, count, flags);
}
HRESULT FaultingDirectDraw::EvaluateMode(DWORD flags, DWORD* timeout) {
    return real_->EvaluateMode(flags, timeout);
}

// ---------------------------------------------------------------- would hand out real objects

HRESULT FaultingDirectDraw::DuplicateSurface(LPDIRECTDRAWSURFACE7, LPDIRECTDRAWSURFACE7*) {
    return DDERR_UNSUPPORTED;
}
HRESULT FaultingDirectDraw::EnumSurfaces(DWORD, LPDDSURFACEDESC2, LPVOID, LPDDENUMSURFACESCALLBACK7) {
    return DDERR_UNSUPPORTED;
}
HRESULT FaultingDirectDraw::GetGDISurface(LPDIRECTDRAWSURFACE7*) { return DDERR_UNSUPPORTED; }
HRESULT FaultingDirectDraw::GetSurfaceFromDC(HDC, LPDIRECTDRAWSURFACE7*) { return DDERR_UNSUPPORTED; }

}  // namespace ddtest
