// What the Microsoft-ABI logging library (MsvcLogger.cpp) received, read by the test host
// through the library's extra export "loggerJournal".
#pragma once

#include "HostThrows.h"

enum { kJournalEntries = 64, kJournalText = 320 };

struct MsvcLoggerJournal {
    // Every call into the library, e.g. "CreateOrvLogger 5 6 dd7r 4",
    // "reportFatal 1 <message>", "log 4 <message>", "destroy 1"; the first 64 are kept.
    int callCount;
    char calls[kJournalEntries][kJournalText];
    int loggersAlive;
    int foreignObjectCalls;  // a slot reached with an object the library did not make
    Throw logThrows;         // what the logger's log slot throws (value 7), set by the host
    int trackedAlive;        // the library's Tracked objects alive
};

using LoggerJournalFn = MsvcLoggerJournal* (*)();

// What CreateOrvLogger does, read from this environment variable at each call:
//   unset or empty         returns a new logger
//   "runtime_error:<text>" throws std::runtime_error(<text>)
//   "int:<number>"         throws the int <number>
#define MSVC_ABI_LOGGER_THROWS "DD7R_MSVC_ABI_LOGGER_THROWS"
