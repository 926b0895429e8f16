#pragma once
// The binding to the optional logging library and the one logger shared by the whole module.
// Every diagnostic goes through moduleLogger(), which is null when logging is off; callers test
// it before each call.

#include <cstdint>
#include <exception>

#include "diagnostics/CallWitness.h"
#include "platform/DirectDraw.h"
#include "platform/HostExceptions.h"
#include "interface/Logger.h"

namespace ZelUISystem {

constexpr const char* kModuleTag = "dd7r";
constexpr const char* kLoggerIniFileName = "KelLogger.ini";
constexpr const char* kLoggerLibraryName = "dll_logger.dll";

Logger* moduleLogger();

// Loads dll_logger.dll from the host's directory if its entry points are not bound yet, asks
// for the configured level and creates the module logger when the level asks for one. What
// CreateOrvLogger throws reaches the caller.
void bindLoggingLibrary(const char* directory, std::uint32_t hostValueA, std::uint32_t hostValueB);

// Destroys the module logger, if any; the library stays loaded and bound.
void releaseModuleLogger();

// The unRecoveryError entry point, null when the library is not bound.
UnRecoveryErrorFn unRecoveryErrorEntry();

// Runs a call into the logging library (through callHost) and passes on what it throws; a
// capture notes that it threw, since a replay runs without the logging library.
template <typename Call>
decltype(auto) callLogger(Call&& call) {
    try {
        return call();
    } catch (const std::exception& error) {
        if (callWitness != nullptr) callWitness->loggerThrew(true, error.what());
        throw;
    } catch (...) {
        if (callWitness != nullptr) callWitness->loggerThrew(false, nullptr);
        throw;
    }
}

// One log line, when a logger exists. The logger is the logging library's code, so the call
// goes through callHost: what it throws comes back as the module's own exception.
template <typename... Values>
void logLine(int level, const char* format, Values... values) {
    if (Logger* logger = moduleLogger()) callLogger([&] { callHost([&] { logger->log(level, format, values...); }); });
}

// Passes a message about to be raised (or just caught) to the logger's reportFatal.
void reportFatal(const char* message);

// Logs a DirectDraw result code by its published name, at error level.
void reportDDError(const char* context, HRESULT result);

// Test seam: forgets the bound entry points, so that the next binding loads the library again.
void resetLoggingBindingForTesting();

}  // namespace ZelUISystem
