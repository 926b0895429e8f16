#pragma once
// A fresh, empty directory under the system's temporary folder, removed with everything in it
// when the object goes away; and small file helpers for what tests and hosts put there and what
// the module and the logging library write there.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace hostkit {

class TempDirectory {
public:
    // `nameSuffix` (UTF-8) lets a test put non-ASCII characters into the path.
    explicit TempDirectory(const std::string& nameSuffix = "");
    ~TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // The path as the host hands it to the library: UTF-8, no trailing separator.
    std::string utf8() const;

private:
    std::filesystem::path path_;
};

// Makes `directory` the current directory until the object goes away.
class CurrentDirectoryScope {
public:
    explicit CurrentDirectoryScope(const std::filesystem::path& directory);
    ~CurrentDirectoryScope();
    CurrentDirectoryScope(const CurrentDirectoryScope&) = delete;
    CurrentDirectoryScope& operator=(const CurrentDirectoryScope&) = delete;

private:
    std::filesystem::path previous_;
};

void writeFile(const std::filesystem::path& file, const std::string& content);
void writeFile(const std::filesystem::path& file, const std::vector<std::uint8_t>& content);
// The whole file, or an empty string when it does not exist.
std::string readFile(const std::filesystem::path& file);
// The file's lines without their line ends ("\n" or "\r\n").
std::vector<std::string> readLines(const std::filesystem::path& file);
// Every file below `directory`, as paths relative to it.
std::vector<std::string> filesBelow(const std::filesystem::path& directory);

}  // namespace hostkit
