#include "diagnostics/ModuleLogger.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <new>
#include <string>

#include "diagnostics/DDErrorNames.h"

namespace ZelUISystem {

namespace {

struct LoggingLibrary {
    CreateOrvLoggerFn createOrvLogger = nullptr;
    UnRecoveryErrorFn unRecoveryError = nullptr;
    GetLogLevelFromIniFileFn getLogLevelFromIniFile = nullptr;
    Logger* logger = nullptr;
};

LoggingLibrary& library() {
    static LoggingLibrary state;
    return state;
}

// Conversions longer than this are treated as unusable and the directory is dropped.
constexpr int kMaxWidePathLength = 0xFFFF;

std::basic_string<WCHAR> widenDirectory(const char* directory) {
    std::basic_string<WCHAR> path;
    if (directory == nullptr || directory[0] == '\0') return path;
    const int length = MultiByteToWideChar(CP_UTF8, 0, directory, -1, nullptr, 0);
    if (length <= 0 || length >= kMaxWidePathLength) return path;
    std::unique_ptr<WCHAR[]> buffer(new (std::nothrow) WCHAR[static_cast<std::size_t>(length) + 1]());
    if (!buffer) return path;
    MultiByteToWideChar(CP_UTF8, 0, directory, -1, buffer.get(), length + 1);
    path = buffer.get();
    return path;
}

template <typename Fn>
Fn lookUp(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

void loadLibraryEntryPoints(const char* directory) {
    std::basic_string<WCHAR> path = widenDirectory(directory);
    for (const char* c = kLoggerLibraryName; *c != '\0'; ++c) path.push_back(static_cast<WCHAR>(*c));
    HMODULE module = LoadLibraryW(path.c_str());
    LoggingLibrary& lib = library();
    lib.createOrvLogger = lookUp<CreateOrvLoggerFn>(module, "CreateOrvLogger");
    lib.unRecoveryError = lookUp<UnRecoveryErrorFn>(module, "unRecoveryError");
    lib.getLogLevelFromIniFile = lookUp<GetLogLevelFromIniFileFn>(module, "GetLogLevelFromIniFile");
}

// The codes whose published name follows the number in a logged DirectDraw error; every other
// code is logged by its number alone.
constexpr HRESULT kNamedInLogLines[] = {
    DDERR_UNSUPPORTED, DDERR_GENERIC, DDERR_INVALIDPARAMS, DDERR_INVALIDCLIPLIST,
    DDERR_INVALIDOBJECT, DDERR_INVALIDRECT, DDERR_NOALPHAHW, DDERR_NOCLIPLIST,
    DDERR_NORASTEROPHW, DDERR_NOSTRETCHHW, DDERR_SURFACEBUSY, DDERR_SURFACELOST,
    DDERR_WASSTILLDRAWING, DDERR_NOBLTHW};

// "%s(%d) DDERR_..." for a named code, built once into a fixed buffer (nothing is allocated
// while an error is being reported); "%s(%d)" for any other.
const char* ddErrorFormat(HRESULT result) {
    static char formats[std::size(kNamedInLogLines)][64] = {};
    for (std::size_t i = 0; i < std::size(kNamedInLogLines); ++i) {
        if (kNamedInLogLines[i] != result) continue;
        if (formats[i][0] == '\0')
            std::snprintf(formats[i], sizeof(formats[i]), "%%s(%%d) %s", ddErrorName(result));
        return formats[i];
    }
    return "%s(%d)";
}

}  // namespace

Logger* moduleLogger() { return library().logger; }

UnRecoveryErrorFn unRecoveryErrorEntry() { return library().unRecoveryError; }

void bindLoggingLibrary(const char* directory, std::uint32_t hostValueA, std::uint32_t hostValueB) {
    LoggingLibrary& lib = library();
    if (lib.createOrvLogger == nullptr) loadLibraryEntryPoints(directory);
    if (lib.getLogLevelFromIniFile == nullptr) return;
    const int level = callLogger([&] {
        return callHost([&] { return lib.getLogLevelFromIniFile(directory, kModuleTag, kLoggerIniFileName); });
    });
    if (level > 0 && lib.logger == nullptr && lib.createOrvLogger != nullptr)
        lib.logger = callLogger([&] {
            return callHost([&] { return lib.createOrvLogger(hostValueA, hostValueB, kModuleTag, level); });
        });
}

void releaseModuleLogger() {
    LoggingLibrary& lib = library();
    // The logger was made by the logging library, maybe by another compiler: only its own
    // destroy slot knows how to destroy and free it.
    Logger* const logger = lib.logger;
    lib.logger = nullptr;
    if (logger != nullptr) callLogger([&] { callHost([&] { logger->destroy(kDestroyAndFree); }); });
}

void reportFatal(const char* message) {
    if (Logger* logger = moduleLogger()) callLogger([&] { callHost([&] { logger->reportFatal(message, 1); }); });
}

void reportDDError(const char* context, HRESULT result) {
    logLine(kLogLevelError, ddErrorFormat(result), context, static_cast<int>(result));
}

void resetLoggingBindingForTesting() {
    LoggingLibrary& lib = library();
    lib.createOrvLogger = nullptr;
    lib.unRecoveryError = nullptr;
    lib.getLogLevelFromIniFile = nullptr;
}

}  // namespace ZelUISystem
