#pragma once
// Opening files by UTF-8 path on every platform: Windows' narrow C functions would read the
// path in the ANSI code page, so there the path goes through UTF-16.

#include <cstddef>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

namespace DllLogger {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// A FILE opened for appending in binary mode, or null when the file cannot be opened.
std::FILE* openForAppend(const std::string& utf8Path);

// Writes the whole text and flushes it at once, since the host may crash right after a line.
// False when any of it could not be written.
bool writeAndFlush(std::FILE* file, const std::string& text);

// The first `maxBytes` bytes of the file, or nothing when it cannot be opened or read.
std::optional<std::string> readFilePrefix(const std::string& utf8Path, std::size_t maxBytes);

}  // namespace DllLogger
