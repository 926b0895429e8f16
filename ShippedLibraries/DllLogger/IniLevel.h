#pragma once
// The level setting of KelLogger.ini: one section per tag holding a "Level" key.
//
//   ; comment            # comment too
//   [dd7r]
//   Level = 4
//
// Section names and keys compare without regard to ASCII case; blanks around names, keys and
// values are ignored; lines end with LF, CRLF or CR; a UTF-8 byte order mark is skipped.

#include <string_view>

namespace DllLogger {

constexpr int kMinimumLevel = 0;  // logging off
constexpr int kMaximumLevel = 9;

// The level of the first "Level" key found in a section named `tag`, clamped to
// kMinimumLevel..kMaximumLevel; kMinimumLevel when there is none or its value is not a
// decimal integer (an inline "; comment" or "# comment" after the number is allowed).
int levelFromIniText(std::string_view iniText, std::string_view tag);

}  // namespace DllLogger
