// The module's whole outside surface: three C functions. createRenderer is the one place where
// failures turn into a null result and the last-error text; nothing may escape it, whatever the
// device or the logging library threw.

#include <exception>
#include <string>

#include "diagnostics/ModuleLogger.h"
#include "diagnostics/SlotPrologue.h"
#include "exports/LastError.h"
#include "interface/ModuleExports.h"
#include "renderer/CDD7Render.h"

using namespace ZelUISystem;

namespace {

const char* const kErrorPrefixTail = " --> createRenderer() error : ";
const char* const kUnknownError = "Unknow error!";

std::string errorPrefix() { return std::string(kModuleTag) + kErrorPrefixTail; }

// Reporting a failure is the logging library's code: whatever it throws is dropped, so that the
// host still gets its null result and the last-error text, which is set first.
template <typename Report>
void reportQuietly(Report&& report) {
    try {
        report();
    } catch (...) {
    }
}

// A failure before the renderer exists: the logger may just have failed to come up, so the
// library's own error entry receives the whole text.
Renderer* failBinding(const std::string& text) {
    setLastErrorText(text);
    if (UnRecoveryErrorFn unRecoveryError = unRecoveryErrorEntry())
        reportQuietly([&] { callHost([&] { unRecoveryError(text.c_str()); }); });
    return nullptr;
}

// A failure of construction: the logger (or, without one, the library's error entry) receives
// `reported`, and the last-error text becomes `text`.
Renderer* failConstruction(const std::string& text, const char* reported) {
    setLastErrorText(text);
    if (Logger* logger = moduleLogger())
        reportQuietly([&] { callHost([&] { logger->reportFatal(reported, 1); }); });
    else if (UnRecoveryErrorFn unRecoveryError = unRecoveryErrorEntry())
        reportQuietly([&] { callHost([&] { unRecoveryError(reported); }); });
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
    DD7R_EXPORT_SLOT(createRenderer, device, reserved, hostFlag, loggerDirectory, loggerValueA,
                     loggerValueB);
    try {
        return createRendererOrThrow(device, reserved, hostFlag, loggerDirectory, loggerValueA,
                                     loggerValueB);
    } catch (...) {
        // Only out of memory for the failure's text gets here: the host still gets a null
        // renderer and no exception.
        return nullptr;
    }
}

extern "C" DD7R_EXPORT void DD7R_CDECL destroyRenderer(Renderer* renderer) {
    DD7R_EXPORT_SLOT(destroyRenderer, renderer);
    if (renderer != nullptr) renderer->destroy(kDestroyAndFree);
    releaseModuleLogger();
}

extern "C" DD7R_EXPORT const char* DD7R_CDECL getLastErrorString() {
    return lastErrorText().c_str();
}
