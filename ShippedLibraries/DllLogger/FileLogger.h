#pragma once
// The library's Logger: appends the lines of one tag to one file, keeping only the lines at or
// below (as severe as or more severe than) its level, and flushing after every line.

#include "Utf8File.h"

#include "interface/Logger.h"

#include <cstdarg>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace DllLogger {

class FileLogger final : public ZelUISystem::Logger {
public:
    // A null file makes a logger that writes nothing.
    FileLogger(std::string tag, int level, FileHandle file);
    ~FileLogger();
    FileLogger(const FileLogger&) = delete;
    FileLogger& operator=(const FileLogger&) = delete;

    // Slot 0: the module destroys its logger here, with kDestroyAndFree.
    void* destroy(std::uint32_t flags) override;
    // Written whatever the level; the flag is accepted for the host's sake and not used.
    void reportFatal(const char* message, int flag) override;
    void reservedLoggerSlot() override;
    void log(int level, const char* format, ...) override;

    // The first line of a logger, separating the sessions that share one file.
    void writeStartLine(std::uint32_t hostValueA, std::uint32_t hostValueB);

private:
    bool wants(int lineLevel) const;
    void writeFormattedLine(int level, const char* format, std::va_list arguments) noexcept;
    void writeLine(const std::string& kind, const std::string& message);

    std::string tag_;
    int level_;
    FileHandle file_;
    std::mutex writeMutex_;
};

// A logger writing "<tag>.log" in the directory (UTF-8, empty = current directory); it opens
// no file when the level is 0 or below, and writes nothing when the file cannot be opened.
std::unique_ptr<FileLogger> createFileLogger(const std::string& directory, const char* tag,
                                             int level);

}  // namespace DllLogger
