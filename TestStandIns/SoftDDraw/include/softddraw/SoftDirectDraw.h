#pragma once
// An in-memory IDirectDraw7 whose off-screen plain surfaces behave like Wine's DirectDraw 7
// (results, pitches, fills, stretching, colour keys, rectangle rules, locking, loss), plus
// hooks that let tests inject failures, read a log of calls and check reference handling.
//
// Where it knowingly differs from Wine's DirectDraw 7:
// - Memory is committed at the first Lock or blit, at most just under 1 GiB per surface; a
//   bigger surface is created but fails there with DDERR_OUTOFMEMORY. Wine commits the byte size
//   wrapped to 32 bits, so a 65536 x 16385 X8R8G8B8 surface locks there and fails here.
// - No cooperative level has to be set before CreateSurface, and only off-screen plain
//   surfaces exist (other caps: DDERR_INVALIDCAPS).
// - Conversions between RGB layouts rescale each channel with rounding (this matches Wine for
//   R5G6B5 -> X8R8G8B8); blits between palettized and RGB layouts write nothing, as on Wine.
// - Blt ignores flags other than COLORFILL, KEYSRC and KEYSRCOVERRIDE; BltFast applies
//   DDBLTFAST_DESTCOLORKEY the way Wine does (the source's destination key, unmasked).
// - A surface passed as a blit source must come from the same object and still be alive;
//   otherwise the blit fails with DDERR_INVALIDOBJECT. Calls on a released surface fail the same
//   way and are counted (usedAfterReleaseCount).
// - QueryInterface is not supported (E_NOINTERFACE).

#include "platform/DirectDraw.h"
#include "softddraw/CallRecord.h"
#include "softddraw/Operation.h"

#include <cstddef>
#include <memory>
#include <unordered_map>
#include <vector>

namespace softddraw {

class SoftSurface;
class FaultPlan;

enum class VideoMemory {
    Present,  // video memory requests succeed; surfaces without a memory cap go there
    Absent,   // like Wine: video memory requests fail with DDERR_NODIRECTDRAWHW
};

class SoftDirectDraw final : public IDirectDraw7 {
public:
    // A new object with one reference; freed when its count reaches 0.
    static SoftDirectDraw* create(const DDPIXELFORMAT& displayFormat,
                                  VideoMemory videoMemory = VideoMemory::Present);

    HRESULT QueryInterface(REFIID riid, void** object) override;
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT CreateSurface(LPDDSURFACEDESC2 desc, IDirectDrawSurface7** surface,
                          IUnknown* outer) override;
    HRESULT TestCooperativeLevel() override;
    // The display's pixel format (this display has no size: width and height are not reported).
    // Neither counted nor logged, and no fault can be injected.
    HRESULT GetDisplayMode(LPDDSURFACEDESC2 desc) override;

    // Fault injection: the n-th call (1-based, counted from now) of the operation fails once
    // with the result; or every call fails. A failing IsLost reports DDERR_SURFACELOST.
    void failNthCall(Operation operation, int n, HRESULT result);
    void failAllCalls(Operation operation, HRESULT result);
    void clearFaults();

    // Loss as a display change causes it: only surfaces not created in explicit system memory.
    void loseAllSurfaces();
    void loseSurface(IDirectDrawSurface7* surface);
    // While set, TestCooperativeLevel fails with DDERR_NOEXCLUSIVEMODE and Restore with
    // DDERR_WRONGMODE, as when an exclusive-mode window is deactivated.
    void setCooperativeLevelLost(bool lost);

    std::size_t liveSurfaceCount() const;
    std::size_t releasedTooOftenCount() const { return releasedTooOften_; }
    // Calls other than Release made on a surface after its last reference was dropped.
    std::size_t usedAfterReleaseCount() const { return usedAfterRelease_; }
    ULONG referenceCount() const { return references_; }

    const std::vector<CallRecord>& callLog() const { return callLog_; }
    std::vector<CallRecord> callsOf(Operation operation) const;
    void clearCallLog() { callLog_.clear(); }
    // Every call is logged until told otherwise: a host that never reads the log (a long replay
    // or demo) turns it off, or the log would grow with every call it makes.
    void keepCallLog(bool keep) {
        keepCallLog_ = keep;
        if (!keep) callLog_ = std::vector<CallRecord>();
    }

    const DDPIXELFORMAT& displayFormat() const { return displayFormat_; }

private:
    friend class SoftSurface;

    SoftDirectDraw(const DDPIXELFORMAT& displayFormat, VideoMemory videoMemory);
    ~SoftDirectDraw();
    SoftDirectDraw(const SoftDirectDraw&) = delete;
    SoftDirectDraw& operator=(const SoftDirectDraw&) = delete;

    HRESULT createSurfaceFrom(const DDSURFACEDESC2* desc, IDirectDrawSurface7** surface,
                              IUnknown* outer);
    HRESULT createSurfaceChecked(const DDSURFACEDESC2& desc, IDirectDrawSurface7** surface);
    // Hooks for the surfaces.
    bool takeInjectedFault(Operation operation, HRESULT& result);
    HRESULT log(CallRecord record);
    SoftSurface* findLiveSurface(const IDirectDrawSurface7* surface) const;
    void noteDestroyed(const IDirectDrawSurface7* surface) { liveSurfaces_.erase(surface); }
    void noteReleasedTooOften() { ++releasedTooOften_; }
    void noteUsedAfterRelease() { ++usedAfterRelease_; }
    bool cooperativeLevelLost() const { return cooperativeLevelLost_; }

    DDPIXELFORMAT displayFormat_;
    VideoMemory videoMemory_;
    ULONG references_ = 1;
    bool cooperativeLevelLost_ = false;
    std::size_t releasedTooOften_ = 0;
    std::size_t usedAfterRelease_ = 0;
    std::unique_ptr<FaultPlan> faults_;
    // Live and destroyed surfaces: destroyed ones stay (without their pixels) until this object
    // dies, so that a surplus Release is detected without touching freed memory.
    std::vector<std::unique_ptr<SoftSurface>> surfaces_;
    // Live surfaces by the interface pointer handed out: looked up before any dereference.
    std::unordered_map<const IDirectDrawSurface7*, SoftSurface*> liveSurfaces_;
    std::vector<CallRecord> callLog_;
    bool keepCallLog_ = true;
};

}  // namespace softddraw
