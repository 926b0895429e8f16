/* A logging library written in C from the slot table alone, built as dll_logger.dll in its
   own folder. It records what the module calls; every table entry that the module must never
   call (slot 2, and trap entries after slot 3) ends the process with a message. */
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "LoggerJournal.h"
#include "interface/SlotTables.h"

/* The library's exports are its only non-static functions: the Windows linker exports every
   one of them by its plain name when none is marked for export, and ELF exports them all. */
LoggerJournal* loggerJournal(void);
Dd7rLogger* DD7R_EXPORT_CALL CreateOrvLogger(uint32_t hostValueA, uint32_t hostValueB,
                                        const char* moduleTag, int level);
int DD7R_EXPORT_CALL unRecoveryError(const char* message);
int DD7R_EXPORT_CALL GetLogLevelFromIniFile(const char* directory, const char* moduleTag,
                                       const char* iniFileName);

static LoggerJournal journal;

static void appendEntry(char (*entries)[JOURNAL_MAX_TEXT], int* count, const char* format,
                        va_list arguments) {
    if (*count >= JOURNAL_MAX_ENTRIES) return;
    vsnprintf(entries[*count], JOURNAL_MAX_TEXT, format, arguments);
    ++*count;
}

static void recordCall(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    appendEntry(journal.calls, &journal.callCount, format, arguments);
    va_end(arguments);
}

static void recordLine(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    appendEntry(journal.lines, &journal.lineCount, format, arguments);
    va_end(arguments);
}

static _Noreturn void trap(int slot) {
    fprintf(stderr, "FAILED: the module called logger slot %d\n", slot);
    fflush(stderr);
    _Exit(70);
}

static void* DD7R_SLOT_CALL destroyLogger(Dd7rLogger* self DD7R_EDX, uint32_t flags);
static void DD7R_SLOT_CALL reportFatal(Dd7rLogger* self DD7R_EDX, const char* message, int flag);
static void DD7R_SLOT_CALL reservedLoggerSlot(Dd7rLogger* self DD7R_EDX);
static void logLine(Dd7rLogger* self, int level, const char* format, ...);

static void trap4(void) { trap(4); }
static void trap5(void) { trap(5); }
static void trap6(void) { trap(6); }
static void trap7(void) { trap(7); }
static void trap8(void) { trap(8); }
static void trap9(void) { trap(9); }
static void trap10(void) { trap(10); }
static void trap11(void) { trap(11); }

/* The four slots, then entries that catch a caller reaching past slot 3 (as a caller that
   counts two entries for a destructor would). */
struct LoggerTableWithTraps {
    Dd7rLoggerTable slots;
    void (*traps[8])(void);
};
static const struct LoggerTableWithTraps loggerTable = {
    {destroyLogger, reportFatal, reservedLoggerSlot, logLine},
    {trap4, trap5, trap6, trap7, trap8, trap9, trap10, trap11},
};
_Static_assert(offsetof(struct LoggerTableWithTraps, traps) == 4 * sizeof(void (*)(void)),
               "the trap entries follow slot 3");

static int isOurs(const Dd7rLogger* self) {
    if (self != NULL && self->table == &loggerTable.slots) return 1;
    ++journal.foreignObjectCalls;
    return 0;
}

static void* DD7R_SLOT_CALL destroyLogger(Dd7rLogger* self DD7R_EDX, uint32_t flags) {
    recordCall("slot 0 destroy flags %u", (unsigned)flags);
    if (!isOurs(self)) return self;
    --journal.loggersAlive;
    if ((flags & DD7R_DESTROY_AND_FREE) != 0) free(self);
    return self;
}

static void DD7R_SLOT_CALL reportFatal(Dd7rLogger* self DD7R_EDX, const char* message, int flag) {
    isOurs(self);
    recordCall("slot 1 reportFatal flag %d: %s", flag, message ? message : "(null)");
    recordLine("FATAL %s", message ? message : "");
}

static void DD7R_SLOT_CALL reservedLoggerSlot(Dd7rLogger* self DD7R_EDX) {
    (void)self;
    trap(2);
}

static void logLine(Dd7rLogger* self, int level, const char* format, ...) {
    char message[JOURNAL_MAX_TEXT];
    va_list arguments;
    isOurs(self);
    va_start(arguments, format);
    vsnprintf(message, sizeof message, format ? format : "", arguments);
    va_end(arguments);
    recordCall("slot 3 log level %d: %s", level, message);
    recordLine("L%d %s", level, message);
}

LoggerJournal* loggerJournal(void) { return &journal; }

Dd7rLogger* DD7R_EXPORT_CALL CreateOrvLogger(uint32_t hostValueA, uint32_t hostValueB,
                                        const char* moduleTag, int level) {
    Dd7rLogger* logger = malloc(sizeof *logger);
    recordCall("CreateOrvLogger %u %u %s %d", (unsigned)hostValueA, (unsigned)hostValueB,
               moduleTag ? moduleTag : "(null)", level);
    if (logger == NULL) return NULL;
    logger->table = &loggerTable.slots;
    ++journal.loggersAlive;
    return logger;
}

int DD7R_EXPORT_CALL unRecoveryError(const char* message) {
    recordCall("unRecoveryError %s", message ? message : "(null)");
    return 0;
}

/* Logging is always on, at the information level. */
int DD7R_EXPORT_CALL GetLogLevelFromIniFile(const char* directory, const char* moduleTag,
                                       const char* iniFileName) {
    (void)directory;
    recordCall("GetLogLevelFromIniFile %s %s", moduleTag ? moduleTag : "(null)",
               iniFileName ? iniFileName : "(null)");
    return 4;
}
