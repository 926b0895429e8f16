#include "module/ModuleLogger.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>

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

const char* ddErrorFormat(HRESULT result) {
    switch (static_cast<std::uint32_t>(result)) {
        case 0x80004001u: return "%s(%d) DDERR_UNSUPPORTED";
        case 0x80004005u: return "%s(%d) DDERR_GENERIC";
        case 0x80070057u: return "%s(%d) DDERR_INVALIDPARAMS";
        case 0x8876006Eu: return "%s(%d) DDERR_INVALIDCLIPLIST";
        case 0x88760082u: return "%s(%d) DDERR_INVALIDOBJECT";
        case 0x88760096u: return "%s(%d) DDERR_INVALIDRECT";
        case 0x887600B4u: return "%s(%d) DDERR_NOALPHAHW";
        case 0x887600CDu: return "%s(%d) DDERR_NOCLIPLIST";
        case 0x88760118u: return "%s(%d) DDERR_NORASTEROPHW";
        case 0x88760136u: return "%s(%d) DDERR_NOSTRETCHHW";
        case 0x887601AEu: return "%s(%d) DDERR_SURFACEBUSY";
        case 0x887601C2u: return "%s(%d) DDERR_SURFACELOST";
        case 0x8876021Cu: return "%s(%d) DDERR_WASSTILLDRAWING";
        case 0x8876023Fu: return "%s(%d) DDERR_NOBLTHW";
        default: return "%s(%d)";
    }
}

}  // namespace

Logger* moduleLogger() { return library().logger; }

UnRecoveryErrorFn unRecoveryErrorEntry() { return library().unRecoveryError; }

void bindLoggingLibrary(const char* directory, std::uint32_t hostValueA, std::uint32_t hostValueB) {
    LoggingLibrary& lib = library();
    if (lib.createOrvLogger == nullptr) loadLibraryEntryPoints(directory);
    if (lib.getLogLevelFromIniFile == nullptr) return;
    const int level = lib.getLogLevelFromIniFile(directory, kModuleTag, kLoggerIniFileName);
    if (level > 0 && lib.logger == nullptr && lib.createOrvLogger != nullptr)
        lib.logger = lib.createOrvLogger(hostValueA, hostValueB, kModuleTag, level);
}

void releaseModuleLogger() {
    LoggingLibrary& lib = library();
    // The logger was made by the logging library, maybe by another compiler: only its own
    // destroy slot knows how to destroy and free it.
    if (lib.logger != nullptr) lib.logger->destroy(kDestroyAndFree);
    lib.logger = nullptr;
}

void reportFatal(const char* message) {
    if (Logger* logger = moduleLogger()) logger->reportFatal(message, 1);
}

void reportDDError(const char* context, HRESULT result) {
    if (Logger* logger = moduleLogger())
        logger->log(kLogLevelError, ddErrorFormat(result), context, static_cast<int>(result));
}

void resetLoggingBindingForTesting() {
    LoggingLibrary& lib = library();
    lib.createOrvLogger = nullptr;
    lib.unRecoveryError = nullptr;
    lib.getLogLevelFromIniFile = nullptr;
}

}  // namespace ZelUISystem
