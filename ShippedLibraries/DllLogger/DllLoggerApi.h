#pragma once
// The three entry points of dll_logger.dll, exported by undecorated name with C linkage and
// the cdecl convention, as the renderer module looks them up with GetProcAddress. Nothing
// else leaves the library.

#include "interface/Logger.h"

#include <cstdint>

#if defined(_WIN32)
#define DLL_LOGGER_API __declspec(dllexport)
#define DLL_LOGGER_CDECL __cdecl
#else
#define DLL_LOGGER_API __attribute__((visibility("default")))
#define DLL_LOGGER_CDECL
#endif

extern "C" {

// Creates a logger that appends to "<tag>.log" in the directory named by the most recent
// GetLogLevelFromIniFile call (the current directory before any call). The two host values
// are opaque; they are recorded in the logger's first line. Returns null when out of memory.
DLL_LOGGER_API ZelUISystem::Logger* DLL_LOGGER_CDECL CreateOrvLogger(std::uint32_t hostValueA,
                                                                     std::uint32_t hostValueB,
                                                                     const char* tag, int level);

// Appends one line to "dll_logger_errors.log" in the same directory as the loggers. Returns 0
// when the line was written, -1 when it could not be.
DLL_LOGGER_API int DLL_LOGGER_CDECL unRecoveryError(const char* message);

// Reads the level configured for the tag in the INI file "<directory>/<iniFileName>" and
// remembers the directory for the next CreateOrvLogger. Returns 0 (logging off) to 9; 0 for a
// missing file, section or key and for a value that is not a number.
DLL_LOGGER_API int DLL_LOGGER_CDECL GetLogLevelFromIniFile(const char* directory,
                                                           const char* tag,
                                                           const char* iniFileName);
}
