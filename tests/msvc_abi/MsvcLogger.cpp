// A logging library dll_logger.dll built in the Windows platform compiler's C++ ABI (clang,
// i686-pc-windows-msvc) from the shipped interface/Logger.h. It records every call the module
// makes into it, and its CreateOrvLogger can be told to throw (see MsvcLoggerJournal.h).
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <windows.h>

#include <stdexcept>

#include "MsvcLoggerJournal.h"
#include "interface/Logger.h"

namespace {

MsvcLoggerJournal journal;

void record(const char* format, ...) {
    if (journal.callCount >= kJournalEntries) return;
    va_list arguments;
    va_start(arguments, format);
    _vsnprintf(journal.calls[journal.callCount], kJournalText - 1, format, arguments);
    va_end(arguments);
    ++journal.callCount;
}

class JournalLogger final : public ZelUISystem::Logger {
public:
    JournalLogger() { ++journal.loggersAlive; }
    ~JournalLogger() { --journal.loggersAlive; }

    void* destroy(std::uint32_t flags) override {
        record("destroy %u", static_cast<unsigned>(flags));
        check();
        return ZelUISystem::destroyObject(this, flags);
    }
    void reportFatal(const char* message, int flag) override {
        check();
        record("reportFatal %d %s", flag, message != nullptr ? message : "(null)");
    }
    void reservedLoggerSlot() override {
        record("reservedLoggerSlot");  // never called by the module
    }
    void log(int level, const char* format, ...) override {
        char line[kJournalText];
        check();
        va_list arguments;
        va_start(arguments, format);
        _vsnprintf(line, sizeof line - 1, format != nullptr ? format : "", arguments);
        line[sizeof line - 1] = '\0';
        va_end(arguments);
        record("log %d %s", level, line);
        throwAs(journal.logThrows, "msvc logger: no log today", 7, &journal.trackedAlive);
    }

private:
    void check() const {
        if (marker_ != kMarker) ++journal.foreignObjectCalls;
    }
    static constexpr std::uint32_t kMarker = 0x4C6F6747;
    std::uint32_t marker_ = kMarker;
};

}  // namespace

extern "C" {

__declspec(dllexport) MsvcLoggerJournal* loggerJournal() { return &journal; }

__declspec(dllexport) ZelUISystem::Logger* CreateOrvLogger(std::uint32_t hostValueA,
                                                           std::uint32_t hostValueB,
                                                           const char* moduleTag, int level) {
    char mode[256] = "";
    record("CreateOrvLogger %u %u %s %d", static_cast<unsigned>(hostValueA),
           static_cast<unsigned>(hostValueB), moduleTag != nullptr ? moduleTag : "(null)", level);
    const DWORD length = GetEnvironmentVariableA(MSVC_ABI_LOGGER_THROWS, mode, sizeof mode);
    if (length > 0 && length < sizeof mode) {
        if (strncmp(mode, "runtime_error:", 14) == 0) throw std::runtime_error(mode + 14);
        if (strncmp(mode, "int:", 4) == 0) throw atoi(mode + 4);
    }
    return new JournalLogger;
}

__declspec(dllexport) int unRecoveryError(const char* message) {
    record("unRecoveryError %s", message != nullptr ? message : "(null)");
    return 0;
}

// Logging is always on, at the information level.
__declspec(dllexport) int GetLogLevelFromIniFile(const char* directory, const char* moduleTag,
                                                 const char* iniFileName) {
    record("GetLogLevelFromIniFile %s %s %s", directory != nullptr ? directory : "(null)",
           moduleTag != nullptr ? moduleTag : "(null)",
           iniFileName != nullptr ? iniFileName : "(null)");
    return 4;
}

// The library needs no start-up work of its own: msvcrt.dll initialises itself.
int __stdcall _DllMainCRTStartup(void*, unsigned long, void*) { return 1; }

}  // extern "C"
