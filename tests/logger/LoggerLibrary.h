#pragma once
// dll_logger.dll as the renderer module sees it: loaded by name with LoadLibraryW and reached
// only through the three entry points it looks up with GetProcAddress.

#include "interface/Logger.h"
#include "platform/Win32Types.h"

#include <memory>
#include <string>

namespace LoggerTests {

struct LoggerLibrary {
    HMODULE module = nullptr;
    CreateOrvLoggerFn createOrvLogger = nullptr;
    UnRecoveryErrorFn unRecoveryError = nullptr;
    GetLogLevelFromIniFileFn getLogLevelFromIniFile = nullptr;
};

// Loaded once, from the test executable's folder, where the build puts the library.
const LoggerLibrary& loggerLibrary();

// What the module does with a logger: it destroys it through its destroy slot.
struct LoggerDestroyer {
    void operator()(ZelUISystem::Logger* logger) const {
        logger->destroy(ZelUISystem::kDestroyAndFree);
    }
};
using LoggerPtr = std::unique_ptr<ZelUISystem::Logger, LoggerDestroyer>;

// The configuration file name the module asks for.
constexpr char kIniFileName[] = "KelLogger.ini";

}  // namespace LoggerTests
