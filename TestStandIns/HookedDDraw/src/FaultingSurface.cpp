#include "FaultingSurface.h"

namespace ddtest {

using softddraw::CallRecord;
using softddraw::Operation;

namespace {

std::optional<RECT> rectOf(const RECT* rect) {
    if (rect == nullptr) return std::nullopt;
    return *rect;
}

}  // namespace

FaultingSurface::FaultingSurface(FaultingDirectDraw& owner, IDirectDrawSurface7* real)
    : owner_(owner), real_(real) {
    owner_.AddRef();
}

FaultingSurface::~FaultingSurface() = default;

void FaultingSurface::abandon() {
    if (real_ != nullptr) real_->Release();
    real_ = nullptr;
}

CallRecord FaultingSurface::recordFor(Operation operation) const {
    CallRecord record;
    record.operation = operation;
    record.surface = this;
    return record;
}

HRESULT FaultingSurface::usedAfterRelease() {
    owner_.noteUsedAfterRelease();
    return DDERR_INVALIDOBJECT;
}

// ---------------------------------------------------------------- IUnknown

HRESULT FaultingSurface::QueryInterface(REFIID riid, void** object) {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (real_ == nullptr) return usedAfterRelease();
    if (riid != IID_IDirectDrawSurface7 && riid != IID_IUnknown) return E_NOINTERFACE;
    *object = static_cast<IDirectDrawSurface7*>(this);
    AddRef();
    return S_OK;
}

ULONG FaultingSurface::AddRef() {
    if (real_ == nullptr) {
        usedAfterRelease();
        return 0;
    }
    return ++references_;
}

ULONG FaultingSurface::Release() {
    if (real_ == nullptr) {
        owner_.noteReleasedTooOften();
        return 0;
    }
    if (--references_ > 0) return references_;
    abandon();
    // The reference on the wrapper DirectDraw goes last: dropping it may free the wrapper and
    // with it this surface.
    FaultingDirectDraw& owner = owner_;
    owner.noteDestroyed(this);
    owner.Release();
    return 0;
}

// ---------------------------------------------------------------- the calls the module makes

HRESULT FaultingSurface::Blt(LPRECT destRect, LPDIRECTDRAWSURFACE7 source, LPRECT sourceRect,
                             DWORD flags, LPDDBLTFX fx) {
    CallRecord record = recordFor(Operation::Blt);
    record.flags = flags;
    record.destRect = rectOf(destRect);
    record.source = source;
    record.sourceRect = rectOf(sourceRect);
    if (fx != nullptr)
        record.fx = softddraw::BltFxRecord{fx->dwSize, fx->dwFillColor, fx->ddckSrcColorkey};
    return hooked(record, [&](IDirectDrawSurface7* real) {
        IDirectDrawSurface7* from = owner_.realSurfaceOf(source);
        if (source != nullptr && from == nullptr) return DDERR_INVALIDOBJECT;
        return real->Blt(destRect, from, sourceRect, flags, fx);
    });
}

HRESULT FaultingSurface::BltFast(DWORD x, DWORD y, LPDIRECTDRAWSURFACE7 source, LPRECT sourceRect,
                                 DWORD trans) {
    CallRecord record = recordFor(Operation::BltFast);
    record.flags = trans;
    record.x = x;
    record.y = y;
    record.source = source;
    record.sourceRect = rectOf(sourceRect);
    return hooked(record, [&](IDirectDrawSurface7* real) {
        IDirectDrawSurface7* from = owner_.realSurfaceOf(source);
        if (from == nullptr) return DDERR_INVALIDOBJECT;
        return real->BltFast(x, y, from, sourceRect, trans);
    });
}

HRESULT FaultingSurface::Lock(LPRECT rect, LPDDSURFACEDESC2 desc, DWORD flags, HANDLE event) {
    CallRecord record = recordFor(Operation::Lock);
    record.flags = flags;
    record.destRect = rectOf(rect);
    return hooked(record, [&](IDirectDrawSurface7* real) { return real->Lock(rect, desc, flags, event); });
}

HRESULT FaultingSurface::Unlock(LPRECT rect) {
    CallRecord record = recordFor(Operation::Unlock);
    record.destRect = rectOf(rect);
    return hooked(record, [&](IDirectDrawSurface7* real) { return real->Unlock(rect); });
}

HRESULT FaultingSurface::GetSurfaceDesc(LPDDSURFACEDESC2 desc) {
    return hooked(recordFor(Operation::GetSurfaceDesc),
                  [&](IDirectDrawSurface7* real) { return real->GetSurfaceDesc(desc); });
}

HRESULT FaultingSurface::GetColorKey(DWORD flags, LPDDCOLORKEY key) {
    CallRecord record = recordFor(Operation::GetColorKey);
    record.flags = flags;
    return hooked(record, [&](IDirectDrawSurface7* real) { return real->GetColorKey(flags, key); });
}

HRESULT FaultingSurface::SetColorKey(DWORD flags, LPDDCOLORKEY key) {
    CallRecord record = recordFor(Operation::SetColorKey);
    record.flags = flags;
    if (key != nullptr) record.colorKey = *key;
    return hooked(record, [&](IDirectDrawSurface7* real) { return real->SetColorKey(flags, key); });
}

HRESULT FaultingSurface::IsLost() {
    return hooked(recordFor(Operation::IsLost), [](IDirectDrawSurface7* real) { return real->IsLost(); });
}

HRESULT FaultingSurface::Restore() {
    return hooked(recordFor(Operation::Restore), [&](IDirectDrawSurface7* real) {
        return owner_.cooperativeLevelLost() ? DDERR_WRONGMODE : real->Restore();
    });
}

// ---------------------------------------------------------------- forwarded as they are

HRESULT FaultingSurface::AddOverlayDirtyRect(LPRECT rect) {
    return plain([&](IDirectDrawSurface7* real) { return real->AddOverlayDirtyRect(rect); });
}
HRESULT FaultingSurface::BltBatch(LPDDBLTBATCH batch, DWORD count, DWORD flags) {
    return plain([&](IDirectDrawSurface7* real) { return real->BltBatch(batch, count, flags); });
}
HRESULT FaultingSurface::GetBltStatus(DWORD flags) {
    return plain([&](IDirectDrawSurface7* real) { return real->GetBltStatus(flags); });
}
HRESULT FaultingSurface::GetCaps(LPDDSCAPS2 caps) {
    return plain([&](IDirectDrawSurface7* real) { return real->GetCaps(caps); });
}
HRESULT FaultingSurface::GetDC(HDC* dc) {
    return plain([&](IDirectDrawSurface7* real) { return real->GetDC(dc); });
}
HRESULT FaultingSurface::GetFlipStatus(DWORD flags) {
    return plain([&](IDirectDrawSurface7* real) { return real->GetFlipStatus(flags); });
}
HRESULT FaultingSurface::GetOverlayPosition(LPLONG x, LPLONG y) {
    return plain([&](IDirectDrawSurface7* real) { return real->GetOverlayPosition(x, y); });
}
HRESULT FaultingSurface::GetPixelFormat(LPDDPIXELFORMAT format) {
    return plain([&](IDirectDrawSurface7* real) { return real->GetPixelFormat(format); });
}
HRESULT FaultingSurface::Initialize(LPDIRECTDRAW directDraw, LPDDSURFACEDESC2 desc) {
    return plain([&](IDirectDrawSurface7* real) { return real->Initialize(directDraw, desc); });
}
HRESULT FaultingSurface::ReleaseDC(HDC dc) {
    return plain([&](IDirectDrawSurface7* real) { return real->ReleaseDC(dc); });
}
HRESULT FaultingSurface::SetClipper(LPDIRECTDRAWCLIPPER clipper) {
    return plain([&](IDirectDrawSurface7* real) { return real->SetClipper(clipper); });
}
HRESULT FaultingSurface::SetOverlayPosition(LONG x, LONG y) {
    return plain([&](IDirectDrawSurface7* real) { return real->SetOverlayPosition(x, y); });
}
HRESULT FaultingSurface::SetPalette(LPDIRECTDRAWPALETTE palette) {
    return plain([&](IDirectDrawSurface7* real) { return real->SetPalette(palette); });
}
HRESULT FaultingSurface::UpdateOverlayDisplay(DWORD flags) {
    return plain([&](IDirectDrawSurface7* real) { return real->UpdateOverlayDisplay(flags); });
}
HRESULT FaultingSurface::PageLock(DWORD flags) {
    return plain([&](IDirectDrawSurface7* real) { return real->PageLock(flags); });
}
HRESULT FaultingSurface::PageUnlock(DWORD flags) {
    return plain([&](IDirectDrawSurface7* real) { return real->PageUnlock(flags); });
}
HRESULT FaultingSurface::SetSurfaceDesc(LPDDSURFACEDESC2 desc, DWORD flags) {
    return plain([&](IDirectDrawSurface7* real) { return real->SetSurfaceDesc(desc, flags); });
}
HRESULT FaultingSurface::SetPrivateData(REFGUID tag, LPVOID data, DWORD size, DWORD flags) {
    return plain([&](IDirectDrawSurface7* real) { return real->SetPrivateData(tag, data, size, flags); });
}
HRESULT FaultingSurface::GetPrivateData(REFGUID tag, LPVOID buffer, LPDWORD size) {
    return plain([&](IDirectDrawSurface7* real) { return real->GetPrivateData(tag, buffer, size); });
}
HRESULT FaultingSurface::FreePrivateData(REFGUID tag) {
    return plain([&](IDirectDrawSurface7* real) { return real->FreePrivateData(tag); });
}
HRESULT FaultingSurface::GetUniquenessValue(LPDWORD value) {
    return plain([&](IDirectDrawSurface7* real) { return real->GetUniquenessValue(value); });
}
HRESULT FaultingSurface::ChangeUniquenessValue() {
    return plain([](IDirectDrawSurface7* real) { return real->ChangeUniquenessValue(); });
}
HRESULT FaultingSurface::SetPriority(DWORD priority) {
    return plain([&](IDirectDrawSurface7* real) { return real->SetPriority(priority); });
}
HRESULT FaultingSurface::GetPriority(LPDWORD priority) {
    return plain([&](IDirectDrawSurface7* real) { return real->GetPriority(priority); });
}
HRESULT FaultingSurface::SetLOD(DWORD lod) {
    return plain([&](IDirectDrawSurface7* real) { return real->SetLOD(lod); });
}
HRESULT FaultingSurface::GetLOD(LPDWORD lod) {
    return plain([&](IDirectDrawSurface7* real) { return real->GetLOD(lod); });
}

// ---------------------------------------------------------------- would hand out real objects

HRESULT FaultingSurface::AddAttachedSurface(LPDIRECTDRAWSURFACE7) { return DDERR_UNSUPPORTED; }
HRESULT FaultingSurface::DeleteAttachedSurface(DWORD, LPDIRECTDRAWSURFACE7) { return DDERR_UNSUPPORTED; }
HRESULT FaultingSurface::EnumAttachedSurfaces(LPVOID, LPDDENUMSURFACESCALLBACK7) { return DDERR_UNSUPPORTED; }
HRESULT FaultingSurface::EnumOverlayZOrders(DWORD, LPVOID, LPDDENUMSURFACESCALLBACK7) { return DDERR_UNSUPPORTED; }
HRESULT FaultingSurface::Flip(LPDIRECTDRAWSURFACE7, DWORD) { return DDERR_UNSUPPORTED; }
HRESULT FaultingSurface::GetAttachedSurface(LPDDSCAPS2, LPDIRECTDRAWSURFACE7*) { return DDERR_UNSUPPORTED; }
HRESULT FaultingSurface::GetClipper(LPDIRECTDRAWCLIPPER*) { return DDERR_UNSUPPORTED; }
HRESULT FaultingSurface::GetPalette(LPDIRECTDRAWPALETTE*) { return DDERR_UNSUPPORTED; }
HRESULT FaultingSurface::UpdateOverlay(LPRECT, LPDIRECTDRAWSURFACE7, LPRECT, DWORD, LPDDOVERLAYFX) {
    return DDERR_UNSUPPORTED;
}
HRESULT FaultingSurface::UpdateOverlayZOrder(DWORD, LPDIRECTDRAWSURFACE7) { return DDERR_UNSUPPORTED; }
HRESULT FaultingSurface::GetDDInterface(LPVOID*) { return DDERR_UNSUPPORTED; }

}  // namespace ddtest
