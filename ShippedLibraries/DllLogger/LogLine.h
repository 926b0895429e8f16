#pragma once
// The text of one log line:
//
//   2026-12-07 08:43:33.123 [dd7r] L4 CDD7Render::setDisplaySize (width 800.000000, ...)
//
// timestamp, tag in brackets, kind (L<level>, FATAL, START, UNRECOVERABLE), message, line end.

#include <cstdarg>
#include <cstddef>
#include <string>
#include <string_view>

namespace DllLogger {

// Longest message kept; longer ones are cut there and marked with kTruncationMark.
constexpr std::size_t kMaximumMessageBytes = 1 << 20;
constexpr std::string_view kTruncationMark = " [truncated]";

// printf-style formatting of any length (up to kMaximumMessageBytes); a format the C library
// rejects yields "(bad format) " followed by the format itself.
std::string formatMessage(const char* format, std::va_list arguments);

// "L<level>", the kind of an ordinary log line.
std::string levelKind(int level);

// The whole line, line end included. Line breaks inside the tag or message become blanks, and
// trailing ones are dropped, so that one entry is always one line.
std::string composeLine(std::string_view timestamp, std::string_view tag, std::string_view kind,
                        std::string_view message);

}  // namespace DllLogger
