// The exported entry points: each checks its arguments, delegates, and lets no exception out.

#include "DllLoggerApi.h"

#include "FileLogger.h"
#include "FilePaths.h"
#include "IniLevel.h"
#include "LogDirectory.h"
#include "LogLine.h"
#include "Timestamp.h"
#include "Utf8File.h"

#include <memory>
#include <type_traits>

static_assert(std::is_same_v<decltype(&CreateOrvLogger), CreateOrvLoggerFn>,
              "CreateOrvLogger must match the type the module looks it up as");
static_assert(std::is_same_v<decltype(&unRecoveryError), UnRecoveryErrorFn>,
              "unRecoveryError must match the type the module looks it up as");
static_assert(std::is_same_v<decltype(&GetLogLevelFromIniFile), GetLogLevelFromIniFileFn>,
              "GetLogLevelFromIniFile must match the type the module looks it up as");

namespace {

// No sane configuration file is this large; only its beginning is read.
constexpr std::size_t kMaximumIniBytes = 1 << 20;

constexpr char kErrorFileName[] = "dll_logger_errors.log";
constexpr char kErrorTag[] = "dll_logger";

int levelFromIniFile(const char* directory, const char* tag, const char* iniFileName) {
    if (tag == nullptr || *tag == '\0' || iniFileName == nullptr || *iniFileName == '\0')
        return DllLogger::kMinimumLevel;
    const std::string path =
        DllLogger::joinPath(directory == nullptr ? "" : directory, iniFileName);
    const std::optional<std::string> text = DllLogger::readFilePrefix(path, kMaximumIniBytes);
    if (!text) return DllLogger::kMinimumLevel;
    return DllLogger::levelFromIniText(*text, tag);
}

bool appendUnrecoverableError(const char* message) {
    const std::string path =
        DllLogger::joinPath(DllLogger::rememberedLogDirectory(), kErrorFileName);
    const DllLogger::FileHandle file(DllLogger::openForAppend(path));
    const std::string line = DllLogger::composeLine(DllLogger::localTimestamp(), kErrorTag,
                                                    "UNRECOVERABLE", message ? message : "");
    return DllLogger::writeAndFlush(file.get(), line);
}

}  // namespace

extern "C" {

DLL_LOGGER_API ZelUISystem::Logger* DLL_LOGGER_CDECL CreateOrvLogger(std::uint32_t hostValueA,
                                                                     std::uint32_t hostValueB,
                                                                     const char* tag, int level) {
    try {
        auto logger =
            DllLogger::createFileLogger(DllLogger::rememberedLogDirectory(), tag, level);
        logger->writeStartLine(hostValueA, hostValueB);
        return logger.release();
    } catch (...) {
        return nullptr;
    }
}

DLL_LOGGER_API int DLL_LOGGER_CDECL unRecoveryError(const char* message) {
    try {
        return appendUnrecoverableError(message) ? 0 : -1;
    } catch (...) {
        return -1;
    }
}

DLL_LOGGER_API int DLL_LOGGER_CDECL GetLogLevelFromIniFile(const char* directory,
                                                           const char* tag,
                                                           const char* iniFileName) {
    try {
        DllLogger::rememberLogDirectory(directory);
        return levelFromIniFile(directory, tag, iniFileName);
    } catch (...) {
        return DllLogger::kMinimumLevel;
    }
}

}  // extern "C"
