#pragma once
// The directory the library writes into. CreateOrvLogger is not told where to write, so the
// library keeps the directory of the most recent GetLogLevelFromIniFile call: the host always
// asks for the level of a tag, in the directory it wants, right before creating its logger.

#include <string>

namespace DllLogger {

// Remembers the UTF-8 directory (null = the current directory).
void rememberLogDirectory(const char* directory);

// The last remembered directory; empty, meaning the current directory, before any call.
std::string rememberedLogDirectory();

}  // namespace DllLogger
