#pragma once
// The logging library's logger object and its three entry points. Slot order is part of the
// interface shared with dll_logger.dll.

#include <cstdint>

namespace ZelUISystem {

class Logger {
public:
    virtual ~Logger() = default;
    virtual void reportFatal(const char* message, int flag) = 0;
    virtual void reservedLoggerSlot() = 0;  // never called by the module
    virtual void log(int level, const char* format, ...) = 0;
};

// Levels the module logs at.
constexpr int kLogLevelError = 1;
constexpr int kLogLevelInfo = 4;

}  // namespace ZelUISystem

extern "C" {
using CreateOrvLoggerFn = ZelUISystem::Logger* (*)(std::uint32_t hostValueA,
                                                   std::uint32_t hostValueB,
                                                   const char* moduleTag, int level);
using UnRecoveryErrorFn = int (*)(const char* message);
using GetLogLevelFromIniFileFn = int (*)(const char* directory, const char* moduleTag,
                                         const char* iniFileName);
}
