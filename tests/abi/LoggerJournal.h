/* What the test's logging library (CLogger.c) records, read by the test host through the
   library's extra export "loggerJournal". */
#ifndef DD7R_LOGGER_JOURNAL_H
#define DD7R_LOGGER_JOURNAL_H

enum { JOURNAL_MAX_ENTRIES = 64, JOURNAL_MAX_TEXT = 320 };

typedef struct LoggerJournal {
    /* Every call into the library, with the slot it reached, e.g.
       "slot 1 reportFatal flag 1: <message>", "slot 0 destroy flags 1". */
    int callCount;
    char calls[JOURNAL_MAX_ENTRIES][JOURNAL_MAX_TEXT];
    /* The lines a file logger writes for those calls, without time and tag:
       "FATAL <message>", "L<level> <message>". */
    int lineCount;
    char lines[JOURNAL_MAX_ENTRIES][JOURNAL_MAX_TEXT];
    int loggersAlive;
    /* A slot reached with an object the library did not make (a wrong `this`). */
    int foreignObjectCalls;
} LoggerJournal;

typedef LoggerJournal* (*LoggerJournalFn)(void);

#endif
