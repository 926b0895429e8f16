#include "IniLevel.h"

#include <cstddef>
#include <optional>

namespace DllLogger {
namespace {

constexpr std::string_view kLevelKey = "Level";
constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\v' || c == '\f'; }

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

char asciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i])) return false;
    }
    return true;
}

bool isComment(std::string_view line) {
    return !line.empty() && (line.front() == ';' || line.front() == '#');
}

// Cuts "4 ; verbose" down to "4".
std::string_view withoutInlineComment(std::string_view value) {
    const std::size_t comment = value.find_first_of(";#");
    return trimmed(value.substr(0, comment == std::string_view::npos ? value.size() : comment));
}

int clampedLevel(long long value) {
    if (value < kMinimumLevel) return kMinimumLevel;
    if (value > kMaximumLevel) return kMaximumLevel;
    return static_cast<int>(value);
}

// An optional sign and at least one digit, nothing else; huge values saturate so that
// "99999999999999999999" still means "as verbose as possible".
int parseLevel(std::string_view value) {
    value = withoutInlineComment(value);
    bool negative = false;
    if (!value.empty() && (value.front() == '+' || value.front() == '-')) {
        negative = value.front() == '-';
        value.remove_prefix(1);
    }
    if (value.empty()) return kMinimumLevel;
    constexpr long long kSaturation = 1000;
    long long magnitude = 0;
    for (const char c : value) {
        if (c < '0' || c > '9') return kMinimumLevel;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > kSaturation) magnitude = kSaturation;
    }
    return clampedLevel(negative ? -magnitude : magnitude);
}

// Hands each line to `visit` until it returns true. LF, CRLF and CR all end a line; the empty
// "line" between CR and LF is harmless, as blank lines are skipped.
template <typename Visitor>
void forEachLine(std::string_view text, Visitor visit) {
    while (!text.empty()) {
        const std::size_t end = text.find_first_of("\r\n");
        if (visit(text.substr(0, end)) || end == std::string_view::npos) return;
        text.remove_prefix(end + 1);
    }
}

// For a "[name]" line, whether it opens the tag's section; nothing for any other line. An
// unclosed "[name" opens no section.
std::optional<bool> opensTagSection(std::string_view line, std::string_view tag) {
    if (line.front() != '[') return std::nullopt;
    const std::size_t close = line.find(']');
    return close != std::string_view::npos &&
           equalIgnoringCase(trimmed(line.substr(1, close - 1)), tag);
}

// For a "Level = value" line, the value; nothing for other keys and other lines.
std::optional<std::string_view> levelValue(std::string_view line) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    if (!equalIgnoringCase(trimmed(line.substr(0, equals)), kLevelKey)) return std::nullopt;
    return line.substr(equals + 1);
}

}  // namespace

int levelFromIniText(std::string_view iniText, std::string_view tag) {
    if (iniText.substr(0, kUtf8ByteOrderMark.size()) == kUtf8ByteOrderMark)
        iniText.remove_prefix(kUtf8ByteOrderMark.size());

    bool inTagSection = false;
    int level = kMinimumLevel;
    forEachLine(iniText, [&](std::string_view rawLine) {
        const std::string_view line = trimmed(rawLine);
        if (line.empty() || isComment(line)) return false;
        if (const std::optional<bool> opensTag = opensTagSection(line, tag)) {
            inTagSection = *opensTag;
            return false;
        }
        if (!inTagSection) return false;
        const std::optional<std::string_view> value = levelValue(line);
        if (value) level = parseLevel(*value);
        return value.has_value();
    });
    return level;
}

}  // namespace DllLogger
