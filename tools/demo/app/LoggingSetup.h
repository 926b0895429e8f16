#pragma once
// --log-dir: the module loads dll_logger.dll from the folder the host names and reads
// KelLogger.ini there, so the demo writes the INI file into that folder and puts a copy of the
// library beside it.

#include <string>

namespace dd7rdemo {

// On success `loggerDirectory` is the folder as the module wants it (ending with a separator).
bool prepareLoggingDirectory(const std::string& directory, std::string& loggerDirectory,
                             std::string& error);

}  // namespace dd7rdemo
