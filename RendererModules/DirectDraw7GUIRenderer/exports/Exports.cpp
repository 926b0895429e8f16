// The module's whole outside surface: three C functions. createRenderer is the one place where
// failures turn into a null result and the last-error text; nothing may escape it.

#include <exception>
#include <string>

#include "capture/CaptureHooks.h"
#include "exports/LastError.h"
#include "diagnostics/ModuleLogger.h"
#include "interface/ModuleExports.h"
#include "platform/HostExceptions.h"
#include "renderer/CDD7Render.h"

using namespace ZelUISystem;

namespace {

const char* const kErrorPrefixTail = " --> createRenderer() error : ";
const char* const kUnknownError = "Unknow error!";

std::string errorPrefix() { return std::string(kModuleTag) + kErrorPrefixTail; }

// A failure before the renderer exists: the logger may just have failed to come up, so the
// library's own error entry receives the whole text.
Renderer* failBinding(std::string text) {
    if (UnRecoveryErrorFn unRecoveryError = unRecoveryErrorEntry())
        callHost([&] { unRecoveryError(text.c_str()); });
    setLastErrorText(std::move(text));
    return nullptr;
}

// A failure of construction: the logger (or, without one, the library's error entry) receives
// `reported`, and the last-error text becomes `text`.
Renderer* failConstruction(std::string text, const char* reported) {
    if (Logger* logger = moduleLogger())
        callHost([&] { logger->reportFatal(reported, 1); });
    else if (UnRecoveryErrorFn unRecoveryError = unRecoveryErrorEntry())
        callHost([&] { unRecoveryError(reported); });
    setLastErrorText(std::move(text));
    return nullptr;
}

Renderer* createRendererOrThrow(RendererDevice* device, std::uint32_t reserved, bool hostFlag,
                                const char* loggerDirectory, std::uint32_t loggerValueA,
                                std::uint32_t loggerValueB) {
    std::string text = errorPrefix();
    try {
        bindLoggingLibrary(loggerDirectory, loggerValueA, loggerValueB);
    } catch (const std::exception& error) {
        return failBinding(text + error.what());
    } catch (const ForeignException&) {
        throw;  // not a standard exception: it goes back to the host that threw it
    } catch (...) {
        return failBinding(text + kUnknownError);
    }

    try {
        return new CDD7Render(device, reserved, hostFlag);
    } catch (const std::exception& error) {
        return failConstruction(text + error.what(), error.what());
    } catch (...) {
        const std::string whole = text + kUnknownError;
        return failConstruction(whole, whole.c_str());
    }
}

}  // namespace

extern "C" DD7R_EXPORT Renderer* DD7R_CDECL createRenderer(RendererDevice* device,
                                                          std::uint32_t reserved, bool hostFlag,
                                                          const char* loggerDirectory,
                                                          std::uint32_t loggerValueA,
                                                          std::uint32_t loggerValueB) {
    DD7R_HOST_BOUNDARY(RuntimeError, ::createRenderer(device, reserved, hostFlag, loggerDirectory,
                                                      loggerValueA, loggerValueB));
    if (capture::hostLevelSession != nullptr)
        return capture::createRenderer(&::createRenderer, device, reserved, hostFlag,
                                       loggerDirectory, loggerValueA, loggerValueB);
    try {
        return createRendererOrThrow(device, reserved, hostFlag, loggerDirectory, loggerValueA,
                                     loggerValueB);
    } catch (const ForeignException&) {
        throw;
    } catch (...) {
        // Only reporting the failure itself can get here (out of memory for the text, or a
        // logger that throws): the host still gets a null renderer and no exception.
        return nullptr;
    }
}

extern "C" DD7R_EXPORT void DD7R_CDECL destroyRenderer(Renderer* renderer) {
    DD7R_HOST_BOUNDARY(RuntimeError, ::destroyRenderer(renderer));
    if (capture::hostLevelSession != nullptr)
        return capture::destroyRenderer(&::destroyRenderer, renderer);
    if (renderer != nullptr) renderer->destroy(kDestroyAndFree);
    releaseModuleLogger();
}

extern "C" DD7R_EXPORT const char* DD7R_CDECL getLastErrorString() {
    return lastErrorText().c_str();
}
