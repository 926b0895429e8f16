#pragma once
// A fresh, empty directory per test, removed with everything in it afterwards; and small file
// helpers for what the library writes there.

#include <filesystem>
#include <string>
#include <vector>

namespace LoggerTests {

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
// The whole file, or an empty string when it does not exist.
std::string readFile(const std::filesystem::path& file);
// The file's lines without their line ends ("\n" or "\r\n").
std::vector<std::string> readLines(const std::filesystem::path& file);
// Every file below `directory`, as paths relative to it.
std::vector<std::string> filesBelow(const std::filesystem::path& directory);

}  // namespace LoggerTests
