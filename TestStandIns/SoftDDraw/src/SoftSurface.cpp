#include "SoftSurface.h"

#include "PixelConversion.h"
#include "softddraw/SoftDirectDraw.h"

#include <cstddef>
#include <cstring>

namespace softddraw {

namespace {

constexpr HRESULT kNoInterface = ddResult(0x80004002u);  // E_NOINTERFACE
constexpr DWORD kDescribedFields =
    DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH | DDSD_PITCH | DDSD_PIXELFORMAT;
constexpr DWORD kDescHasDestKey = 0x00004000;  // DDSD_CKDESTBLT
// The older DDSURFACEDESC ends with a one-DWORD caps field where DDSURFACEDESC2 has DDSCAPS2;
// Lock accepts both sizes and fills the common prefix.
constexpr std::size_t kLegacyDescSize = offsetof(DDSURFACEDESC2, ddsCaps) + sizeof(DWORD);
// Memory committed for one surface stays below this: bigger surfaces can be created (as on a
// real 32-bit system, which has no room for them either) but fail to lock with
// DDERR_OUTOFMEMORY.
constexpr std::uint64_t kMaxCommittedBytes = std::uint64_t{1} << 30;

bool isKnownKeyKind(DWORD kind) { return kind == DDCKEY_SRCBLT || kind == DDCKEY_DESTBLT; }

}  // namespace

SoftSurface::SoftSurface(SoftDirectDraw& owner, const SurfaceSetup& setup)
    : owner_(owner),
      width_(setup.width),
      height_(setup.height),
      format_(setup.format),
      reportedCaps_(setup.reportedCaps),
      canBeLost_(setup.canBeLost),
      reportedPitch_(wrappedPitch(setup.width, setup.format.bytesPerPixel)),
      pitch_(exactPitch(setup.width, setup.format.bytesPerPixel)),
      byteSize_(pitch_ * setup.height),
      hasSourceKey_(setup.hasSourceKey),
      sourceKey_(setup.sourceKey) {}

SoftSurface::~SoftSurface() = default;

// ---------------------------------------------------------------- IUnknown

HRESULT SoftSurface::QueryInterface(REFIID, void** object) {
    if (object != nullptr) *object = nullptr;
    return kNoInterface;
}

ULONG SoftSurface::AddRef() {
    if (destroyed_) {
        owner_.noteUsedAfterRelease();
        return 0;
    }
    return ++references_;
}

ULONG SoftSurface::Release() {
    if (destroyed_) {
        owner_.noteReleasedTooOften();
        return 0;
    }
    if (--references_ > 0) return references_;
    destroyed_ = true;
    locked_ = false;
    memory_.reset();
    // The surface's reference on its DirectDraw object goes last: dropping it may free the
    // object and with it this surface.
    SoftDirectDraw& owner = owner_;
    owner.noteDestroyed(this);
    owner.Release();
    return 0;
}

// ---------------------------------------------------------------- call plumbing

CallRecord SoftSurface::recordFor(Operation operation) const {
    CallRecord record;
    record.operation = operation;
    record.surface = this;
    return record;
}

bool SoftSurface::interceptCall(Operation operation, HRESULT& result) {
    if (destroyed_) {
        owner_.noteUsedAfterRelease();
        result = DDERR_INVALIDOBJECT;
        return true;
    }
    if (!owner_.takeInjectedFault(operation, result)) return false;
    if (operation == Operation::IsLost) result = DDERR_SURFACELOST;
    return true;
}

HRESULT SoftSurface::finish(CallRecord record, HRESULT result) {
    record.result = result;
    return owner_.log(std::move(record));
}

bool SoftSurface::commitMemory() {
    if (memory_) return true;
    if (byteSize_ >= kMaxCommittedBytes) return false;
    memory_ = GuardedMemory::allocate(static_cast<std::size_t>(byteSize_));
    return memory_ != nullptr;
}

PixelPlane SoftSurface::plane() const {
    return {memory_->data(), static_cast<std::size_t>(pitch_), &format_};
}

void SoftSurface::describeInto(DDSURFACEDESC2& desc) const {
    const DWORD size = desc.dwSize;
    desc = DDSURFACEDESC2{};
    desc.dwSize = size;
    desc.dwFlags = kDescribedFields | (hasSourceKey_ ? DDSD_CKSRCBLT : 0) |
                   (hasDestKey_ ? kDescHasDestKey : 0);
    desc.dwWidth = width_;
    desc.dwHeight = height_;
    desc.lPitch = static_cast<LONG>(reportedPitch_);
    desc.ddpfPixelFormat = format_.reported;
    desc.ddsCaps.dwCaps = reportedCaps_;
    if (hasSourceKey_) desc.ddckCKSrcBlt = sourceKey_;
    if (hasDestKey_) desc.ddckCKDestBlt = destKey_;
}

// ---------------------------------------------------------------- Blt

HRESULT SoftSurface::Blt(LPRECT destRect, IDirectDrawSurface7* source, LPRECT sourceRect,
                         DWORD flags, LPDDBLTFX fx) {
    CallRecord record = recordFor(Operation::Blt);
    record.flags = flags;
    if (destRect != nullptr) record.destRect = *destRect;
    record.source = source;
    if (sourceRect != nullptr) record.sourceRect = *sourceRect;
    if (fx != nullptr) record.fx = BltFxRecord{fx->dwSize, fx->dwFillColor, fx->ddckSrcColorkey};
    HRESULT result = DD_OK;
    if (interceptCall(Operation::Blt, result)) return finish(record, result);
    return finish(record, bltChecked(destRect, source, sourceRect, flags, fx));
}

HRESULT SoftSurface::colorFill(const RECT* destRect, const DDBLTFX& fx) {
    const Area area = areaOrWhole(destRect, width_, height_);
    if (!isValidBlitArea(area, width_, height_)) return DDERR_INVALIDRECT;
    if (!commitMemory()) return DDERR_OUTOFMEMORY;
    const DWORD value = fx.dwFillColor & format_.fillMask & pixelBits(format_.bytesPerPixel);
    if (destRect == nullptr && value == 0) {
        // A whole-surface clear to 0 clears the row padding as well.
        std::memset(memory_->data(), 0, memory_->size());
        return DD_OK;
    }
    fillArea(plane(), area, value);
    return DD_OK;
}

HRESULT SoftSurface::bltChecked(const RECT* destRect, IDirectDrawSurface7* source,
                                const RECT* sourceRect, DWORD flags, const DDBLTFX* fx) {
    if ((flags & DDBLT_COLORFILL) != 0) {
        if (fx == nullptr) return DDERR_INVALIDPARAMS;
        return colorFill(destRect, *fx);
    }
    if (source == nullptr) return DDERR_INVALIDPARAMS;
    SoftSurface* from = owner_.findLiveSurface(source);
    if (from == nullptr) return DDERR_INVALIDOBJECT;
    BlitKeys keys;
    if ((flags & DDBLT_KEYSRCOVERRIDE) != 0) {
        if (fx == nullptr) return DDERR_INVALIDPARAMS;
        keys.source = KeyRange{fx->ddckSrcColorkey.dwColorSpaceLowValue,
                       fx->ddckSrcColorkey.dwColorSpaceHighValue};
    } else if ((flags & DDBLT_KEYSRC) != 0) {
        if (!from->hasSourceKey_) return DDERR_INVALIDPARAMS;
        keys.source = KeyRange{from->sourceKey_.dwColorSpaceLowValue,
                               from->sourceKey_.dwColorSpaceHighValue};
    }
    const Area destArea = areaOrWhole(destRect, width_, height_);
    const Area sourceArea = areaOrWhole(sourceRect, from->width_, from->height_);
    if (!isValidBlitArea(destArea, width_, height_) ||
        !isValidBlitArea(sourceArea, from->width_, from->height_))
        return DDERR_INVALIDRECT;
    if (locked_ || from->locked_) return DDERR_SURFACEBUSY;
    if (!commitMemory() || !from->commitMemory()) return DDERR_OUTOFMEMORY;
    blitArea(plane(), destArea, from->plane(), sourceArea, keys);
    return DD_OK;
}

// ---------------------------------------------------------------- BltFast

HRESULT SoftSurface::BltFast(DWORD x, DWORD y, IDirectDrawSurface7* source, LPRECT sourceRect,
                             DWORD trans) {
    CallRecord record = recordFor(Operation::BltFast);
    record.flags = trans;
    record.x = x;
    record.y = y;
    record.source = source;
    if (sourceRect != nullptr) record.sourceRect = *sourceRect;
    HRESULT result = DD_OK;
    if (interceptCall(Operation::BltFast, result)) return finish(record, result);
    return finish(record, bltFastChecked(x, y, source, sourceRect, trans));
}

HRESULT SoftSurface::bltFastChecked(DWORD x, DWORD y, IDirectDrawSurface7* source,
                                    const RECT* sourceRect, DWORD trans) {
    if (source == nullptr) return DDERR_INVALIDPARAMS;
    SoftSurface* from = owner_.findLiveSurface(source);
    if (from == nullptr) return DDERR_INVALIDOBJECT;
    const Area sourceArea = areaOrWhole(sourceRect, from->width_, from->height_);
    if (!isValidBlitArea(sourceArea, from->width_, from->height_)) return DDERR_INVALIDRECT;
    const Area destArea{x, y, x + sourceArea.width(), y + sourceArea.height()};
    if (!isValidBlitArea(destArea, width_, height_)) return DDERR_INVALIDRECT;
    if (locked_ || from->locked_) return DDERR_SURFACEBUSY;
    if (!commitMemory() || !from->commitMemory()) return DDERR_OUTOFMEMORY;
    // The keys stored in the source apply even after they were removed, and a source that never
    // had one behaves as keyed on 0. Like Wine, the destination key also comes from the source.
    BlitKeys keys;
    if ((trans & DDBLTFAST_SRCCOLORKEY) != 0)
        keys.source = KeyRange{from->sourceKey_.dwColorSpaceLowValue,
                               from->sourceKey_.dwColorSpaceHighValue};
    if ((trans & DDBLTFAST_DESTCOLORKEY) != 0)
        keys.dest = KeyRange{from->destKey_.dwColorSpaceLowValue,
                             from->destKey_.dwColorSpaceHighValue};
    blitArea(plane(), destArea, from->plane(), sourceArea, keys);
    return DD_OK;
}

// ---------------------------------------------------------------- colour keys

HRESULT SoftSurface::GetColorKey(DWORD flags, LPDDCOLORKEY key) {
    CallRecord record = recordFor(Operation::GetColorKey);
    record.flags = flags;
    HRESULT result = DD_OK;
    if (interceptCall(Operation::GetColorKey, result)) return finish(record, result);
    if (key == nullptr) return finish(record, DDERR_INVALIDPARAMS);
    DDCOLORKEY found{};
    result = getColorKeyChecked(flags, found);
    if (result == DD_OK) {
        *key = found;
        record.colorKey = found;
    }
    return finish(record, result);
}

HRESULT SoftSurface::getColorKeyChecked(DWORD flags, DDCOLORKEY& key) const {
    if (flags == DDCKEY_SRCBLT) {
        if (!hasSourceKey_) return DDERR_NOCOLORKEY;
        key = sourceKey_;
        return DD_OK;
    }
    if (flags == DDCKEY_DESTBLT) {
        if (!hasDestKey_) return DDERR_NOCOLORKEY;
        key = destKey_;
        return DD_OK;
    }
    return DDERR_INVALIDPARAMS;
}

HRESULT SoftSurface::SetColorKey(DWORD flags, LPDDCOLORKEY key) {
    CallRecord record = recordFor(Operation::SetColorKey);
    record.flags = flags;
    if (key != nullptr) record.colorKey = *key;
    HRESULT result = DD_OK;
    if (interceptCall(Operation::SetColorKey, result)) return finish(record, result);
    return finish(record, setColorKeyChecked(flags, key));
}

HRESULT SoftSurface::setColorKeyChecked(DWORD flags, const DDCOLORKEY* key) {
    const DWORD kind = flags & ~DDCKEY_COLORSPACE;
    if (!isKnownKeyKind(kind)) return DDERR_INVALIDPARAMS;
    bool& present = kind == DDCKEY_SRCBLT ? hasSourceKey_ : hasDestKey_;
    DDCOLORKEY& stored = kind == DDCKEY_SRCBLT ? sourceKey_ : destKey_;
    if (key == nullptr) {
        present = false;  // the value itself stays (BltFast still uses a removed source key)
        return DD_OK;
    }
    const bool range = (flags & DDCKEY_COLORSPACE) != 0;
    if (range && key->dwColorSpaceLowValue != key->dwColorSpaceHighValue)
        return DDERR_NOCOLORKEYHW;
    // Without DDCKEY_COLORSPACE the key is a single value: the high end is the low one.
    stored = DDCOLORKEY{key->dwColorSpaceLowValue, key->dwColorSpaceLowValue};
    present = true;
    return DD_OK;
}

// ---------------------------------------------------------------- description, lock

HRESULT SoftSurface::GetSurfaceDesc(LPDDSURFACEDESC2 desc) {
    CallRecord record = recordFor(Operation::GetSurfaceDesc);
    HRESULT result = DD_OK;
    if (interceptCall(Operation::GetSurfaceDesc, result)) return finish(record, result);
    if (desc == nullptr || desc->dwSize != sizeof(DDSURFACEDESC2))
        return finish(record, DDERR_INVALIDPARAMS);
    describeInto(*desc);
    return finish(record, DD_OK);
}

HRESULT SoftSurface::Lock(LPRECT rect, LPDDSURFACEDESC2 desc, DWORD flags, HANDLE) {
    CallRecord record = recordFor(Operation::Lock);
    record.flags = flags;
    if (rect != nullptr) record.destRect = *rect;
    HRESULT result = DD_OK;
    if (desc != nullptr) record.desc = lockRequestOf(*desc);
    if (interceptCall(Operation::Lock, result)) return finish(record, result);
    if (desc == nullptr) return finish(record, DDERR_INVALIDPARAMS);
    return finish(record, lockChecked(rect, *desc));
}

HRESULT SoftSurface::lockChecked(const RECT* rect, DDSURFACEDESC2& desc) {
    if (desc.dwSize != sizeof(DDSURFACEDESC2) && desc.dwSize != kLegacyDescSize)
        return DDERR_INVALIDPARAMS;
    if (lost_) return DDERR_SURFACELOST;
    const Area area = areaOrWhole(rect, width_, height_);
    if (!isValidLockArea(area, width_, height_)) {
        desc.lpSurface = nullptr;
        return DDERR_INVALIDPARAMS;
    }
    if (locked_) return DDERR_SURFACEBUSY;
    if (!commitMemory()) return DDERR_OUTOFMEMORY;
    DDSURFACEDESC2 full{};
    full.dwSize = desc.dwSize;
    describeInto(full);
    full.lpSurface = plane().at(area.left, area.top);
    std::memcpy(&desc, &full, desc.dwSize);
    locked_ = true;
    return DD_OK;
}

HRESULT SoftSurface::Unlock(LPRECT rect) {
    CallRecord record = recordFor(Operation::Unlock);
    if (rect != nullptr) record.destRect = *rect;
    HRESULT result = DD_OK;
    if (interceptCall(Operation::Unlock, result)) return finish(record, result);
    if (!locked_) return finish(record, DDERR_NOTLOCKED);
    locked_ = false;  // the rectangle is not compared with the locked one
    return finish(record, DD_OK);
}

// ---------------------------------------------------------------- loss

HRESULT SoftSurface::IsLost() {
    CallRecord record = recordFor(Operation::IsLost);
    HRESULT result = DD_OK;
    if (interceptCall(Operation::IsLost, result)) return finish(record, result);
    return finish(record, lost_ ? DDERR_SURFACELOST : DD_OK);
}

HRESULT SoftSurface::Restore() {
    CallRecord record = recordFor(Operation::Restore);
    HRESULT result = DD_OK;
    if (interceptCall(Operation::Restore, result)) return finish(record, result);
    if (owner_.cooperativeLevelLost()) return finish(record, DDERR_WRONGMODE);
    lost_ = false;  // pixels and keys are kept
    return finish(record, DD_OK);
}

}  // namespace softddraw
