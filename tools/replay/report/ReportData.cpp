#include "report/ReportData.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "core/ObservedModule.h"
#include "interface/Texture.h"
#include "platform/SurfaceLock.h"

namespace dd7rreplay {

namespace {

using ZelUISystem::QuadObservation;
using ZelUISystem::QuadPath;
using ZelUISystem::QuadSkip;

const char* pathName(QuadPath path) {
    switch (path) {
        case QuadPath::Skipped: return "skipped";
        case QuadPath::Copied: return "copied";
        case QuadPath::KeyedCopy: return "keyed copy";
        case QuadPath::Stretched: return "stretched";
        case QuadPath::KeyedStretched: return "stretched, keyed copy";
        case QuadPath::Tinted: return "tinted";
        case QuadPath::Blended: return "blended";
        case QuadPath::StretchedBlended: return "stretched, blended";
        case QuadPath::EightBitCopied: return "8-bit copy";
        case QuadPath::EightBitKeyed: return "8-bit keyed copy";
    }
    return "unknown";
}

const char* skipName(QuadSkip skip) {
    switch (skip) {
        case QuadSkip::None: return "";
        case QuadSkip::ClippedAway: return "clipped away (outside the display)";
        case QuadSkip::NoDestination: return "no target surface";
        case QuadSkip::NoTexture: return "no texture";
        case QuadSkip::NoSurface: return "the texture has no surface (rebuild failed)";
        case QuadSkip::LostSurface: return "lost surface (restore failed)";
        case QuadSkip::Transparent: return "transparent (mean alpha 0)";
        case QuadSkip::NoScratch: return "no scratch texture";
        case QuadSkip::StretchFailed: return "the stretch failed";
        case QuadSkip::EmptyRectangle: return "empty rectangle";
        case QuadSkip::LockFailed: return "a lock failed";
        case QuadSkip::OutsideSurface: return "outside the surfaces";
        case QuadSkip::LayoutMismatch: return "mismatched layout (texture and destination)";
    }
    return "unknown";
}

const char* modeName(std::uint32_t mode) {
    switch (mode) {
        case 0: return "555";
        case 1: return "565";
        case 2: return "16-bit (other masks)";
        case 3: return "24-bit";
        case 4: return "32-bit";
        case 6: return "8-bit";
        default: return "none";
    }
}

std::string hex(std::uint32_t value, int digits = 8) {
    char text[16];
    std::snprintf(text, sizeof(text), "0x%0*x", digits, value);
    return text;
}

std::string number(float value) {
    char text[32];
    std::snprintf(text, sizeof(text), "%g", static_cast<double>(value));
    return text;
}

std::string rectText(float left, float top, float right, float bottom) {
    return "(" + number(left) + ", " + number(top) + ") - (" + number(right) + ", " + number(bottom) + ")";
}

std::string rectText(const RECT& rect) {
    return "(" + std::to_string(rect.left) + ", " + std::to_string(rect.top) + ") - (" + std::to_string(rect.right) +
           ", " + std::to_string(rect.bottom) + ")";
}

std::string quoted(const std::optional<std::string>& text) { return text ? "'" + *text + "'" : "(null)"; }

std::string creationText(const CaptureCall& call) {
    switch (call.overload) {
        case TextureOverload::Empty: return "createTexture()";
        case TextureOverload::Sized: return "createTexture(size " + number(call.size) + ")";
        case TextureOverload::FileData: return "createTexture(file data, " + std::to_string(call.byteCount) + " bytes)";
        case TextureOverload::File: return "createTexture(file " + quoted(call.name) + ")";
    }
    return "createTexture";
}

// One line for a call that is not a quad.
std::string callLabel(const CaptureCall& call) {
    switch (call.kind) {
        case RecordKind::CreateRenderer: return "createRenderer -> renderer " + std::to_string(call.renderer);
        case RecordKind::DestroyRenderer: return "destroyRenderer " + std::to_string(call.renderer);
        case RecordKind::SetTargetSurface:
            return call.given ? "setTargetSurface " + std::to_string(call.width) + "x" + std::to_string(call.height) +
                                    " at " + std::to_string(call.pixelFormat.bitCount) + " bits"
                              : "setTargetSurface(null)";
        case RecordKind::TargetContents:
            return call.blob != 0 ? "target picture (what the host drew under the overlay)"
                                  : "target picture (not kept by the capture)";
        case RecordKind::RenderQueue: return "renderQueue";
        case RecordKind::DiscardQueue: return "discardQueue";
        case RecordKind::SetQueueing: return std::string("setQueueing(") + (call.flag ? "true" : "false") + ")";
        case RecordKind::CreateTexture:
            return creationText(call) + (call.texture != 0 ? " -> texture " + std::to_string(call.texture) : "");
        case RecordKind::ReleaseTexture: return "releaseTexture " + std::to_string(call.texture);
        case RecordKind::ReleaseAllTextures: return "releaseAllTextures";
        case RecordKind::PreReset: return "preD3DReset (device reset begins)";
        case RecordKind::PostReset: return "postD3DReset (surfaces rebuilt)";
        case RecordKind::TextureFlags:
            return "texture " + std::to_string(call.texture) + " in-memory flag " + (call.flag ? "set" : "cleared");
        case RecordKind::LoadFromFile:
            return "texture " + std::to_string(call.texture) + " loadFromFile " + quoted(call.name);
        case RecordKind::LoadFromFileData:
            return "texture " + std::to_string(call.texture) + " loadFromFileData, " + std::to_string(call.byteCount) +
                   " bytes";
        case RecordKind::LoadFromMemory:
            return "texture " + std::to_string(call.texture) + " loadFromMemory " + std::to_string(call.width) + "x" +
                   std::to_string(call.height) + " format " + std::to_string(call.format);
        case RecordKind::FillFromMemory:
            return "texture " + std::to_string(call.texture) + " fillFromMemory " + std::to_string(call.width) + "x" +
                   std::to_string(call.height) + " at (" + std::to_string(call.x) + ", " + std::to_string(call.y) + ")";
        case RecordKind::SourceFile:
            return "texture " + std::to_string(call.texture) +
                   (call.blob != 0 ? " file changed before a rebuild" : " file unreadable before a rebuild");
        case RecordKind::SubmitQuad: return "submitQuad";
        default: return recordKindName(call.kind);
    }
}

bool writesTextureOnReset(RecordKind kind) { return kind == RecordKind::PostReset; }

// The paths that end in a DirectDraw blit onto the destination (Blt or BltFast) rather than a
// kernel over a locked rectangle.
bool endsInABlit(QuadPath path) {
    switch (path) {
        case QuadPath::Copied:
        case QuadPath::KeyedCopy:
        case QuadPath::Stretched:
        case QuadPath::KeyedStretched:
        case QuadPath::Tinted:
        case QuadPath::EightBitCopied:
        case QuadPath::EightBitKeyed: return true;
        default: return false;
    }
}

bool surfaceSize(IDirectDrawSurface7* surface, long& width, long& height) {
    if (surface == nullptr) return false;
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    if (FAILED(surface->GetSurfaceDesc(&desc))) return false;
    width = static_cast<long>(desc.dwWidth);
    height = static_cast<long>(desc.dwHeight);
    return true;
}

bool fitsInside(const RECT& rect, long width, long height) {
    return rect.left >= 0 && rect.top >= 0 && rect.left < rect.right && rect.top < rect.bottom &&
           rect.right <= width && rect.bottom <= height;
}

// DirectDraw refuses a blit whose rectangles are empty or reach outside their surfaces (no
// clipper is attached to what the module draws on): the module goes on as if it had drawn, but
// nothing was. The reason, or "" when the blit was not refused for its rectangles.
std::string refusedBlit(const QuadObservation& quad) {
    if (!endsInABlit(quad.path)) return "";
    long width = 0;
    long height = 0;
    if (surfaceSize(quad.destination, width, height) && !fitsInside(quad.destRect, width, height))
        return "DirectDraw refused the blit (DDERR_INVALIDRECT): the destination " + rectText(quad.destRect) +
               " is not inside the " + std::to_string(width) + "x" + std::to_string(height) + " surface";
    if (surfaceSize(quad.textureSurface, width, height) && !fitsInside(quad.sourceRect, width, height))
        return "DirectDraw refused the blit (DDERR_INVALIDRECT): the source " + rectText(quad.sourceRect) +
               " is not inside the " + std::to_string(width) + "x" + std::to_string(height) + " texture";
    return "";
}

std::string layoutText(const DDPIXELFORMAT& format) {
    const PixelLayout layout{format.dwRGBBitCount / 8, format.dwRBitMask, format.dwGBitMask, format.dwBBitMask};
    if (layout.bytes == 2) return layout.green == 0x07E0 ? "565" : layout.green == 0x03E0 ? "555" : "16-bit";
    return std::to_string(format.dwRGBBitCount) + "-bit";
}

// A blit between surfaces of different layouts. DirectDraw carries only a few pairs across (565
// to 32-bit, and between the 32-bit ones, which differ only in alpha); for any other pair the
// blit succeeds and writes nothing, on Wine's DirectDraw as on the software one.
std::string crossLayoutBlit(const QuadObservation& quad) {
    if (!endsInABlit(quad.path) || quad.destination == nullptr || quad.textureSurface == nullptr) return "";
    DDSURFACEDESC2 dest{};
    DDSURFACEDESC2 source{};
    dest.dwSize = source.dwSize = sizeof(DDSURFACEDESC2);
    if (FAILED(quad.destination->GetSurfaceDesc(&dest)) || FAILED(quad.textureSurface->GetSurfaceDesc(&source))) return "";
    const DDPIXELFORMAT& d = dest.ddpfPixelFormat;
    const DDPIXELFORMAT& s = source.ddpfPixelFormat;
    if (d.dwRGBBitCount == s.dwRGBBitCount && d.dwRBitMask == s.dwRBitMask && d.dwGBitMask == s.dwGBitMask &&
        d.dwBBitMask == s.dwBBitMask)
        return "";
    const bool rgb565ToRgb32 = s.dwRGBBitCount == 16 && s.dwGBitMask == 0x07E0 && d.dwRGBBitCount == 32 &&
                               d.dwRBitMask == 0xFF0000 && d.dwGBitMask == 0x00FF00 && d.dwBBitMask == 0x0000FF &&
                               d.dwRGBAlphaBitMask == 0;
    if (rgb565ToRgb32) return "";
    return "layouts differ (texture " + layoutText(s) + ", destination " + layoutText(d) +
           "): DirectDraw accepts a blit between these layouts and writes nothing, so nothing is drawn here";
}

// What a drawn quad's pixels were made of, for the history's why.
QuadInputs inputsOf(const QuadObservation& quad, const std::string& kernel,
                    std::shared_ptr<const TexturePixels> texture) {
    QuadInputs in;
    const RECT& dest = quad.destRect;
    const RECT& source = quad.sourceRect;
    const long rects[2][4] = {{dest.left, dest.top, dest.right, dest.bottom},
                              {source.left, source.top, source.right, source.bottom}};
    for (int i = 0; i < 4; ++i) {
        in.dest[i] = static_cast<int>(rects[0][i]);
        in.source[i] = static_cast<int>(rects[1][i]);
    }
    in.colour[0] = quad.alpha;
    in.colour[1] = quad.red;
    in.colour[2] = quad.green;
    in.colour[3] = quad.blue;
    in.path = pathName(quad.path);
    in.kernel = kernel;
    in.texture = std::move(texture);
    return in;
}

bool sameFloats(const float* a, const float* b, int count) {
    for (int i = 0; i < count; ++i)
        if (a[i] != b[i]) return false;
    return true;
}

std::string microsecondsText(double microseconds) {
    char text[32];
    std::snprintf(text, sizeof(text), "%.1f us", microseconds);
    return text;
}

}  // namespace

Inspector::Inspector(const Replayer& replayer, unsigned first, unsigned last, FrameSink frames, TextureSink textures)
    : replayer_(replayer), first_(first), last_(last), frames_(std::move(frames)), textures_(std::move(textures)) {}

Inspector::~Inspector() {
    if (observerSlot_ != nullptr && *observerSlot_ == this) *observerSlot_ = nullptr;
}

bool Inspector::attach(const dd7rdemo::RendererModule& module, std::string& error) {
    observerSlot_ = dd7rdemo::quadObserverOf(module, error);
    if (observerSlot_ == nullptr) return false;
    *observerSlot_ = this;
    lastError_ = module.getLastErrorString;
    return true;
}

bool Inspector::readRect(IDirectDrawSurface7* surface, int left, int top, int right, int bottom,
                         std::vector<std::uint8_t>& into, PixelLayout& layout, int& width, int& height) {
    if (surface == nullptr) return false;
    const ZelUISystem::SurfaceLock lock(surface, nullptr, ZelUISystem::LockRequest::WithPixelFormat);
    if (!lock.locked()) return false;
    const DDSURFACEDESC2& desc = lock.desc();
    layout.bytes = desc.ddpfPixelFormat.dwRGBBitCount / 8;
    layout.red = desc.ddpfPixelFormat.dwRBitMask;
    layout.green = desc.ddpfPixelFormat.dwGBitMask;
    layout.blue = desc.ddpfPixelFormat.dwBBitMask;
    if (layout.bytes < 2 || layout.bytes > 4 || desc.lpSurface == nullptr || desc.lPitch <= 0) return false;
    left = std::max(left, 0);
    top = std::max(top, 0);
    right = std::min(right, static_cast<int>(desc.dwWidth));
    bottom = std::min(bottom, static_cast<int>(desc.dwHeight));
    width = std::max(right - left, 0);
    height = std::max(bottom - top, 0);
    const auto* rows = static_cast<const std::uint8_t*>(desc.lpSurface);
    const std::size_t rowBytes = static_cast<std::size_t>(width) * layout.bytes;
    for (int y = top; y < bottom; ++y) {
        const std::uint8_t* row = rows + static_cast<std::size_t>(y) * static_cast<std::size_t>(desc.lPitch) +
                                  static_cast<std::size_t>(left) * layout.bytes;
        into.insert(into.end(), row, row + rowBytes);
    }
    return true;
}

void Inspector::takeBase() {
    IDirectDrawSurface7* target = replayer_.targetOf(currentRenderer_);
    std::vector<std::uint8_t> base;
    PixelLayout layout;
    int width = 0;
    int height = 0;
    if (!readRect(target, 0, 0, 1 << 20, 1 << 20, base, layout, width, height)) return;
    frame_.base = std::move(base);
    frame_.layout = layout;
    frame_.width = static_cast<unsigned>(width);
    frame_.height = static_cast<unsigned>(height);
    frame_.renderer = currentRenderer_;
    state_ = frame_.base;
    baseTaken_ = true;
}

std::uint32_t Inspector::textureIdOf(const void* texture) const {
    const auto found = textureIds_.find(texture);
    return found == textureIds_.end() ? 0 : found->second;
}

void Inspector::noteTextureCall(const CaptureCall& call, bool threw) {
    auto changed = [&](const std::string& origin) {
        TextureNote& note = textureNotes_[call.texture];
        note.id = call.texture;
        if (!origin.empty()) note.origin = origin;
        ++note.version;
    };
    switch (call.kind) {
        case RecordKind::CreateTexture: {
            if (threw || call.texture == 0) return;
            std::string origin = "empty";
            if (call.overload == TextureOverload::Sized) origin = "sized " + number(call.size);
            if (call.overload == TextureOverload::FileData) origin = "file data (" + std::to_string(call.byteCount) + " bytes)";
            if (call.overload == TextureOverload::File) origin = "file " + call.name.value_or("(null)");
            textureNotes_[call.texture] = TextureNote{call.texture, origin, 0, currentRenderer_, 0, 0};
            if (const ZelUISystem::Texture* made = replayer_.textureFor(call.texture)) textureIds_[made] = call.texture;
            return;
        }
        case RecordKind::LoadFromFile: return changed("file " + call.name.value_or("(null)"));
        case RecordKind::LoadFromFileData: return changed("file data (" + std::to_string(call.byteCount) + " bytes)");
        case RecordKind::LoadFromMemory:
            return changed("pixels " + std::to_string(call.width) + "x" + std::to_string(call.height) + " (format " +
                           std::to_string(call.format) + ")");
        case RecordKind::FillFromMemory:
        case RecordKind::SourceFile: return changed("");
        case RecordKind::ReleaseTexture:
            for (auto it = textureIds_.begin(); it != textureIds_.end(); ++it)
                if (it->second == call.texture) {
                    textureIds_.erase(it);
                    break;
                }
            return;
        default:
            if (writesTextureOnReset(call.kind))
                for (auto& note : textureNotes_) ++note.second.version;
            return;
    }
}

void Inspector::callStarting(const CaptureCall& call) {
    if (call.renderer != 0) currentRenderer_ = call.renderer;
    if (!keeping()) return;
    // The target as it stands before the module may draw on it in this call.
    if ((call.kind == RecordKind::RenderQueue || call.kind == RecordKind::SubmitQuad) && !baseTaken_) takeBase();
    if (call.kind == RecordKind::SubmitQuad) {
        Submission submission;
        submission.number = ++submitted_;
        submission.texture = call.texture;
        std::copy(call.destination, call.destination + 4, submission.destination);
        std::copy(call.source, call.source + 4, submission.source);
        submission.z = call.z;
        std::copy(call.colours, call.colours + 4, submission.colours);
        submissions_.push_back(submission);
    }
    if (call.kind == RecordKind::RenderQueue) {
        InspectEvent event;
        event.kind = "renderQueue";
        event.renderer = currentRenderer_;
        event.label = "renderQueue (the pass draws the queued quads)";
        frame_.events.push_back(std::move(event));
    }
    mark_ = std::chrono::steady_clock::now();
}

void Inspector::callFinished(const CaptureCall& call, bool threw, const std::string& text,
                             const CaptureCall* captured) {
    noteTextureCall(call, threw);
    if (call.kind == RecordKind::RenderQueue || call.kind == RecordKind::DiscardQueue) {
        submissions_.clear();
        submitted_ = 0;
    }
    if (!keeping()) return;
    if (call.kind == RecordKind::TargetContents) {
        if (!wrote_) {
            takeBase();
            addCallEvent(call, threw, text, captured);
            return;
        }
        // Drawn over already in this frame (a capture made before pictures were taken once per
        // frame): the picture is an event that writes the whole target.
        addCallEvent(call, threw, text, captured);
        InspectEvent& event = frame_.events.back();
        int width = 0;
        int height = 0;
        PixelLayout layout;
        const std::size_t offset = frame_.pixels.size();
        if (readRect(replayer_.targetOf(currentRenderer_), 0, 0, 1 << 20, 1 << 20, frame_.pixels, layout, width, height)) {
            event.hasPatch = true;
            event.patch = Patch{0, 0, width, height, offset, false};
            state_.assign(frame_.pixels.begin() + static_cast<std::ptrdiff_t>(offset), frame_.pixels.end());
        }
        return;
    }
    if ((call.kind == RecordKind::SubmitQuad || call.kind == RecordKind::RenderQueue) && !threw && captured == nullptr)
        return;
    addCallEvent(call, threw, text, captured);
}

void Inspector::addCallEvent(const CaptureCall& call, bool threw, const std::string& text, const CaptureCall* captured) {
    InspectEvent event;
    event.kind = recordKindName(call.kind);
    // The text the user's module threw; the replay's may name other folders.
    const std::string capturedText = captured == nullptr ? "" : captured->flag ? captured->text : "(not a standard exception)";
    event.label = callLabel(call);
    event.renderer = call.renderer;
    if (call.renderer == 0 && call.texture != 0) {
        const auto note = textureNotes_.find(call.texture);
        if (note != textureNotes_.end()) event.renderer = note->second.renderer;
    }
    if (call.kind == RecordKind::CreateRenderer && call.renderer == 0 && captured == nullptr) {
        // createRenderer fails by returning null: its text is the module's last error, here the
        // replay's (the capture keeps none).
        const char* error = lastError_ != nullptr ? lastError_() : nullptr;
        const std::string reason = error != nullptr && *error != '\0' ? error : "(no error text)";
        event.label = "createRenderer FAILED: " + reason;
        event.failed = true;
        event.thrown = reason;
        event.details.push_back({"failed", "returned no renderer: " + reason});
    }
    if (captured != nullptr) event.label += " FAILED: " + capturedText;
    if (captured == nullptr && threw) event.label += " FAILED in the replay only: " + text;
    if (captured != nullptr && !threw) event.label += " (did not fail in the replay)";
    event.failed = event.failed || threw || captured != nullptr;
    if (event.thrown.empty()) event.thrown = captured != nullptr ? capturedText : text;
    if (call.kind == RecordKind::CreateTexture || call.texture != 0) event.texture = call.texture;
    event.details.push_back({"call", recordKindName(call.kind)});
    event.details.push_back({"capture offset", std::to_string(call.offset)});
    if (!divergence_.empty()) {
        event.label += " DIVERGED";
        event.warning = "diverged: " + divergence_;
        event.details.push_back({"diverged", divergence_});
        divergence_.clear();
    }
    if (captured != nullptr) event.details.push_back({"threw when captured", capturedText});
    if (threw) event.details.push_back({"threw in the replay", text});
    frame_.events.push_back(std::move(event));
}

void Inspector::diverged(const ReplayDivergence& divergence) {
    divergence_ += (divergence_.empty() ? "" : "; ") + divergence.what;
}

void Inspector::quadDrawn(const QuadObservation& observation) noexcept {
    try {
        if (keeping()) addQuadEvent(observation);
    } catch (...) {
        // A quad the inspector could not note (out of memory) is left out of the report.
    }
    mark_ = std::chrono::steady_clock::now();
}

// The host's number for the quad in its pass: the first submission not yet drawn that matches
// it (the queue draws in z order, not in the order quads came).
int Inspector::submissionOf(const QuadObservation& quad, std::uint32_t textureId) {
    const float destination[4] = {quad.hostDestRect.left, quad.hostDestRect.top, quad.hostDestRect.right,
                                  quad.hostDestRect.bottom};
    const float source[4] = {quad.hostSourceRect.left, quad.hostSourceRect.top, quad.hostSourceRect.right,
                             quad.hostSourceRect.bottom};
    for (auto it = submissions_.begin(); it != submissions_.end(); ++it) {
        if (textureId != 0 && it->texture != textureId) continue;
        if (it->z != quad.z || !sameFloats(it->destination, destination, 4) || !sameFloats(it->source, source, 4) ||
            !std::equal(it->colours, it->colours + 4, quad.corners.colour))
            continue;
        const int number = it->number;
        submissions_.erase(it);
        return number;
    }
    return -1;
}

// The texture's pixels as they are now, read once per version of its picture.
std::shared_ptr<const TexturePixels> Inspector::pixelsOf(std::uint32_t id, IDirectDrawSurface7* surface) {
    const unsigned version = textureNotes_[id].version;
    auto& kept = texturePixels_[id];
    if (kept && kept->version == version) return kept;
    auto pixels = std::make_shared<TexturePixels>();
    pixels->id = id;
    pixels->version = version;
    if (!readRect(surface, 0, 0, 1 << 20, 1 << 20, pixels->bytes, pixels->layout, pixels->width, pixels->height))
        return nullptr;
    kept = std::move(pixels);
    return kept;
}

void Inspector::addQuadEvent(const QuadObservation& quad) {
    const double microseconds =
        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - mark_).count();
    IDirectDrawSurface7* target = replayer_.targetOf(currentRenderer_);
    const bool onTarget = quad.destination == target;
    const std::uint32_t textureId = textureIdOf(quad.texture);
    InspectEvent event;
    event.kind = "quad";
    event.renderer = currentRenderer_;
    event.drawing = ++quadNumber_;
    event.submission = submissionOf(quad, textureId);
    event.microseconds = microseconds;
    const std::string refused = refusedBlit(quad);
    event.skipped = quad.path == QuadPath::Skipped || !refused.empty();
    std::string how = pathName(quad.path);
    if (quad.path == QuadPath::Skipped) how += std::string(" (") + skipName(quad.skip) + ")";
    if (!refused.empty()) how = "skipped (" + refused + "; the module took the " + how + " path)";
    const bool blended = quad.path == QuadPath::Blended || quad.path == QuadPath::StretchedBlended;
    const std::string kernelKind = quad.whiteKernel ? "white" : "coloured";
    const std::string kernel = blended ? kernelKind + " " + modeName(quad.kernelMode) : std::string();
    if (blended) how += ", " + kernelKind + " kernel " + modeName(quad.kernelMode);
    if (!event.skipped) event.warning = crossLayoutBlit(quad);
    event.label = "quad " + std::to_string(event.drawing) +
                  (event.submission > 0 ? " (submitted " + std::to_string(event.submission) + ")" : "") + ": " + how +
                  ", texture " + std::to_string(textureId) + (onTarget ? "" : ", on the composition surface") +
                  (event.warning.empty() ? "" : ", FLAGGED: " + event.warning.substr(0, event.warning.find(':')));
    event.texture = textureId;
    event.hasRect = true;
    event.rect[0] = quad.destRect.left;
    event.rect[1] = quad.destRect.top;
    event.rect[2] = quad.destRect.right;
    event.rect[3] = quad.destRect.bottom;

    auto& d = event.details;
    d.push_back({"path", pathName(quad.path)});
    if (quad.path == QuadPath::Skipped) d.push_back({"skipped because", skipName(quad.skip)});
    if (!refused.empty()) d.push_back({"skipped because", refused});
    if (!event.warning.empty()) d.push_back({"flagged", event.warning});
    if (!kernel.empty())
        d.push_back({"blend kernel", std::string(quad.whiteKernel ? "white quads (half or alpha, by blend mode)"
                                                                  : "colour-modulated") +
                                         ", layout " + modeName(quad.kernelMode)});
    if (quad.tintFellBack) d.push_back({"tint", "could not be drawn: copied untinted"});
    d.push_back({"drawn on", onTarget ? "the target" : "the composition surface"});
    d.push_back({"order", "drawn " + std::to_string(event.drawing) + " of the frame (z order), submitted " +
                              (event.submission > 0 ? std::to_string(event.submission) : std::string("(unknown)")) +
                              " of the host's pass"});
    d.push_back({"cost in the replay", microsecondsText(microseconds)});
    d.push_back({"z", number(quad.z)});
    d.push_back({"destination", rectText(quad.hostDestRect.left, quad.hostDestRect.top, quad.hostDestRect.right,
                                         quad.hostDestRect.bottom)});
    d.push_back({"destination as drawn", rectText(quad.destRect)});
    d.push_back({"source", rectText(quad.hostSourceRect.left, quad.hostSourceRect.top, quad.hostSourceRect.right,
                                    quad.hostSourceRect.bottom)});
    d.push_back({"corner colours", hex(quad.corners.colour[0]) + " " + hex(quad.corners.colour[1]) + " " +
                                       hex(quad.corners.colour[2]) + " " + hex(quad.corners.colour[3])});
    d.push_back({"average colour (a r g b)", std::to_string(quad.alpha) + " " + std::to_string(quad.red) + " " +
                                                 std::to_string(quad.green) + " " + std::to_string(quad.blue)});
    if (textureId != 0) {
        noteQuadTexture(event, quad, textureId);
    } else if (quad.texture != nullptr) {
        d.push_back({"texture", "a pointer the capture did not see made"});
    }
    if (!event.skipped) {
        event.hasInputs = true;
        event.inputs = inputsOf(quad, kernel, std::move(event.inputs.texture));
        takeQuadPixels(event, quad, onTarget);
    }
    frame_.events.push_back(std::move(event));
}

// The texture a quad drew, as the event names it: its size, mode, origin, picture and pixels.
void Inspector::noteQuadTexture(InspectEvent& event, const QuadObservation& quad, std::uint32_t textureId) {
    TextureNote& note = textureNotes_[textureId];
    note.id = textureId;
    if (const ZelUISystem::Texture* texture = replayer_.textureFor(textureId)) {
        note.width = texture->getWidth();
        note.height = texture->getHeight();
    }
    event.details.push_back({"texture", std::to_string(textureId) + ", " + std::to_string(note.width) + "x" +
                                            std::to_string(note.height) + ", RGB mode " + modeName(quad.textureMode) +
                                            (quad.textureHasAlpha ? ", colour-keyed alpha" : "") +
                                            (quad.textureInMemory ? ", in memory" : "")});
    event.details.push_back({"texture from", note.origin.empty() ? "unknown" : note.origin});
    const auto key = std::make_pair(textureId, note.version);
    auto image = textureImages_.find(key);
    if (image == textureImages_.end() && quad.textureSurface != nullptr && textures_)
        image = textureImages_.emplace(key, textures_(note, quad.textureSurface)).first;
    if (image != textureImages_.end()) event.textureImage = image->second;
    // Read even when the quad was skipped: the texture viewer shows it.
    if (quad.textureSurface != nullptr) event.inputs.texture = pixelsOf(textureId, quad.textureSurface);
}

// The rectangle a drawn quad wrote, as it stands after it; the target's state follows it.
void Inspector::takeQuadPixels(InspectEvent& event, const QuadObservation& quad, bool onTarget) {
    int width = 0;
    int height = 0;
    PixelLayout layout;
    const std::size_t offset = frame_.pixels.size();
    const int left = std::max<int>(quad.destRect.left, 0);
    const int top = std::max<int>(quad.destRect.top, 0);
    if (!readRect(quad.destination, left, top, quad.destRect.right, quad.destRect.bottom, frame_.pixels, layout, width,
                  height) ||
        width <= 0 || height <= 0)
        return;
    event.hasPatch = true;
    event.patch = Patch{left, top, left + width, top + height, offset, !onTarget};
    if (left != quad.destRect.left || top != quad.destRect.top || left + width != quad.destRect.right ||
        top + height != quad.destRect.bottom)
        event.details.push_back({"clipped to", rectText(RECT{left, top, left + width, top + height})});
    if (!onTarget) frame_.compositionLayout = layout;
    // (A target replaced by another size since the frame began is not tracked.)
    if (onTarget && baseTaken_ && layout.bytes == frame_.layout.bytes &&
        static_cast<unsigned>(left + width) <= frame_.width && static_cast<unsigned>(top + height) <= frame_.height) {
        const std::size_t rowBytes = static_cast<std::size_t>(width) * layout.bytes;
        for (int y = 0; y < height; ++y)
            std::memcpy(state_.data() + (static_cast<std::size_t>(top + y) * frame_.width + left) * layout.bytes,
                        frame_.pixels.data() + offset + static_cast<std::size_t>(y) * rowBytes, rowBytes);
        wrote_ = true;
    }
}

// A frame lists its own renderer's calls; another renderer's since the previous frame are named
// apart. Their pixels stay where they are: patches are found by offset, not by position.
void Inspector::keepOwnRenderersEvents(std::uint32_t renderer) {
    std::vector<InspectEvent> own;
    own.reserve(frame_.events.size());
    for (InspectEvent& event : frame_.events) {
        if (event.renderer == 0 || event.renderer == renderer)
            own.push_back(std::move(event));
        else
            frame_.otherRenderers.push_back("renderer " + std::to_string(event.renderer) + ": " + event.label);
    }
    frame_.events = std::move(own);
}

// Every texture alive as the frame is presented, with its picture when a quad has drawn it.
void Inspector::noteLiveTextures() {
    for (const auto& entry : textureNotes_) {
        const TextureNote& note = entry.second;
        const ZelUISystem::Texture* texture = replayer_.textureFor(note.id);
        if (texture == nullptr || (note.renderer != 0 && note.renderer != frame_.renderer)) continue;
        LiveTexture live;
        live.id = note.id;
        live.origin = note.origin.empty() ? "unknown" : note.origin;
        live.width = texture->getWidth();
        live.height = texture->getHeight();
        const auto pixels = texturePixels_.find(note.id);
        if (pixels != texturePixels_.end() && pixels->second && pixels->second->version == note.version)
            live.pixels = pixels->second;
        frame_.textures.push_back(std::move(live));
    }
}

void Inspector::frameDrawn(const ReplayFrame& drawn) {
    if (keeping()) {
        if (!baseTaken_) takeBase();
        // What reached the target other than through drawQuad: the composition surface's copy
        // at the end of a pass (blend mode 0).
        std::vector<std::uint8_t> final;
        PixelLayout layout;
        int width = 0;
        int height = 0;
        if (baseTaken_ && readRect(replayer_.targetOf(frame_.renderer), 0, 0, 1 << 20, 1 << 20, final, layout, width, height) &&
            final.size() == state_.size()) {
            int left = width, top = height, right = 0, bottom = 0;
            const unsigned bytes = layout.bytes;
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x) {
                    const std::size_t at = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + x) * bytes;
                    if (std::memcmp(final.data() + at, state_.data() + at, bytes) == 0) continue;
                    left = std::min(left, x);
                    top = std::min(top, y);
                    right = std::max(right, x + 1);
                    bottom = std::max(bottom, y + 1);
                }
            if (right > left) {
                InspectEvent event;
                event.kind = "present";
                event.label = "composition surface copied to the target (keyed)";
                event.details.push_back({"changed", rectText(RECT{left, top, right, bottom})});
                event.hasRect = true;
                event.rect[0] = left;
                event.rect[1] = top;
                event.rect[2] = right;
                event.rect[3] = bottom;
                event.hasPatch = true;
                event.patch = Patch{left, top, right, bottom, frame_.pixels.size(), false};
                for (int y = top; y < bottom; ++y) {
                    const std::uint8_t* row = final.data() + (static_cast<std::size_t>(y) * width + left) * bytes;
                    frame_.pixels.insert(frame_.pixels.end(), row, row + static_cast<std::size_t>(right - left) * bytes);
                }
                frame_.events.push_back(std::move(event));
            }
        }
        frame_.index = drawn.index;
        frame_.renderer = drawn.renderer;
        keepOwnRenderersEvents(drawn.renderer);
        noteLiveTextures();
        if (frames_) frames_(frame_, drawn);
    }
    frame_ = InspectFrame{};
    state_.clear();
    baseTaken_ = false;
    wrote_ = false;
    quadNumber_ = 0;
    frameIndex_ = drawn.index + 1;
}

}  // namespace dd7rreplay
