#include "compare/FrameFolders.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <vector>

#include "compare/PngRead.h"

namespace dd7rreplay {

namespace fs = std::filesystem;

namespace {

std::vector<std::string> frameNames(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code code;
    for (const fs::directory_entry& entry : fs::directory_iterator(fs::u8path(folder), code)) {
        const std::string name = entry.path().filename().u8string();
        if (name.rfind("frame-", 0) == 0 && name.size() > 4 && name.compare(name.size() - 4, 4, ".png") == 0)
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
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

bool compareFrameFolders(const std::string& mine, const std::string& other, std::FILE* out) {
    const std::vector<std::string> a = frameNames(mine);
    const std::vector<std::string> b = frameNames(other);
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        std::string error;
        const dd7rdemo::Image left = readPng((fs::u8path(mine) / a[i]).u8string(), error);
        const dd7rdemo::Image right = readPng((fs::u8path(other) / b[i]).u8string(), error);
        if (left.empty() || right.empty()) {
            std::fprintf(out, "compare: frame %zu: %s\n", i, error.c_str());
            return false;
        }
        if (left.width() != right.width() || left.height() != right.height() || left.channels() != right.channels()) {
            std::fprintf(out, "compare: frame %zu (%s, %s) differs in size: %ux%u against %ux%u\n", i, a[i].c_str(),
                         b[i].c_str(), left.width(), left.height(), right.width(), right.height());
            return false;
        }
        unsigned x = 0, y = 0;
        if (firstDifference(left, right, x, y)) {
            std::fprintf(out, "compare: frame %zu (%s, %s) differs first at pixel (%u, %u): %s against %s\n", i,
                         a[i].c_str(), b[i].c_str(), x, y, pixelText(left, x, y).c_str(),
                         pixelText(right, x, y).c_str());
            return false;
        }
    }
    if (a.size() != b.size()) {
        std::fprintf(out, "compare: the first %zu frames are identical, but one folder has %zu frames and the other %zu\n",
                     common, a.size(), b.size());
        return false;
    }
    std::fprintf(out, "compare: all %zu frames are identical\n", common);
    return true;
}

}  // namespace dd7rreplay
