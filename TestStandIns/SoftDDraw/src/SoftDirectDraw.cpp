#include "softddraw/SoftDirectDraw.h"

#include "softddraw/FaultPlan.h"
#include "SoftSurface.h"
#include "SurfaceFormat.h"

namespace softddraw {

namespace {

constexpr HRESULT kNoInterface = ddResult(0x80004002u);     // E_NOINTERFACE
constexpr HRESULT kNoAggregation = ddResult(0x80040110u);   // CLASS_E_NOAGGREGATION
constexpr DWORD kSystemMemoryCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
constexpr DWORD kVideoMemoryCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_VIDEOMEMORY;

SurfaceDescRecord recordOf(const DDSURFACEDESC2& desc) {
    SurfaceDescRecord record;
    record.size = desc.dwSize;
    record.flags = desc.dwFlags;
    record.caps = desc.ddsCaps.dwCaps;
    record.width = desc.dwWidth;
    record.height = desc.dwHeight;
    if ((desc.dwFlags & DDSD_PIXELFORMAT) != 0) record.pixelFormat = desc.ddpfPixelFormat;
    if ((desc.dwFlags & DDSD_CKSRCBLT) != 0) record.sourceKey = desc.ddckCKSrcBlt;
    return record;
}

bool hasSize(const DDSURFACEDESC2& desc) {
    const DWORD both = DDSD_WIDTH | DDSD_HEIGHT;
    return (desc.dwFlags & both) == both;
}

}  // namespace

SoftDirectDraw* SoftDirectDraw::create(const DDPIXELFORMAT& displayFormat,
                                       VideoMemory videoMemory) {
    return new SoftDirectDraw(displayFormat, videoMemory);
}

SoftDirectDraw::SoftDirectDraw(const DDPIXELFORMAT& displayFormat, VideoMemory videoMemory)
    : displayFormat_(displayFormat),
      videoMemory_(videoMemory),
      faults_(std::make_unique<FaultPlan>()) {}

SoftDirectDraw::~SoftDirectDraw() = default;

HRESULT SoftDirectDraw::QueryInterface(REFIID, void** object) {
    if (object != nullptr) *object = nullptr;
    return kNoInterface;
}

ULONG SoftDirectDraw::AddRef() { return ++references_; }

ULONG SoftDirectDraw::Release() {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
}

HRESULT SoftDirectDraw::GetDisplayMode(LPDDSURFACEDESC2 desc) {
    if (desc == nullptr || desc->dwSize != sizeof(DDSURFACEDESC2)) return DDERR_INVALIDPARAMS;
    *desc = DDSURFACEDESC2{};
    desc->dwSize = sizeof(DDSURFACEDESC2);
    desc->dwFlags = DDSD_PIXELFORMAT;
    desc->ddpfPixelFormat = displayFormat_;
    return DD_OK;
}

HRESULT SoftDirectDraw::TestCooperativeLevel() {
    CallRecord record;
    record.operation = Operation::TestCooperativeLevel;
    HRESULT result = DD_OK;
    if (!takeInjectedFault(Operation::TestCooperativeLevel, result))
        result = cooperativeLevelLost_ ? DDERR_NOEXCLUSIVEMODE : DD_OK;
    record.result = result;
    return log(std::move(record));
}

HRESULT SoftDirectDraw::CreateSurface(LPDDSURFACEDESC2 desc, IDirectDrawSurface7** surface,
                                      IUnknown* outer) {
    CallRecord record;
    record.operation = Operation::CreateSurface;
    if (desc != nullptr) record.desc = recordOf(*desc);
    HRESULT result = DD_OK;
    if (!takeInjectedFault(Operation::CreateSurface, result)) {
        result = createSurfaceFrom(desc, surface, outer);
        if (result == DD_OK) record.surface = *surface;
    }
    record.result = result;
    return log(std::move(record));
}

HRESULT SoftDirectDraw::createSurfaceFrom(const DDSURFACEDESC2* desc,
                                          IDirectDrawSurface7** surface, IUnknown* outer) {
    if (outer != nullptr) return kNoAggregation;
    if (desc == nullptr || surface == nullptr) return DDERR_INVALIDPARAMS;
    return createSurfaceChecked(*desc, surface);
}

// The checks come in the order the real DirectDraw makes them: a zero size wins over a bad
// format, a bad format over missing video memory, missing video memory over a byte size that
// wraps to 0 in 32 bits.
HRESULT SoftDirectDraw::createSurfaceChecked(const DDSURFACEDESC2& desc,
                                             IDirectDrawSurface7** surface) {
    if (desc.dwSize != sizeof(DDSURFACEDESC2)) return DDERR_INVALIDPARAMS;
    if ((desc.dwFlags & DDSD_CAPS) == 0 || !hasSize(desc)) return DDERR_INVALIDPARAMS;
    const DWORD caps = desc.ddsCaps.dwCaps;
    if ((caps & DDSCAPS_OFFSCREENPLAIN) == 0) return DDERR_INVALIDCAPS;
    const bool systemMemory = (caps & DDSCAPS_SYSTEMMEMORY) != 0;
    const bool videoMemory = (caps & DDSCAPS_VIDEOMEMORY) != 0;
    if (systemMemory && videoMemory) return DDERR_INVALIDCAPS;
    if (desc.dwWidth == 0 || desc.dwHeight == 0) return DDERR_INVALIDPARAMS;

    SurfaceSetup setup;
    const bool formatGiven = (desc.dwFlags & DDSD_PIXELFORMAT) != 0;
    const HRESULT formatResult =
        surfaceFormatFor(formatGiven ? desc.ddpfPixelFormat : displayFormat_, setup.format);
    if (formatResult != DD_OK) return formatResult;
    const bool videoMemoryPresent = videoMemory_ == VideoMemory::Present;
    if (videoMemory && !videoMemoryPresent) return DDERR_NODIRECTDRAWHW;
    const std::uint32_t wrappedSize =
        wrappedPitch(desc.dwWidth, setup.format.bytesPerPixel) * desc.dwHeight;
    if (wrappedSize == 0) return DDERR_INVALIDPARAMS;
    if ((desc.dwFlags & DDSD_CKSRCBLT) != 0) {
        const DDCOLORKEY& key = desc.ddckCKSrcBlt;
        if (key.dwColorSpaceLowValue != key.dwColorSpaceHighValue) return DDERR_NOCOLORKEYHW;
        setup.hasSourceKey = true;
        setup.sourceKey = key;
    }
    setup.width = desc.dwWidth;
    setup.height = desc.dwHeight;
    // Without a memory cap a surface goes to video memory when there is some, else to system
    // memory; either way it can be lost, unlike one asked for in system memory.
    const bool inVideoMemory = videoMemory || (!systemMemory && videoMemoryPresent);
    setup.reportedCaps = inVideoMemory ? kVideoMemoryCaps : kSystemMemoryCaps;
    setup.canBeLost = !systemMemory;
    surfaces_.push_back(std::make_unique<SoftSurface>(*this, setup));
    SoftSurface* created = surfaces_.back().get();
    liveSurfaces_.emplace(created, created);
    AddRef();  // each live surface holds one reference on its DirectDraw object
    *surface = created;
    return DD_OK;
}

void SoftDirectDraw::failNthCall(Operation operation, int n, HRESULT result) {
    faults_->failNthCall(operation, n, result);
}

void SoftDirectDraw::failAllCalls(Operation operation, HRESULT result) {
    faults_->failAllCalls(operation, result);
}

void SoftDirectDraw::clearFaults() { faults_->clear(); }

bool SoftDirectDraw::takeInjectedFault(Operation operation, HRESULT& result) {
    const std::optional<HRESULT> fault = faults_->onCall(operation);
    if (!fault) return false;
    result = *fault;
    return true;
}

void SoftDirectDraw::loseAllSurfaces() {
    for (const auto& entry : liveSurfaces_) entry.second->loseIfLosable();
}

void SoftDirectDraw::loseSurface(IDirectDrawSurface7* surface) {
    if (SoftSurface* found = findLiveSurface(surface)) found->loseIfLosable();
}

void SoftDirectDraw::setCooperativeLevelLost(bool lost) { cooperativeLevelLost_ = lost; }

std::size_t SoftDirectDraw::liveSurfaceCount() const { return liveSurfaces_.size(); }

SoftSurface* SoftDirectDraw::findLiveSurface(const IDirectDrawSurface7* surface) const {
    const auto found = liveSurfaces_.find(surface);
    return found != liveSurfaces_.end() ? found->second : nullptr;
}

HRESULT SoftDirectDraw::log(CallRecord record) {
    const HRESULT result = record.result;
    if (keepCallLog_) callLog_.push_back(std::move(record));
    return result;
}

std::vector<CallRecord> SoftDirectDraw::callsOf(Operation operation) const {
    std::vector<CallRecord> calls;
    for (const CallRecord& record : callLog_)
        if (record.operation == operation) calls.push_back(record);
    return calls;
}

}  // namespace softddraw
