#pragma once
// Local wall-clock time for the start of each log line.

#include <string>

namespace DllLogger {

// "YYYY-MM-DD hh:mm:ss.mmm" in local time.
std::string localTimestamp();

}  // namespace DllLogger
