#pragma once
// A logging library for the module's tests, built as its own dll_logger.dll: it records every
// call the module makes into it, and the tests steer its answers.

#include <cstdint>
#include <string>
#include <vector>

#if defined(_WIN32)
#define RECORDING_LOGGER_EXPORT __declspec(dllexport)
#else
#define RECORDING_LOGGER_EXPORT __attribute__((visibility("default")))
#endif

struct RecordingLoggerState {
    int levelToReport = 0;          // GetLogLevelFromIniFile's answer
    bool throwOnCreate = false;     // CreateOrvLogger throws std::runtime_error("logger refused")
    bool throwOnFatal = false;      // reportFatal throws an int, after recording its call
    int loggersCreated = 0;
    int loggersDestroyed = 0;
    // One entry per call, e.g. "log 4 CDD7Render::setDisplaySize (width 800.000000, ...)",
    // "fatal 1 <message>", "unrecovery <message>", "level <directory|(null)> dd7r KelLogger.ini",
    // "create 5 6 dd7r 3".
    std::vector<std::string> calls;
};

extern "C" RECORDING_LOGGER_EXPORT RecordingLoggerState* recordingLoggerState();
