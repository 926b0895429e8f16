#include "compare/FrameFolders.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <system_error>

#include "image/PngRead.h"

namespace dd7rreplay {

namespace fs = std::filesystem;

namespace {

// Frames by number: frame-NNNN.png (the replay) or frame-...-NNN.png (the demo, which names
// the layout and blend mode first); other names are not frames. Two frames of one number make
// the folder ambiguous (`duplicate` names the first such number).
std::map<unsigned, std::string> framesIn(const fs::path& folder, unsigned first, unsigned last, bool& duplicate,
                                         unsigned& duplicateNumber) {
    std::map<unsigned, std::string> frames;
    std::error_code code;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, code)) {
        const std::string name = entry.path().filename().u8string();
        if (name.size() < 11 || name.rfind("frame-", 0) != 0 || name.compare(name.size() - 4, 4, ".png") != 0)
            continue;
        const std::string stem = name.substr(0, name.size() - 4);
        const std::string digits = stem.substr(stem.rfind('-') + 1);
        if (digits.empty() || digits.size() > 9 ||
            !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
            continue;
        const unsigned number = static_cast<unsigned>(std::stoul(digits));
        if (number < first || number > last) continue;
        if (!frames.emplace(number, (folder / name).u8string()).second && !duplicate) {
            duplicate = true;
            duplicateNumber = number;
        }
    }
    return frames;
}

std::string pixelText(const dd7rdemo::Image& image, unsigned x, unsigned y) {
    const std::uint8_t* p = image.pixel(x, y);
    char text[32];
    std::snprintf(text, sizeof(text), "#%02x%02x%02x", p[0], p[1], p[2]);
    return text;
}

// The first pixel (row by row) where the two differ; false when they are equal.
bool firstDifference(const dd7rdemo::Image& a, const dd7rdemo::Image& b, unsigned& x, unsigned& y) {
    for (y = 0; y < a.height(); ++y)
        for (x = 0; x < a.width(); ++x)
            if (!std::equal(a.pixel(x, y), a.pixel(x, y) + a.channels(), b.pixel(x, y))) return true;
    return false;
}

}  // namespace

CompareResult compareFrameFolders(const std::string& mine, const std::string& other, unsigned first,
                                  unsigned last, std::FILE* out, std::FILE* errors) {
    for (const std::string& folder : {mine, other}) {
        std::error_code code;
        if (!fs::is_directory(fs::u8path(folder), code)) {
            std::fprintf(errors, "compare: %s is not a folder\n", folder.c_str());
            return CompareResult::Unusable;
        }
    }
    bool duplicate[2] = {false, false};
    unsigned duplicateNumber = 0;
    const std::map<unsigned, std::string> a = framesIn(fs::u8path(mine), first, last, duplicate[0], duplicateNumber);
    const std::map<unsigned, std::string> b = framesIn(fs::u8path(other), first, last, duplicate[1], duplicateNumber);
    if (duplicate[0] || duplicate[1]) {
        std::fprintf(errors, "compare: %s holds more than one frame numbered %u\n", (duplicate[0] ? mine : other).c_str(),
                     duplicateNumber);
        return CompareResult::Unusable;
    }
    if (a.empty() || b.empty()) {
        std::fprintf(errors, "compare: %s holds no frame numbered %u to %u\n", (a.empty() ? mine : other).c_str(),
                     first, last);
        return CompareResult::Unusable;
    }
    std::map<unsigned, bool> numbers;
    for (const auto& frame : a) numbers[frame.first] = true;
    for (const auto& frame : b) numbers[frame.first] = true;
    for (const auto& entry : numbers) {
        const unsigned number = entry.first;
        const auto left = a.find(number);
        const auto right = b.find(number);
        if (left == a.end() || right == b.end()) {
            std::fprintf(out, "compare: frame %u is only in %s\n", number, (left == a.end() ? other : mine).c_str());
            return CompareResult::Different;
        }
        std::string error;
        const dd7rdemo::Image l = readPng(left->second, error);
        const dd7rdemo::Image r = l.empty() ? dd7rdemo::Image() : readPng(right->second, error);
        if (l.empty() || r.empty()) {
            std::fprintf(errors, "compare: frame %u: %s\n", number, error.c_str());
            return CompareResult::Unusable;
        }
        if (l.width() != r.width() || l.height() != r.height() || l.channels() != r.channels()) {
            std::fprintf(out, "compare: frame %u differs in size: %ux%u against %ux%u\n", number, l.width(),
                         l.height(), r.width(), r.height());
            return CompareResult::Different;
        }
        unsigned x = 0, y = 0;
        if (firstDifference(l, r, x, y)) {
            std::fprintf(out, "compare: frame %u differs first at pixel (%u, %u): %s against %s\n", number, x, y,
                         pixelText(l, x, y).c_str(), pixelText(r, x, y).c_str());
            return CompareResult::Different;
        }
    }
    std::fprintf(out, "compare: all %zu frames (%u to %u) are identical\n", numbers.size(), numbers.begin()->first,
                 numbers.rbegin()->first);
    return CompareResult::Same;
}

}  // namespace dd7rreplay
