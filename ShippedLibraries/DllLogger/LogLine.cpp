#include "LogLine.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace DllLogger {
namespace {

#if defined(_WIN32)
constexpr std::string_view kLineEnd = "\r\n";
#else
constexpr std::string_view kLineEnd = "\n";
#endif

bool isLineBreak(char c) { return c == '\r' || c == '\n'; }

void appendOnOneLine(std::string& line, std::string_view text) {
    while (!text.empty() && isLineBreak(text.back())) text.remove_suffix(1);
    for (const char c : text) line.push_back(isLineBreak(c) ? ' ' : c);
}

int measuredLength(const char* format, std::va_list arguments) {
    std::va_list copy;
    va_copy(copy, arguments);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    return length;
}

}  // namespace

std::string formatMessage(const char* format, std::va_list arguments) {
    if (format == nullptr) return {};
    const int length = measuredLength(format, arguments);
    if (length < 0) return "(bad format) " + std::string(format);
    const std::size_t kept = std::min(static_cast<std::size_t>(length), kMaximumMessageBytes);
    std::vector<char> buffer(kept + 1);
    std::va_list copy;
    va_copy(copy, arguments);
    std::vsnprintf(buffer.data(), buffer.size(), format, copy);
    va_end(copy);
    std::string message(buffer.data(), kept);
    if (kept < static_cast<std::size_t>(length)) message.append(kTruncationMark);
    return message;
}

std::string levelKind(int level) { return "L" + std::to_string(level); }

std::string composeLine(std::string_view timestamp, std::string_view tag, std::string_view kind,
                        std::string_view message) {
    std::string line;
    line.reserve(timestamp.size() + tag.size() + kind.size() + message.size() + 8);
    line.append(timestamp);
    line.append(" [");
    appendOnOneLine(line, tag);
    line.append("] ");
    line.append(kind);
    line.push_back(' ');
    appendOnOneLine(line, message);
    line.append(kLineEnd);
    return line;
}

}  // namespace DllLogger
