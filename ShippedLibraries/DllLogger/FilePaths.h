#pragma once
// Names of the files the library reads and writes, built from the UTF-8 directory that the
// host passes in.

#include <string>
#include <string_view>

namespace DllLogger {

// "dir" + "name" with exactly one separator between them when the directory does not already
// end with one; an empty directory means the current directory and yields `name` itself.
std::string joinPath(std::string_view directory, std::string_view name);

// "<tag>.log" with every character outside [A-Za-z0-9._-] replaced by '_', so that a tag can
// never reach outside the directory; "dll_logger.log" for an empty tag.
std::string logFileNameForTag(std::string_view tag);

}  // namespace DllLogger
