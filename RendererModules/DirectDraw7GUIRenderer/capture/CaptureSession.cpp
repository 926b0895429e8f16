#include "capture/CaptureSession.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <exception>

#include "diagnostics/CallWitness.h"
#include "diagnostics/ModuleLogger.h"
#include "capture/HostLevel.h"
#include "capture/LoggerThrows.h"
#include "capture/PixelFormatRecord.h"
#include "capture/RecordingDevice.h"
#include "capture/SourceFiles.h"
#include "capture/SurfaceAnswers.h"
#include "platform/SurfaceLock.h"
#include "interface/Texture.h"
#include "texture/CDD7Texture.h"

namespace ZelUISystem {
namespace capture {

CaptureSession* hostLevelSession = nullptr;
CaptureSession* hostCallSession = nullptr;

namespace {

// Hears what the module's calls out learned during a host call, for the session recording it.
class SessionWitness final : public CallWitness {
public:
    void surfaceAnswered(const DDSURFACEDESC2& asked, HRESULT result, IDirectDrawSurface7* made) noexcept override {
        noteSurfaceAnswer(asked, result, made);
    }
    void loggerThrew(bool standardException, const char* text) noexcept override {
        noteLoggerThrow(standardException, text);
    }
};

SessionWitness sessionWitness;

}  // namespace

CaptureSession::CaptureSession(std::string path) : path_(std::move(path)) {
    active_ = writer_.open(path_);
    if (!active_) disable("cannot create the capture file");
}

CaptureSession::~CaptureSession() {
    if (hostLevelSession == this) setHostLevelSession(nullptr);
    if (hostCallSession == this) {
        hostCallSession = nullptr;
        callWitness = nullptr;
    }
    try {
        writer_.close();
    } catch (...) {
    }
    active_ = false;
}

void CaptureSession::disable(const char* why) {
    active_ = false;
    if (hostLevelSession == this && !inHostCall_) setHostLevelSession(nullptr);
    try {
        writer_.close();
        if (failure_.empty()) failure_ = std::string("dd7r capture: ") + why + " (" + path_ + "); capture is off.";
    } catch (...) {
    }
    reportFailure();
}

// The one log line about a failure. A failure at load comes before any logger exists: the
// first host call (createRenderer, which binds the logger) still goes through the capture, and
// its end reports it. It runs while a host call ends (in a destructor): what the logger throws
// is dropped.
void CaptureSession::reportFailure() {
    if (failureReported_ || failure_.empty() || moduleLogger() == nullptr) return;
    failureReported_ = true;
    try {
        logLine(kLogLevelError, "%s", failure_.c_str());
    } catch (...) {
    }
}

void CaptureSession::checkWriter() {
    if (active_ && writer_.failed()) disable("cannot write the capture file");
}

void CaptureSession::beginHostCall() {
    inHostCall_ = true;
    threw_ = false;
    setHostLevelSession(nullptr);
    hostCallSession = this;
    callWitness = &sessionWitness;
}

void CaptureSession::endHostCall() {
    inHostCall_ = false;
    hostCallSession = nullptr;
    callWitness = nullptr;
    try {
        for (const RecordBuilder& answer : heldAnswers_) writer_.append(answer);
        heldAnswers_.clear();
        if (threw_) {
            RecordBuilder record(RecordKind::Threw);
            record.flag(threwStandard_).string(threwText_.c_str());
            writer_.append(record);
        }
    } catch (...) {
        disable("out of memory while capturing");
    }
    threw_ = false;
    checkWriter();
    reportFailure();
    setHostLevelSession(active_ ? this : nullptr);
}

void CaptureSession::noteThrow(bool standardException, const char* text) {
    try {
        threw_ = true;
        threwStandard_ = standardException;
        threwText_ = text != nullptr ? text : "";
        if (threwText_.size() > kLongestExceptionText) threwText_.resize(kLongestExceptionText);
    } catch (...) {
        threwText_.clear();
    }
}

void CaptureSession::write(const RecordBuilder& record) {
    if (!active_) return;
    try {
        writer_.append(record);
    } catch (...) {
        disable("out of memory while capturing");
    }
    checkWriter();
}

std::uint32_t CaptureSession::storeBlob(const void* data, std::size_t size) {
    if (!active_) return kNoBlob;
    std::uint32_t id = kNoBlob;
    try {
        id = writer_.storeBlob(data, size);
    } catch (...) {
        disable("out of memory while capturing");
    }
    checkWriter();
    return active_ ? id : kNoBlob;
}

void CaptureSession::writeDeviceAnswer(const RecordBuilder& record) {
    if (!active_) return;
    if (!inHostCall_) return write(record);
    try {
        heldAnswers_.push_back(record);
    } catch (...) {
        disable("out of memory while capturing");
    }
}

void CaptureSession::endFrame() {
    if (!active_) return;
    try {
        writer_.flush();
    } catch (...) {
        disable("cannot write the capture file");
    }
    checkWriter();
}

std::uint32_t CaptureSession::rendererId(const Renderer* renderer) {
    try {
        RendererEntry& entry = renderers_[renderer];
        if (entry.id == 0) entry.id = nextRendererId_++;
        return entry.id;
    } catch (...) {
        disable("out of memory while capturing");
        return 0;
    }
}

void CaptureSession::forgetRenderer(const Renderer* renderer) {
    forgetTexturesOf(renderer);
    renderers_.erase(renderer);
}

RendererDevice* CaptureSession::listenTo(RendererDevice* hostDevice) {
    if (hostDevice == nullptr || !active_) return hostDevice;
    try {
        devices_.push_back(std::make_unique<RecordingDevice>(hostDevice, *this));
        return devices_.back().get();
    } catch (...) {
        disable("out of memory while capturing");
        return hostDevice;
    }
}

std::uint32_t CaptureSession::newTextureId(const Texture* texture, const Renderer* owner) {
    if (texture == nullptr) return kNullTexture;
    try {
        texturesByOwner_[owner].insert(texture);
        TextureEntry& entry = textures_[texture];
        if (entry.owner != nullptr && entry.owner != owner) {
            const auto previous = texturesByOwner_.find(entry.owner);
            if (previous != texturesByOwner_.end()) previous->second.erase(texture);
        }
        entry.id = nextTextureId_++;
        entry.owner = owner;
        entry.inMemory = texture->inMemory;
        return entry.id;
    } catch (...) {
        disable("out of memory while capturing");
        return kNullTexture;
    }
}

std::uint32_t CaptureSession::textureRef(const Texture* texture) const {
    if (texture == nullptr) return kNullTexture;
    const auto found = textures_.find(texture);
    return found == textures_.end() ? kForeignTexture : found->second.id;
}

void CaptureSession::forgetTexture(const Texture* texture, const Renderer* owner) {
    const auto found = textures_.find(texture);
    if (found == textures_.end() || found->second.owner != owner) return;
    textures_.erase(found);
    const auto owned = texturesByOwner_.find(owner);
    if (owned != texturesByOwner_.end()) owned->second.erase(texture);
}

void CaptureSession::forgetTexturesOf(const Renderer* owner) {
    const auto owned = texturesByOwner_.find(owner);
    if (owned == texturesByOwner_.end()) return;
    for (const Texture* texture : owned->second) {
        const auto found = textures_.find(texture);
        if (found != textures_.end() && found->second.owner == owner) textures_.erase(found);
    }
    texturesByOwner_.erase(owned);
}

void CaptureSession::noteInMemoryFlag(const Texture* texture) {
    const auto found = textures_.find(texture);
    if (found == textures_.end() || found->second.inMemory == texture->inMemory) return;
    found->second.inMemory = texture->inMemory;
    RecordBuilder record(RecordKind::TextureFlags);
    record.u32(found->second.id).flag(texture->inMemory);
    write(record);
}

void CaptureSession::noteInMemoryFlagsOf(const Renderer* owner) {
    const auto owned = texturesByOwner_.find(owner);
    if (owned == texturesByOwner_.end()) return;
    for (const Texture* texture : owned->second) noteInMemoryFlag(texture);
}

void CaptureSession::noteSourceFile(const Texture* texture, std::uint32_t blob) {
    const auto found = textures_.find(texture);
    if (found != textures_.end()) found->second.fileBlob = blob;
}

void CaptureSession::recordRebuildSources(const Renderer* owner, bool onlyWithoutSurface) {
    if (!active_) return;
    for (auto& entry : textures_) {
        if (entry.second.owner != owner) continue;
        // Every texture the capture names was made by the module's createTexture.
        const auto* texture = static_cast<const CDD7Texture*>(entry.first);
        if (!std::holds_alternative<rebuild::FromFile>(texture->rebuildSource())) continue;
        if (onlyWithoutSurface && texture->surface() != nullptr) continue;
        const std::uint32_t blob = storeSourceFile(*this, texture->loadedFileName().c_str(),
                                                   texture->loadedDirectory().c_str());
        if (!active_) return;
        if (blob == entry.second.fileBlob) continue;
        entry.second.fileBlob = blob;
        try {
            RecordBuilder record(RecordKind::SourceFile);
            record.u32(entry.second.id).u32(blob);
            write(record);
        } catch (...) {
            disable("out of memory while capturing");
        }
    }
}

void CaptureSession::setTarget(const Renderer* renderer, IDirectDrawSurface7* target) {
    try {
        RendererEntry& entry = renderers_[renderer];
        entry.target = target;
        entry.picture.forget();
        entry.contentsDue = true;
    } catch (...) {
        disable("out of memory while capturing");
    }
}

void CaptureSession::recordTargetContents(const Renderer* renderer) {
    const auto found = renderers_.find(renderer);
    if (!active_ || !keepTargets_ || found == renderers_.end() || found->second.target == nullptr) return;
    RendererEntry& entry = found->second;
    try {
        TargetRows rows;
        bool read = false;
        {
            const SurfaceLock lock(entry.target, nullptr, LockRequest::WithPixelFormat);
            read = lock.locked() && rows.describe(lock.desc());
            if (read && !entry.picture.sameAs(rows)) entry.picture.keep(rows);
        }
        if (read && entry.picture.blob == kNoBlob)
            entry.picture.blob = storeBlob(entry.picture.bytes().data(), entry.picture.bytes().size());
        const std::uint32_t blob = read ? entry.picture.blob : kNoBlob;
        RecordBuilder record(RecordKind::TargetContents);
        record.u32(entry.id).u32(blob).u32(rows.width).u32(static_cast<std::uint32_t>(rows.height));
        record.u32(blob == kNoBlob ? 0 : static_cast<std::uint32_t>(rows.rowBytes));
        write(record);
        entry.contentsDue = false;
    } catch (...) {
        disable("out of memory while capturing");
    }
}

void CaptureSession::markTargetDrawn(const Renderer* renderer) {
    const auto found = renderers_.find(renderer);
    if (found != renderers_.end()) found->second.contentsDue = true;
}

bool CaptureSession::targetContentsDue(const Renderer* renderer) const {
    const auto found = renderers_.find(renderer);
    return found != renderers_.end() && found->second.contentsDue;
}

namespace {

// Read once when the module is loaded: DD7R_CAPTURE names the file to write;
// DD7R_CAPTURE_TARGETS=0 leaves out the pictures under the overlay.
struct CaptureAtLoad {
    std::unique_ptr<CaptureSession> session;
    CaptureAtLoad() {
        try {
            const char* path = std::getenv("DD7R_CAPTURE");
            if (path == nullptr || path[0] == '\0') return;
            session = std::make_unique<CaptureSession>(path);
            // Keeping the picture under the overlay costs a full read of the target per frame.
            const char* targets = std::getenv("DD7R_CAPTURE_TARGETS");
            session->keepTargetPictures(targets == nullptr || std::strcmp(targets, "0") != 0);
            setHostLevelSession(session.get());
        } catch (...) {
            setHostLevelSession(nullptr);
        }
    }
    ~CaptureAtLoad() { setHostLevelSession(nullptr); }
};

CaptureAtLoad captureAtLoad;

}  // namespace

}  // namespace capture
}  // namespace ZelUISystem
