#include "replay/Replayer.h"

#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>

#include "image/SurfaceCapture.h"
#include "interface/Renderer.h"
#include "platform/SurfaceLock.h"
#include "interface/Texture.h"

namespace dd7rreplay {

namespace fs = std::filesystem;
namespace capture = ZelUISystem::capture;
using ZelUISystem::CornerColours;
using ZelUISystem::FloatRect;
using ZelUISystem::Renderer;
using ZelUISystem::Texture;
using ZelUISystem::TextureFormat;

namespace {

using Clock = std::chrono::steady_clock;

// Stands for a pointer the captured host passed that was no texture of the module: the module
// compares such pointers with its own and never follows them.
alignas(16) unsigned char foreignTextureStandIn[64];

FloatRect rectOf(const float (&values)[4]) { return FloatRect{values[0], values[1], values[2], values[3]}; }

// Records that belong to the call before them rather than being calls of their own.
bool isAnswer(RecordKind kind) {
    return kind == RecordKind::DeviceAnswer || kind == RecordKind::DeviceThrew || kind == RecordKind::SurfaceAnswer ||
           kind == RecordKind::LoggerThrew;
}

bool isAnswerOrThrow(RecordKind kind) { return isAnswer(kind) || kind == RecordKind::Threw; }

std::string hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof(text), "0x%X", value);
    return text;
}

std::string layoutText(const PixelFormatFields& format) {
    if ((format.flags & DDPF_PALETTEINDEXED8) != 0) return "8-bit palettized";
    std::string text = std::to_string(format.bitCount) + "-bit R " + hex(format.red) + " G " + hex(format.green) +
                       " B " + hex(format.blue);
    if ((format.flags & DDPF_ALPHAPIXELS) != 0) text += " A " + hex(format.alpha);
    return text;
}

bool sameLayout(const PixelFormatFields& a, const PixelFormatFields& b) {
    const std::uint32_t kinds = DDPF_RGB | DDPF_PALETTEINDEXED8 | DDPF_ALPHAPIXELS;
    return (a.flags & kinds) == (b.flags & kinds) && a.bitCount == b.bitCount && a.red == b.red &&
           a.green == b.green && a.blue == b.blue && ((a.flags & DDPF_ALPHAPIXELS) == 0 || a.alpha == b.alpha);
}

std::string answerText(std::uint32_t result, const PixelFormatFields& made) {
    if (FAILED(static_cast<HRESULT>(result))) return "refused it (" + hex(result) + ")";
    return "made it " + layoutText(made);
}

PixelFormatFields fieldsOf(const DDPIXELFORMAT& format) {
    PixelFormatFields fields;
    fields.flags = format.dwFlags;
    fields.bitCount = format.dwRGBBitCount;
    fields.red = format.dwRBitMask;
    fields.green = format.dwGBitMask;
    fields.blue = format.dwBBitMask;
    fields.alpha = format.dwRGBAlphaBitMask;
    return fields;
}

// Asks `directDraw` for the surface the recorded request asked for; how its answer differs from
// the recorded one, or empty when it does not.
std::string surfaceAnswerDifference(IDirectDraw7* directDraw, const CaptureCall& asked) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = asked.surfaceFlags;
    desc.dwWidth = asked.width;
    desc.dwHeight = asked.height;
    desc.ddsCaps.dwCaps = asked.caps;
    desc.ddpfPixelFormat.dwSize = sizeof(desc.ddpfPixelFormat);
    desc.ddpfPixelFormat.dwFlags = asked.pixelFormat.flags;
    desc.ddpfPixelFormat.dwRGBBitCount = asked.pixelFormat.bitCount;
    desc.ddpfPixelFormat.dwRBitMask = asked.pixelFormat.red;
    desc.ddpfPixelFormat.dwGBitMask = asked.pixelFormat.green;
    desc.ddpfPixelFormat.dwBBitMask = asked.pixelFormat.blue;
    desc.ddpfPixelFormat.dwRGBAlphaBitMask = asked.pixelFormat.alpha;
    IDirectDrawSurface7* surface = nullptr;
    const HRESULT result = directDraw->CreateSurface(&desc, &surface, nullptr);
    PixelFormatFields made;
    if (SUCCEEDED(result) && surface != nullptr) {
        DDSURFACEDESC2 madeDesc{};
        madeDesc.dwSize = sizeof(madeDesc);
        if (SUCCEEDED(surface->GetSurfaceDesc(&madeDesc))) made = fieldsOf(madeDesc.ddpfPixelFormat);
        surface->Release();
    }
    const bool capturedMade = SUCCEEDED(static_cast<HRESULT>(asked.result));
    const bool same = capturedMade ? SUCCEEDED(result) && sameLayout(made, asked.madeFormat)
                                   : static_cast<std::uint32_t>(result) == asked.result;
    if (same) return {};
    std::string request = std::to_string(asked.width) + "x" + std::to_string(asked.height) + " surface";
    if ((asked.surfaceFlags & DDSD_PIXELFORMAT) != 0) request += " of " + layoutText(asked.pixelFormat);
    return "asked for a " + request + ", the replay's DirectDraw " +
           answerText(static_cast<std::uint32_t>(result), made) + "; the captured one " +
           answerText(asked.result, asked.madeFormat);
}

bool isRendererCall(RecordKind kind) {
    switch (kind) {
        case RecordKind::SetTargetSurface:
        case RecordKind::TargetContents:
        case RecordKind::SubmitQuad:
        case RecordKind::RenderQueue:
        case RecordKind::DiscardQueue:
        case RecordKind::SetQueueing:
        case RecordKind::CreateTexture:
        case RecordKind::ReleaseTexture:
        case RecordKind::ReleaseAllTextures:
        case RecordKind::PreReset:
        case RecordKind::PostReset: return true;
        default: return false;
    }
}

// A file name from the capture, made safe to write below the replay's folder: no absolute
// paths, drive letters or parent steps.
std::string safeRelativeName(const std::string& name) {
    std::string safe = name;
    const bool escapes = safe.empty() || safe[0] == '/' || safe[0] == '\\' ||
                         safe.find(':') != std::string::npos || safe.find("..") != std::string::npos;
    if (escapes)
        for (char& c : safe)
            if (c == '/' || c == '\\' || c == ':') c = '_';
    if (safe.empty() || safe == "." ) safe = "unnamed";
    return safe;
}

}  // namespace

struct Replayer::RendererState {
    std::uint32_t id = 0;
    Renderer* renderer = nullptr;
    std::unique_ptr<ReplayDevice> device;
    IDirectDraw7* directDraw = nullptr;  // of the display the captured renderer was made on
    IDirectDrawSurface7* target = nullptr;  // what the renderer was given: ownTarget or null
    SurfacePtr ownTarget;
    PixelFormatFields targetFormat;
    std::uint32_t targetWidth = 0;
    std::uint32_t targetHeight = 0;
};

void Replayer::SurfaceReleaser::operator()(IDirectDrawSurface7* surface) const { surface->Release(); }

Replayer::Replayer(const CaptureFile& capture, const dd7rdemo::RendererModule& module, Displays& displays,
                   std::string workDirectory)
    : capture_(capture), module_(module), displays_(displays), workDirectory_(std::move(workDirectory)) {}

Replayer::~Replayer() {
    // Renderers the captured host never destroyed go before the surfaces they draw on.
    for (auto& entry : renderers_)
        if (entry.second->renderer != nullptr) module_.destroyRenderer(entry.second->renderer);
    renderers_.clear();
}

ReplayReport Replayer::run(unsigned lastFrame, const std::function<void(ReplayFrame&)>& onFrame) {
    onFrame_ = onFrame;
    lastFrame_ = lastFrame;
    for (std::size_t index = 0; index < capture_.recordCount() && !stopped_; ++index) {
        const CaptureCall call = capture_.call(index);
        if (isAnswerOrThrow(call.kind)) continue;
        gatherAnswers(index);
        ++report_.calls;
        bool threw = false;
        std::string text;
        if (listener_ != nullptr) listener_->callStarting(call);
        try {
            issue(index, call);
        } catch (const std::exception& error) {
            threw = true;
            text = error.what();
        } catch (...) {
            threw = true;
            text = "an exception outside the standard family";
        }
        CaptureCall captured;
        const bool threwWhenCaptured = capturedThrow(index, captured);
        compareSurfaceAnswers(call);
        // The replay runs without the logging library: a call that threw because it did is
        // accounted for, not a divergence.
        if (threwWhenCaptured && !threw && loggerThrew_)
            ++report_.loggerThrows;
        else if (threw != threwWhenCaptured)
            diverge(call, threw ? "threw in the replay: " + text : "did not throw in the replay, but did when captured");
        if (listener_ != nullptr) listener_->callFinished(call, threw, text, threwWhenCaptured ? &captured : nullptr);
    }
    return report_;
}

Texture* Replayer::textureFor(std::uint32_t id) const {
    const auto found = textures_.find(id);
    return found == textures_.end() ? nullptr : found->second;
}

IDirectDrawSurface7* Replayer::targetOf(std::uint32_t renderer) const {
    const auto found = renderers_.find(renderer);
    return found == renderers_.end() ? nullptr : found->second->target;
}

void Replayer::gatherAnswers(std::size_t index) {
    answers_.clearPending();
    surfaceAnswers_.clear();
    loggerThrew_ = false;
    for (std::size_t next = index + 1; next < capture_.recordCount(); ++next) {
        CaptureCall call = capture_.call(next);
        if (call.kind == RecordKind::SurfaceAnswer)
            surfaceAnswers_.push_back(std::move(call));
        else if (call.kind == RecordKind::LoggerThrew)
            loggerThrew_ = true;
        else if (call.kind == RecordKind::DeviceAnswer || call.kind == RecordKind::DeviceThrew)
            answers_.add(call);
        else if (call.kind != RecordKind::Threw)
            break;
    }
}

bool Replayer::capturedThrow(std::size_t index, CaptureCall& threw) const {
    for (std::size_t next = index + 1; next < capture_.recordCount(); ++next) {
        CaptureCall call = capture_.call(next);
        if (call.kind == RecordKind::Threw) {
            threw = std::move(call);
            return true;
        }
        if (!isAnswer(call.kind)) return false;
    }
    return false;
}

std::string ReplayDivergence::text() const {
    return "record at offset " + std::to_string(offset) + " (" + recordKindName(kind) + "): " + what;
}

void Replayer::diverge(const CaptureCall& call, const std::string& what) {
    ReplayDivergence divergence;
    divergence.call = report_.calls == 0 ? 0 : report_.calls - 1;
    divergence.offset = call.offset;
    divergence.kind = call.kind;
    divergence.what = what;
    report_.divergences.push_back(std::move(divergence));
    if (listener_ != nullptr) listener_->diverged(report_.divergences.back());
}

std::uint32_t Replayer::rendererOf(const CaptureCall& call) const {
    if (call.kind == RecordKind::CreateRenderer || call.kind == RecordKind::DestroyRenderer || isRendererCall(call.kind))
        return call.renderer;
    const auto owner = textureOwners_.find(call.texture);
    return owner == textureOwners_.end() ? 0 : owner->second;
}

IDirectDraw7* Replayer::directDrawOf(const CaptureCall& call) const {
    const auto found = renderers_.find(rendererOf(call));
    return found == renderers_.end() ? nullptr : found->second->directDraw;
}

void Replayer::compareSurfaceAnswers(const CaptureCall& call) {
    if (surfaceAnswers_.empty()) return;
    IDirectDraw7* directDraw = directDrawOf(call);
    if (directDraw == nullptr) return;
    for (const CaptureCall& asked : surfaceAnswers_) {
        const std::string difference = surfaceAnswerDifference(directDraw, asked);
        if (!difference.empty()) diverge(call, difference);
    }
}

void Replayer::issue(std::size_t, const CaptureCall& call) {
    if (call.kind == RecordKind::CreateRenderer) return createRenderer(call);
    if (call.kind == RecordKind::DestroyRenderer) return destroyRenderer(call);
    if (call.kind == RecordKind::SourceFile) return replaceSourceFile(call);
    if (isRendererCall(call.kind)) {
        const auto found = renderers_.find(call.renderer);
        if (found == renderers_.end()) {
            ++report_.skippedCalls;
            return;
        }
        return issueRendererCall(*found->second, call);
    }
    const auto found = textures_.find(call.texture);
    if (found == textures_.end() || found->second == nullptr) {
        ++report_.skippedCalls;
        return;
    }
    issueTextureCall(*found->second, call);
}

void Replayer::createRenderer(const CaptureCall& call) {
    auto state = std::make_unique<RendererState>();
    state->id = call.renderer;
    state->directDraw = displays_.forMode(answers_.pendingDisplayMode());
    if (call.given) state->device = std::make_unique<ReplayDevice>(answers_, state->directDraw);
    // The captured logging folder belongs to the captured machine: the replay logs nothing.
    state->renderer = module_.createRenderer(state->device.get(), call.reserved, call.flag, nullptr,
                                             call.loggerValueA, call.loggerValueB);
    const char* error = state->renderer == nullptr ? module_.getLastErrorString() : nullptr;
    if (state->renderer == nullptr && listener_ != nullptr) listener_->callFailed(call, error != nullptr ? error : "");
    if (call.renderer == 0) {
        if (state->renderer != nullptr) {
            // Without the logging library the replay cannot fail where it failed the capture.
            if (loggerThrew_)
                ++report_.loggerThrows;
            else
                diverge(call, "succeeded in the replay, but failed when captured");
            module_.destroyRenderer(state->renderer);
        }
        return;
    }
    if (state->renderer == nullptr) {
        diverge(call, std::string("failed in the replay: ") + (error != nullptr ? error : ""));
        return;
    }
    renderers_[call.renderer] = std::move(state);
}

void Replayer::destroyRenderer(const CaptureCall& call) {
    const auto found = renderers_.find(call.renderer);
    if (found == renderers_.end()) {
        module_.destroyRenderer(nullptr);
        return;
    }
    module_.destroyRenderer(found->second->renderer);
    forgetTexturesOf(call.renderer);
    renderers_.erase(found);
}

Texture* Replayer::texture(std::uint32_t ref) {
    if (ref == capture::kNullTexture) return nullptr;
    const auto found = textures_.find(ref);
    if (found == textures_.end() || found->second == nullptr)
        return reinterpret_cast<Texture*>(foreignTextureStandIn);
    return found->second;
}

void Replayer::forgetTexturesOf(std::uint32_t renderer) {
    for (auto it = textureOwners_.begin(); it != textureOwners_.end();) {
        if (it->second == renderer) {
            textures_.erase(it->first);
            it = textureOwners_.erase(it);
        } else {
            ++it;
        }
    }
}

const std::uint8_t* Replayer::bytesFor(const CaptureCall& call, std::uint64_t size) {
    if (!call.given) return nullptr;
    const BlobView blob = capture_.blob(call.blob);
    if (blob.data != nullptr) return blob.data;
    // Not kept (the captured call failed before its bytes were known good): zeros of the size
    // the call names, which the file check has bounded.
    // One buffer serves every call: the module copies what it keeps before the call returns.
    standIn_.assign(static_cast<std::size_t>(size == 0 ? 1 : size), std::uint8_t{0});
    return standIn_.data();
}

std::string Replayer::placeFile(std::uint32_t textureId, const CaptureCall& call, std::string& directory) {
    const std::string name = safeRelativeName(call.name.value_or(""));
    const BlobView blob = capture_.blob(call.blob);
    if (blob.data == nullptr) {
        // The captured host named a file that could not be read: so does the replay.
        directory = (fs::u8path(workDirectory_) / "files" / "missing").u8string() + "/";
        return name;
    }
    const fs::path folder = fs::u8path(workDirectory_) / "files" /
                            (std::to_string(++fileCounter_) + "-texture" + std::to_string(textureId));
    const fs::path file = folder / fs::u8path(name);
    std::error_code code;
    fs::create_directories(file.parent_path(), code);
    writeFile(file, blob);
    placedFiles_[textureId] = file.u8string();
    directory = folder.u8string() + "/";
    return name;
}

void Replayer::writeFile(const fs::path& file, const BlobView& blob) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(blob.data), static_cast<std::streamsize>(blob.size));
    if (!out) throw std::runtime_error("cannot write " + file.u8string());
}

// The captured texture's file changed (or went away) before the module rebuilt the texture from
// it: the replay's copy changes the same way, so that the replay's rebuild reads what the
// captured module read.
void Replayer::replaceSourceFile(const CaptureCall& call) {
    const auto placed = placedFiles_.find(call.texture);
    if (placed == placedFiles_.end()) {
        ++report_.skippedCalls;
        return;
    }
    const fs::path file = fs::u8path(placed->second);
    const BlobView blob = capture_.blob(call.blob);
    if (blob.data == nullptr) {
        std::error_code code;
        fs::remove(file, code);
        return;
    }
    writeFile(file, blob);
}

void Replayer::createTexture(RendererState& state, const CaptureCall& call) {
    Renderer& renderer = *state.renderer;
    Texture* made = nullptr;
    switch (call.overload) {
        case TextureOverload::Empty: made = renderer.createTexture(); break;
        case TextureOverload::Sized: made = renderer.createTexture(call.size); break;
        case TextureOverload::FileData:
            made = renderer.createTexture(bytesFor(call, call.byteCount), call.byteCount);
            break;
        case TextureOverload::File: {
            std::string directory;
            const std::string name = placeFile(call.texture, call, directory);
            made = renderer.createTexture(call.name ? name.c_str() : nullptr,
                                          call.directory ? directory.c_str() : nullptr);
            break;
        }
    }
    ++pending_.texturesCreated;
    if (call.texture == capture::kNullTexture) return;
    textures_[call.texture] = made;
    textureOwners_[call.texture] = state.id;
}

namespace {

bool sameFormat(const PixelFormatFields& a, const PixelFormatFields& b) {
    return a.bitCount == b.bitCount && a.red == b.red && a.green == b.green && a.blue == b.blue;
}

}  // namespace

void Replayer::setTarget(RendererState& state, const CaptureCall& call) {
    if (!call.given) {
        state.target = nullptr;
        state.renderer->setTargetSurface(nullptr);
        return;
    }
    // A host may hand over its target every frame: a surface of the same size and layout is
    // reused (its picture comes from the capture before each frame anyway).
    if (state.ownTarget && state.targetWidth == call.width && state.targetHeight == call.height &&
        sameFormat(state.targetFormat, call.pixelFormat)) {
        state.target = state.ownTarget.get();
        state.renderer->setTargetSurface(state.target);
        return;
    }
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwWidth = call.width;
    desc.dwHeight = call.height;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
    desc.ddpfPixelFormat.dwSize = sizeof(desc.ddpfPixelFormat);
    desc.ddpfPixelFormat.dwFlags = DDPF_RGB;
    desc.ddpfPixelFormat.dwRGBBitCount = call.pixelFormat.bitCount;
    desc.ddpfPixelFormat.dwRBitMask = call.pixelFormat.red;
    desc.ddpfPixelFormat.dwGBitMask = call.pixelFormat.green;
    desc.ddpfPixelFormat.dwBBitMask = call.pixelFormat.blue;
    IDirectDrawSurface7* surface = nullptr;
    state.renderer->setTargetSurface(nullptr);
    state.target = nullptr;
    state.ownTarget.reset();
    if (FAILED(state.directDraw->CreateSurface(&desc, &surface, nullptr)) || surface == nullptr) {
        diverge(call, "the replay cannot create a target surface of " + std::to_string(call.width) + "x" +
                          std::to_string(call.height) + " at " + std::to_string(call.pixelFormat.bitCount) +
                          " bits");
        return;
    }
    state.ownTarget.reset(surface);
    state.targetWidth = call.width;
    state.targetHeight = call.height;
    state.targetFormat = call.pixelFormat;
    state.target = surface;
    state.renderer->setTargetSurface(surface);
}

void Replayer::fillTarget(RendererState& state, const CaptureCall& call) {
    const BlobView blob = capture_.blob(call.blob);
    if (state.target == nullptr || blob.data == nullptr || call.pitch == 0) return;
    const ZelUISystem::SurfaceLock lock(state.target, nullptr, ZelUISystem::LockRequest::WithPixelFormat);
    if (!lock.locked()) return diverge(call, "the replay cannot lock its target surface");
    const DDSURFACEDESC2& desc = lock.desc();
    const std::uint64_t targetRow = std::uint64_t{desc.dwWidth} * (desc.ddpfPixelFormat.dwRGBBitCount / 8);
    if (targetRow != call.pitch || desc.dwHeight != call.height || desc.lPitch < 0)
        return diverge(call, "the recorded picture does not fit the replay's target surface");
    auto* rows = static_cast<std::uint8_t*>(desc.lpSurface);
    for (std::uint32_t row = 0; row < call.height; ++row)
        std::memcpy(rows + static_cast<std::size_t>(row) * static_cast<std::size_t>(desc.lPitch),
                    blob.data + static_cast<std::size_t>(row) * call.pitch, call.pitch);
}

void Replayer::renderFrame(RendererState& state) {
    const Clock::time_point start = Clock::now();
    state.renderer->renderQueue();
    pending_.milliseconds = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    pending_.renderer = state.id;
    pending_.index = report_.frames++;
    pending_.hasImage = false;
    if (state.target != nullptr) {
        std::string error;
        pending_.image = dd7rdemo::captureSurface(state.target, error);
        pending_.hasImage = !pending_.image.empty();
    }
    if (onFrame_) onFrame_(pending_);
    pending_ = ReplayFrame{};
    if (report_.frames > lastFrame_) stopped_ = true;
}

void Replayer::resetSurfaces() {
    displays_.loseAllSurfaces();
    for (const auto& entry : renderers_) {
        IDirectDrawSurface7* target = entry.second->ownTarget.get();
        if (target != nullptr && target->IsLost() == DDERR_SURFACELOST) target->Restore();
    }
}

void Replayer::issueRendererCall(RendererState& state, const CaptureCall& call) {
    Renderer& renderer = *state.renderer;
    switch (call.kind) {
        case RecordKind::SetTargetSurface: return setTarget(state, call);
        case RecordKind::TargetContents: return fillTarget(state, call);
        case RecordKind::SubmitQuad: {
            CornerColours colours{};
            for (unsigned i = 0; i < 4; ++i) colours.colour[i] = call.colours[i];
            ++pending_.quads;
            return renderer.submitQuad(rectOf(call.destination), call.z, texture(call.texture),
                                       rectOf(call.source), colours, call.trailing);
        }
        case RecordKind::RenderQueue: return renderFrame(state);
        case RecordKind::DiscardQueue: return renderer.discardQueue();
        case RecordKind::SetQueueing: return renderer.setQueueing(call.flag);
        case RecordKind::CreateTexture: return createTexture(state, call);
        case RecordKind::ReleaseTexture: {
            Texture* released = texture(call.texture);
            renderer.releaseTexture(released);
            ++pending_.texturesReleased;
            const auto owner = textureOwners_.find(call.texture);
            if (owner != textureOwners_.end() && owner->second == state.id) {
                textures_.erase(call.texture);
                textureOwners_.erase(owner);
            }
            return;
        }
        case RecordKind::ReleaseAllTextures:
            renderer.releaseAllTextures();
            return forgetTexturesOf(state.id);
        case RecordKind::PreReset:
            ++pending_.resets;
            return renderer.preD3DReset();
        case RecordKind::PostReset: {
            // Between the two notifications the captured host's display lost its surfaces.
            resetSurfaces();
            bool sizeChanged = false;
            return renderer.postD3DReset(call.given ? &sizeChanged : nullptr);
        }
        default: return;
    }
}

void Replayer::issueTextureCall(Texture& target, const CaptureCall& call) {
    const auto format = static_cast<TextureFormat>(call.format);
    switch (call.kind) {
        case RecordKind::TextureFlags: target.inMemory = call.flag; return;
        case RecordKind::LoadFromFile: {
            std::string directory;
            const std::string name = placeFile(call.texture, call, directory);
            return target.loadFromFile(call.name ? name.c_str() : nullptr,
                                       call.directory ? directory.c_str() : nullptr);
        }
        case RecordKind::LoadFromFileData:
            return target.loadFromFileData(bytesFor(call, call.byteCount), call.byteCount);
        case RecordKind::LoadFromMemory:
            return target.loadFromMemory(
                bytesFor(call, std::uint64_t{call.width} * call.height * bytesPerSourcePixel(call.format)),
                call.width, call.height, format);
        case RecordKind::FillFromMemory: {
            const std::uint64_t span = call.width == 0 || call.height == 0
                                           ? 0
                                           : std::uint64_t{call.height - 1} * call.pitch +
                                                 std::uint64_t{call.width} * bytesPerSourcePixel(call.format);
            return target.fillFromMemory(bytesFor(call, span), call.x, call.y, call.width, call.height,
                                         call.pitch, format);
        }
        default: return;
    }
}

}  // namespace dd7rreplay
