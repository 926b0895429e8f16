#pragma once
// Every way into the module (each Renderer and Texture slot in slot order, the three exports)
// and every way out of it into host or logging-library code, in one list. Each slot's prologue
// (diagnostics/SlotPrologue.h), the capture's table of recorders, renderer/README.md and
// texture/README.md are made from or checked against it.
//
// A slot row:  X(id, member, result, (parameters), file, raises, policy, reach, capture)
//   id          unique name (the createTexture overloads are told apart), also its recorder's
//   member      the C++ member a host calls
//   file        where its body lives (and its prologue, when it has one)
//   raises      what a host may receive from it: Nothing, HostOnly (only what the host's own
//               code threw, back to it), RuntimeError, Exception (each with the slot's text)
//   policy      what becomes of what host code threw inside it (HostExceptionPolicy): Convert
//               (the slot's own words, or its last-error text) or PassThrough (back unchanged)
//   reach       HostCode: the slot can run host or logging-library code; ModuleOnly: never
//   capture     Recorded: a capture records the host's call
// A slot needs the exception boundary when it raises anything or reaches host code: a host of
// another compiler can catch neither the module's exceptions nor a failure of its own that
// went through the module's frames unconverted.

#include <cstddef>
#include <cstdint>

#include "interface/ModuleExports.h"
#include "interface/Renderer.h"
#include "interface/Texture.h"
#include "platform/HostExceptions.h"

#define DD7R_RENDERER_SLOTS(X)                                                                       \
    X(submitQuad, submitQuad, void,                                                                  \
      (FloatRect, float, Texture*, FloatRect, CornerColours, std::int32_t), "renderer/RenderPass.cpp", \
      RuntimeError, PassThrough, HostCode, Recorded)                                                 \
    X(renderQueue, renderQueue, void, (), "renderer/RenderPass.cpp", RuntimeError, PassThrough,     \
      HostCode, Recorded)                                                                            \
    X(discardQueue, discardQueue, void, (), "renderer/RenderPass.cpp", Nothing, PassThrough,        \
      ModuleOnly, Recorded)                                                                          \
    X(setQueueing, setQueueing, void, (bool), "renderer/RenderPass.cpp", Nothing, PassThrough,      \
      ModuleOnly, Recorded)                                                                          \
    X(createSizedTexture, createTexture, Texture*, (float), "renderer/TextureRegistry.cpp",          \
      Exception, Convert, HostCode, Recorded)                                                        \
    X(createTextureFromFileData, createTexture, Texture*, (const std::uint8_t*, std::uint32_t),     \
      "renderer/TextureRegistry.cpp", Exception, Convert, HostCode, Recorded)                        \
    X(createTextureFromFile, createTexture, Texture*, (const char*, const char*),                   \
      "renderer/TextureRegistry.cpp", Exception, Convert, HostCode, Recorded)                        \
    X(createTexture, createTexture, Texture*, (), "renderer/TextureRegistry.cpp", Exception,        \
      Convert, ModuleOnly, Recorded)                                                                 \
    X(releaseTexture, releaseTexture, void, (Texture*), "renderer/TextureRegistry.cpp", Nothing,    \
      PassThrough, ModuleOnly, Recorded)                                                             \
    X(releaseAllTextures, releaseAllTextures, void, (), "renderer/TextureRegistry.cpp", HostOnly,   \
      PassThrough, HostCode, Recorded)                                                               \
    X(isQueueing, isQueueing, bool, (), "renderer/RenderPass.cpp", Nothing, PassThrough,            \
      ModuleOnly, NotRecorded)                                                                       \
    X(getDisplayWidth, getDisplayWidth, float, (), "renderer/CDD7Render.cpp", Nothing, PassThrough, \
      ModuleOnly, NotRecorded)                                                                       \
    X(getDisplayHeight, getDisplayHeight, float, (), "renderer/CDD7Render.cpp", Nothing,            \
      PassThrough, ModuleOnly, NotRecorded)                                                          \
    X(getDisplaySize, getDisplaySize, void, (float*, float*), "renderer/CDD7Render.cpp", Nothing,   \
      PassThrough, ModuleOnly, NotRecorded)                                                          \
    X(getDisplayRect, getDisplayRect, void, (float*, float*, float*, float*),                       \
      "renderer/CDD7Render.cpp", Nothing, PassThrough, ModuleOnly, NotRecorded)                      \
    X(getTextureSizeLimit, getTextureSizeLimit, std::uint32_t, (), "renderer/CDD7Render.cpp",       \
      Nothing, PassThrough, ModuleOnly, NotRecorded)                                                 \
    X(getHorzDpi, getHorzDpi, std::uint32_t, (), "renderer/CDD7Render.cpp", Nothing, PassThrough,   \
      ModuleOnly, NotRecorded)                                                                       \
    X(getVertDpi, getVertDpi, std::uint32_t, (), "renderer/CDD7Render.cpp", Nothing, PassThrough,   \
      ModuleOnly, NotRecorded)                                                                       \
    X(preD3DReset, preD3DReset, void, (), "renderer/CDD7Render.cpp", Nothing, PassThrough,          \
      ModuleOnly, Recorded)                                                                          \
    X(postD3DReset, postD3DReset, void, (bool*), "renderer/CDD7Render.cpp", RuntimeError,           \
      PassThrough, HostCode, Recorded)                                                               \
    X(reservedHookA, reservedHookA, void, (std::uint32_t, std::uint32_t), "renderer/CDD7Render.cpp", \
      Nothing, PassThrough, ModuleOnly, NotRecorded)                                                 \
    X(reservedHookB, reservedHookB, void, (std::uint32_t, std::uint32_t, std::uint32_t),            \
      "renderer/CDD7Render.cpp", Nothing, PassThrough, ModuleOnly, NotRecorded)                      \
    X(setTargetSurface, setTargetSurface, void, (IDirectDrawSurface7*), "renderer/CDD7Render.cpp",  \
      Nothing, PassThrough, ModuleOnly, Recorded)                                                    \
    X(reservedHookC, reservedHookC, void, (), "renderer/CDD7Render.cpp", Nothing, PassThrough,      \
      ModuleOnly, NotRecorded)                                                                       \
    X(reservedHookD, reservedHookD, void, (), "renderer/CDD7Render.cpp", Nothing, PassThrough,      \
      ModuleOnly, NotRecorded)                                                                       \
    X(destroyRendererObject, destroy, void*, (std::uint32_t), "renderer/CDD7Render.cpp", Nothing,   \
      PassThrough, ModuleOnly, NotRecorded)

#define DD7R_TEXTURE_SLOTS(X)                                                                        \
    X(getWidth, getWidth, std::uint32_t, (), "texture/CDD7Texture.cpp", Nothing, PassThrough,       \
      ModuleOnly, NotRecorded)                                                                       \
    X(getImageWidth, getImageWidth, std::uint32_t, (), "texture/CDD7Texture.cpp", Nothing,          \
      PassThrough, ModuleOnly, NotRecorded)                                                          \
    X(getHorzScale, getHorzScale, float, (), "interface/Texture.h", Nothing, PassThrough,           \
      ModuleOnly, NotRecorded)                                                                       \
    X(getHeight, getHeight, std::uint32_t, (), "texture/CDD7Texture.cpp", Nothing, PassThrough,     \
      ModuleOnly, NotRecorded)                                                                       \
    X(getImageHeight, getImageHeight, std::uint32_t, (), "texture/CDD7Texture.cpp", Nothing,        \
      PassThrough, ModuleOnly, NotRecorded)                                                          \
    X(getVertScale, getVertScale, float, (), "interface/Texture.h", Nothing, PassThrough,           \
      ModuleOnly, NotRecorded)                                                                       \
    X(loadFromFile, loadFromFile, void, (const char*, const char*), "texture/ImageLoading.cpp",     \
      RuntimeError, PassThrough, HostCode, Recorded)                                                 \
    X(loadFromFileData, loadFromFileData, void, (const std::uint8_t*, std::uint32_t),               \
      "texture/ImageLoading.cpp", RuntimeError, PassThrough, HostCode, Recorded)                     \
    X(loadFromMemory, loadFromMemory, void,                                                          \
      (const void*, std::uint32_t, std::uint32_t, TextureFormat), "texture/CDD7Texture.cpp",        \
      RuntimeError, PassThrough, HostCode, Recorded)                                                 \
    X(fillFromMemory, fillFromMemory, void,                                                          \
      (const void*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,      \
       TextureFormat),                                                                               \
      "texture/FillFromMemory.cpp", RuntimeError, PassThrough, HostCode, Recorded)                   \
    X(destroyTextureObject, destroy, void*, (std::uint32_t), "texture/CDD7Texture.cpp", Nothing,    \
      PassThrough, ModuleOnly, NotRecorded)

// createRenderer converts every failure, whatever its kind, into a null result and its
// last-error text: nothing leaves it.
#define DD7R_EXPORT_SLOTS(X)                                                                         \
    X(createRenderer, createRenderer, Renderer*,                                                     \
      (RendererDevice*, std::uint32_t, bool, const char*, std::uint32_t, std::uint32_t),             \
      "exports/Exports.cpp", Nothing, Convert, HostCode, Recorded)                                   \
    X(destroyRenderer, destroyRenderer, void, (Renderer*), "exports/Exports.cpp", RuntimeError,     \
      PassThrough, HostCode, Recorded)                                                               \
    X(getLastErrorString, getLastErrorString, const char*, (), "exports/Exports.cpp", Nothing,      \
      PassThrough, ModuleOnly, NotRecorded)

// The calls out of the module:  X(callee, name, call site as written in the sources).
// Every one runs through callHost (platform/HostExceptions.h); a callee's slot the module never
// calls has an empty call site. The reserved device slot is only passed on by the device a
// capture listens through (capture/RecordingDevice.h).
#define DD7R_HOST_CALLS(X)                                                       \
    X(RendererDevice, queryDirectDraw, "->queryDirectDraw(")                     \
    X(RendererDevice, reservedDeviceSlot, "host_->reservedDeviceSlot(")                                    \
    X(RendererDevice, queryDisplaySize, "->queryDisplaySize(")                   \
    X(RendererDevice, queryBlendMode, "->queryBlendMode(")                       \
    X(RendererDevice, querySurfaceMemory, "->querySurfaceMemory(")               \
    X(RendererDevice, queryTexturePixelFormat, "->queryTexturePixelFormat(")     \
    X(Logger, destroy, "logger->destroy(")                                       \
    X(Logger, reportFatal, "logger->reportFatal(")                               \
    X(Logger, reservedLoggerSlot, "")                                            \
    X(Logger, log, "logger->log(")                                               \
    X(LoggingLibrary, CreateOrvLogger, "lib.createOrvLogger(")                   \
    X(LoggingLibrary, UnRecoveryError, "unRecoveryError(")                       \
    X(LoggingLibrary, GetLogLevelFromIniFile, "lib.getLogLevelFromIniFile(")

namespace ZelUISystem {
namespace slots {

enum class Raises { Nothing, HostOnly, RuntimeError, Exception };
enum class Reach { ModuleOnly, HostCode };
enum class Capture { NotRecorded, Recorded };
enum class Group { Renderer, Texture, Export };

struct SlotRow {
    Group group;
    const char* id;
    const char* member;
    const char* parameters;  // as declared, in parentheses
    const char* file;
    Raises raises;
    HostExceptionPolicy policy;
    Reach reach;
    Capture capture;

    constexpr bool needsBoundary() const { return raises != Raises::Nothing || reach == Reach::HostCode; }
    constexpr bool needsPrologue() const { return needsBoundary() || capture == Capture::Recorded; }
    constexpr HostExceptionType boundaryType() const {
        return raises == Raises::Exception ? HostExceptionType::Exception : HostExceptionType::RuntimeError;
    }
};

struct HostCallRow {
    const char* callee;
    const char* name;
    const char* callSite;
};

#define DD7R_SLOT_ID(id, ...) id,
enum class SlotId : std::size_t {
    DD7R_RENDERER_SLOTS(DD7R_SLOT_ID) DD7R_TEXTURE_SLOTS(DD7R_SLOT_ID) DD7R_EXPORT_SLOTS(DD7R_SLOT_ID)
};
#undef DD7R_SLOT_ID

#define DD7R_SLOT_ROW(group, id, member, result, parameters, file, raises, policy, reach, capture) \
    SlotRow{Group::group, #id, #member, #parameters, file, Raises::raises, HostExceptionPolicy::policy,        \
            Reach::reach, Capture::capture},
#define DD7R_RENDERER_ROW(...) DD7R_SLOT_ROW(Renderer, __VA_ARGS__)
#define DD7R_TEXTURE_ROW(...) DD7R_SLOT_ROW(Texture, __VA_ARGS__)
#define DD7R_EXPORT_ROW(...) DD7R_SLOT_ROW(Export, __VA_ARGS__)
inline constexpr SlotRow kSlotRows[] = {DD7R_RENDERER_SLOTS(DD7R_RENDERER_ROW)
                                            DD7R_TEXTURE_SLOTS(DD7R_TEXTURE_ROW)
                                                DD7R_EXPORT_SLOTS(DD7R_EXPORT_ROW)};
#undef DD7R_RENDERER_ROW
#undef DD7R_TEXTURE_ROW
#undef DD7R_EXPORT_ROW
#undef DD7R_SLOT_ROW

#define DD7R_HOST_CALL_ROW(callee, name, callSite) HostCallRow{#callee, #name, callSite},
inline constexpr HostCallRow kHostCallRows[] = {DD7R_HOST_CALLS(DD7R_HOST_CALL_ROW)};
#undef DD7R_HOST_CALL_ROW

constexpr const SlotRow& slotRow(SlotId id) { return kSlotRows[static_cast<std::size_t>(id)]; }

// What the list says must agree with itself, in every build.
constexpr bool rowIsCoherent(const SlotRow& row) {
    // A slot that lets host failures through can give the host what its code threw.
    if (row.reach == Reach::HostCode && row.policy == HostExceptionPolicy::PassThrough &&
        row.raises == Raises::Nothing)
        return false;
    // A slot that never runs host code has nothing of the host's to let through.
    if (row.reach == Reach::ModuleOnly && row.raises == Raises::HostOnly) return false;
    return true;
}

constexpr bool everyRowIsCoherent() {
    for (const SlotRow& row : kSlotRows)
        if (!rowIsCoherent(row)) return false;
    return true;
}
static_assert(everyRowIsCoherent(), "a slot row contradicts itself (see rowIsCoherent)");

}  // namespace slots
}  // namespace ZelUISystem
