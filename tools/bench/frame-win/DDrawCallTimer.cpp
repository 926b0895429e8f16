#include "DDrawCallTimer.h"

#include <chrono>

namespace framebench {

namespace {

using Clock = std::chrono::steady_clock;

// Slots of IDirectDrawSurface7's function table (IUnknown's three first).
enum Slot : std::size_t {
    kBltSlot = 5,
    kBltFastSlot = 7,
    kGetColorKeySlot = 16,
    kGetSurfaceDescSlot = 22,
    kIsLostSlot = 24,
    kLockSlot = 25,
    kSetColorKeySlot = 29,
    kUnlockSlot = 32,
    kSlotCount = 33,
};

using BltFn = HRESULT(WINAPI*)(IDirectDrawSurface7*, RECT*, IDirectDrawSurface7*, RECT*, DWORD, DDBLTFX*);
using BltFastFn = HRESULT(WINAPI*)(IDirectDrawSurface7*, DWORD, DWORD, IDirectDrawSurface7*, RECT*, DWORD);
using ColorKeyFn = HRESULT(WINAPI*)(IDirectDrawSurface7*, DWORD, DDCOLORKEY*);
using GetSurfaceDescFn = HRESULT(WINAPI*)(IDirectDrawSurface7*, DDSURFACEDESC2*);
using IsLostFn = HRESULT(WINAPI*)(IDirectDrawSurface7*);
using LockFn = HRESULT(WINAPI*)(IDirectDrawSurface7*, RECT*, DDSURFACEDESC2*, DWORD, HANDLE);
using UnlockFn = HRESULT(WINAPI*)(IDirectDrawSurface7*, RECT*);

struct Originals {
    BltFn blt = nullptr;
    BltFastFn bltFast = nullptr;
    ColorKeyFn getColorKey = nullptr;
    GetSurfaceDescFn getSurfaceDesc = nullptr;
    IsLostFn isLost = nullptr;
    LockFn lock = nullptr;
    ColorKeyFn setColorKey = nullptr;
    UnlockFn unlock = nullptr;
};

Originals originals;
void** wrappedTable = nullptr;
FrameCallTimes* recording = nullptr;
int locksHeld = 0;
Clock::time_point kernelStart;

double secondsBetween(Clock::time_point start, Clock::time_point end) {
    return std::chrono::duration<double>(end - start).count();
}

CallTally& tally(TimedCall call, Clock::time_point start, Clock::time_point end) {
    CallTally& entry = recording->calls[static_cast<std::size_t>(call)];
    ++entry.count;
    entry.seconds += secondsBetween(start, end);
    return entry;
}

double areaOf(const RECT& rect) {
    return static_cast<double>(rect.right - rect.left) * static_cast<double>(rect.bottom - rect.top);
}

RECT wholeSurface(IDirectDrawSurface7* surface) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    if (surface == nullptr || FAILED(originals.getSurfaceDesc(surface, &desc))) return RECT{0, 0, 0, 0};
    return RECT{0, 0, static_cast<LONG>(desc.dwWidth), static_cast<LONG>(desc.dwHeight)};
}

RECT rectOr(const RECT* rect, IDirectDrawSurface7* surface) {
    return rect != nullptr ? *rect : wholeSurface(surface);
}

// Outside the timed span: resolving a null rectangle asks the surface.
void notePixelCall(PixelCall::Kind kind, RECT dest, RECT source = RECT{}) {
    PixelCall call;
    call.kind = kind;
    call.dest = dest;
    call.source = source;
    recording->pixelCalls.push_back(call);
}

HRESULT WINAPI timedBlt(IDirectDrawSurface7* self, RECT* dest, IDirectDrawSurface7* source,
                        RECT* sourceRect, DWORD flags, DDBLTFX* fx) {
    if (recording == nullptr) return originals.blt(self, dest, source, sourceRect, flags, fx);
    const Clock::time_point start = Clock::now();
    const HRESULT result = originals.blt(self, dest, source, sourceRect, flags, fx);
    CallTally& entry =
        tally((flags & DDBLT_COLORFILL) != 0 ? TimedCall::BltFill : TimedCall::BltCopy, start, Clock::now());
    if (SUCCEEDED(result)) {
        const RECT to = rectOr(dest, self);
        entry.pixels += areaOf(to);
        if ((flags & DDBLT_COLORFILL) != 0)
            notePixelCall(PixelCall::Kind::Fill, to);
        else if (source != nullptr)
            notePixelCall(PixelCall::Kind::Copy, to, rectOr(sourceRect, source));
    }
    return result;
}

HRESULT WINAPI timedBltFast(IDirectDrawSurface7* self, DWORD x, DWORD y, IDirectDrawSurface7* source,
                            RECT* sourceRect, DWORD flags) {
    if (recording == nullptr) return originals.bltFast(self, x, y, source, sourceRect, flags);
    const Clock::time_point start = Clock::now();
    const HRESULT result = originals.bltFast(self, x, y, source, sourceRect, flags);
    CallTally& entry = tally((flags & DDBLTFAST_SRCCOLORKEY) != 0 ? TimedCall::BltFastKeyed : TimedCall::BltFast,
                             start, Clock::now());
    if (SUCCEEDED(result)) {
        const RECT from = rectOr(sourceRect, source);
        entry.pixels += areaOf(from);
        const LONG left = static_cast<LONG>(x);
        const LONG top = static_cast<LONG>(y);
        notePixelCall(PixelCall::Kind::Copy,
                      RECT{left, top, left + from.right - from.left, top + from.bottom - from.top}, from);
    }
    return result;
}

HRESULT WINAPI timedLock(IDirectDrawSurface7* self, RECT* rect, DDSURFACEDESC2* desc, DWORD flags, HANDLE event) {
    if (recording == nullptr) return originals.lock(self, rect, desc, flags, event);
    const Clock::time_point start = Clock::now();
    const HRESULT result = originals.lock(self, rect, desc, flags, event);
    const Clock::time_point end = Clock::now();
    CallTally& entry = tally(TimedCall::Lock, start, end);
    if (SUCCEEDED(result)) {
        const RECT locked = rectOr(rect, self);
        entry.pixels += areaOf(locked);
        notePixelCall(PixelCall::Kind::Lock, locked);
        if (++locksHeld == 2) kernelStart = Clock::now();
    }
    return result;
}

HRESULT WINAPI timedUnlock(IDirectDrawSurface7* self, RECT* rect) {
    if (recording == nullptr) return originals.unlock(self, rect);
    const Clock::time_point start = Clock::now();
    if (locksHeld == 2) recording->kernelSeconds += secondsBetween(kernelStart, start);
    const HRESULT result = originals.unlock(self, rect);
    tally(TimedCall::Unlock, start, Clock::now());
    if (SUCCEEDED(result) && locksHeld > 0) --locksHeld;
    return result;
}

HRESULT WINAPI timedIsLost(IDirectDrawSurface7* self) {
    if (recording == nullptr) return originals.isLost(self);
    const Clock::time_point start = Clock::now();
    const HRESULT result = originals.isLost(self);
    tally(TimedCall::IsLost, start, Clock::now());
    return result;
}

HRESULT WINAPI timedGetColorKey(IDirectDrawSurface7* self, DWORD flags, DDCOLORKEY* key) {
    if (recording == nullptr) return originals.getColorKey(self, flags, key);
    const Clock::time_point start = Clock::now();
    const HRESULT result = originals.getColorKey(self, flags, key);
    tally(TimedCall::ColorKey, start, Clock::now());
    return result;
}

HRESULT WINAPI timedSetColorKey(IDirectDrawSurface7* self, DWORD flags, DDCOLORKEY* key) {
    if (recording == nullptr) return originals.setColorKey(self, flags, key);
    const Clock::time_point start = Clock::now();
    const HRESULT result = originals.setColorKey(self, flags, key);
    tally(TimedCall::ColorKey, start, Clock::now());
    return result;
}

template <typename Fn>
void take(void** table, Slot slot, Fn& original, Fn wrapper) {
    original = reinterpret_cast<Fn>(table[slot]);
    table[slot] = reinterpret_cast<void*>(wrapper);
}

}  // namespace

const char* timedCallName(TimedCall call) {
    switch (call) {
        case TimedCall::BltFill: return "Blt fill";
        case TimedCall::BltCopy: return "Blt copy";
        case TimedCall::BltFastKeyed: return "BltFast key";
        case TimedCall::BltFast: return "BltFast";
        case TimedCall::Lock: return "Lock";
        case TimedCall::Unlock: return "Unlock";
        case TimedCall::IsLost: return "IsLost";
        case TimedCall::ColorKey: return "Get/SetKey";
    }
    return "?";
}

bool installCallTimer(IDirectDrawSurface7* surface, std::string& error) {
    void** table = *reinterpret_cast<void***>(surface);
    if (wrappedTable == table) return true;
    if (wrappedTable != nullptr) {
        error = "the DirectDraw surface calls are already timed through another table";
        return false;
    }
    DWORD oldProtection = 0;
    if (!VirtualProtect(table, kSlotCount * sizeof(void*), PAGE_READWRITE, &oldProtection)) {
        error = "VirtualProtect on the surface function table failed with error " + std::to_string(GetLastError());
        return false;
    }
    originals.getSurfaceDesc = reinterpret_cast<GetSurfaceDescFn>(table[kGetSurfaceDescSlot]);
    take(table, kBltSlot, originals.blt, &timedBlt);
    take(table, kBltFastSlot, originals.bltFast, &timedBltFast);
    take(table, kGetColorKeySlot, originals.getColorKey, &timedGetColorKey);
    take(table, kIsLostSlot, originals.isLost, &timedIsLost);
    take(table, kLockSlot, originals.lock, &timedLock);
    take(table, kSetColorKeySlot, originals.setColorKey, &timedSetColorKey);
    take(table, kUnlockSlot, originals.unlock, &timedUnlock);
    VirtualProtect(table, kSlotCount * sizeof(void*), oldProtection, &oldProtection);
    wrappedTable = table;
    return true;
}

void recordCallsInto(FrameCallTimes* times) {
    recording = times;
    locksHeld = 0;
}

}  // namespace framebench
