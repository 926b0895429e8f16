#include "FileLogger.h"

#include "FilePaths.h"
#include "IniLevel.h"
#include "LogLine.h"
#include "Timestamp.h"
#include "Utf8File.h"

#include <algorithm>
#include <cstdarg>
#include <utility>

namespace DllLogger {

FileLogger::FileLogger(std::string tag, int level, FileHandle file)
    : tag_(std::move(tag)), level_(level), file_(std::move(file)) {}

FileLogger::~FileLogger() = default;

void* FileLogger::destroy(std::uint32_t flags) { return ZelUISystem::destroyObject(this, flags); }

void FileLogger::reportFatal(const char* message, int /*flag*/) {
    try {
        writeLine("FATAL", message == nullptr ? std::string() : std::string(message));
    } catch (...) {
        // A logger never fails its caller: a line that cannot be made is dropped.
    }
}

void FileLogger::reservedLoggerSlot() {}

void FileLogger::log(int level, const char* format, ...) {
    if (!wants(level) || format == nullptr) return;
    std::va_list arguments;
    va_start(arguments, format);
    writeFormattedLine(level, format, arguments);
    va_end(arguments);
}

void FileLogger::writeFormattedLine(int level, const char* format,
                                    std::va_list arguments) noexcept {
    try {
        writeLine(levelKind(level), formatMessage(format, arguments));
    } catch (...) {
        // Out of memory while formatting: the line is dropped.
    }
}

void FileLogger::writeStartLine(std::uint32_t hostValueA, std::uint32_t hostValueB) {
    char message[96];
    std::snprintf(message, sizeof(message), "level %d, host values 0x%08lX 0x%08lX", level_,
                  static_cast<unsigned long>(hostValueA), static_cast<unsigned long>(hostValueB));
    writeLine("START", message);
}

bool FileLogger::wants(int lineLevel) const { return file_ != nullptr && lineLevel <= level_; }

void FileLogger::writeLine(const std::string& kind, const std::string& message) {
    if (file_ == nullptr) return;
    const std::string line = composeLine(localTimestamp(), tag_, kind, message);
    const std::lock_guard<std::mutex> lock(writeMutex_);
    writeAndFlush(file_.get(), line);
}

std::unique_ptr<FileLogger> createFileLogger(const std::string& directory, const char* tag,
                                             int level) {
    const std::string tagText = tag == nullptr ? std::string() : std::string(tag);
    const int clamped = std::clamp(level, kMinimumLevel, kMaximumLevel);
    FileHandle file;
    if (clamped > kMinimumLevel)
        file.reset(openForAppend(joinPath(directory, logFileNameForTag(tagText))));
    return std::make_unique<FileLogger>(tagText, clamped, std::move(file));
}

}  // namespace DllLogger
