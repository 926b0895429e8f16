#pragma once
// Access to the tests' recording logging library (bin/recording-logger/dll_logger.dll), loaded
// by the same path the module is given, so both see the same library instance.

#include <string>
#include <vector>

#include "../recording_logger/RecordingLogger.h"

namespace moduletest {

// The directory holding the test executable, with a trailing separator.
std::string executableDirectory();

// "<executable directory>recording-logger/" in UTF-8: the directory to hand createRenderer.
std::string recordingLoggerDirectory();

// The recording library's state; loads the library on first use.
RecordingLoggerState& recordingLogger();

// Brings the module's logging binding and the recording library back to their load state.
void resetLogging();

// The recorded calls that start with `prefix`.
std::vector<std::string> recordedCalls(const std::string& prefix);

}  // namespace moduletest
