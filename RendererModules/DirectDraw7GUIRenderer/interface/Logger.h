#pragma once
// The logging library's logger object and its three entry points. Slot order and calling
// conventions are the interface shared with dll_logger.dll, which may be built by another
// compiler: slot 0 destroy (the place of the virtual destructor, see DestroySlot.h; the module
// calls it with kDestroyAndFree), 1 reportFatal, 2 never called, 3 log. On 32-bit Windows
// slots 0 to 2 are thiscall and log, being variadic, is cdecl with the object first.

#include <cstdint>

#include "interface/DestroySlot.h"

namespace ZelUISystem {

class Logger {
public:
    virtual void* destroy(std::uint32_t flags) = 0;
    virtual void reportFatal(const char* message, int flag) = 0;
    virtual void reservedLoggerSlot() = 0;  // never called by the module
    virtual void log(int level, const char* format, ...) = 0;

protected:
    // Not virtual: destruction goes through the destroy slot.
    ~Logger() = default;
};
static_assert(kHasDestroySlotOnly<Logger>, "Logger is destroyed through slot 0 only");

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
