#include "scene/SceneFiles.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <sstream>
#include <stdexcept>

namespace framebench {

namespace {

namespace fs = std::filesystem;

// Screens and textures larger than this are not a GUI frame and not worth the memory.
constexpr std::uint32_t kLargestSide = 16384;
constexpr std::size_t kQuadFieldCount = 11;

std::optional<std::uint32_t> parseSide(const std::string& text) {
    if (text.empty() || text.size() > 5) return std::nullopt;
    if (!std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const auto value = static_cast<std::uint32_t>(std::stoul(text));
    if (value == 0 || value > kLargestSide) return std::nullopt;
    return value;
}

// "<W>x<H>" as two sides.
std::optional<std::pair<std::uint32_t, std::uint32_t>> parseSize(const std::string& text) {
    const auto cross = text.find('x');
    if (cross == std::string::npos) return std::nullopt;
    const auto width = parseSide(text.substr(0, cross));
    const auto height = parseSide(text.substr(cross + 1));
    if (!width || !height) return std::nullopt;
    return std::make_pair(*width, *height);
}

bool hasPrefixAndSuffix(const std::string& name, const std::string& prefix, const std::string& suffix) {
    return name.size() > prefix.size() + suffix.size() && name.compare(0, prefix.size(), prefix) == 0 &&
           name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::string between(const std::string& name, const std::string& prefix, const std::string& suffix) {
    return name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
}

std::vector<fs::path> filesIn(const std::string& directory) {
    std::error_code error;
    fs::directory_iterator it(directory, error);
    if (error) throw std::runtime_error("cannot read the scene folder " + directory + ": " + error.message());
    std::vector<fs::path> files;
    for (const auto& entry : it)
        if (entry.is_regular_file()) files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

// "tex-<name>-<W>x<H>.bgra": the name may itself hold dashes, the size follows the last one.
struct TextureFileName {
    std::string name;
    std::uint32_t width;
    std::uint32_t height;
};

std::optional<TextureFileName> parseTextureFileName(const std::string& fileName) {
    if (!hasPrefixAndSuffix(fileName, "tex-", ".bgra")) return std::nullopt;
    const std::string middle = between(fileName, "tex-", ".bgra");
    const auto dash = middle.rfind('-');
    if (dash == std::string::npos || dash == 0) return std::nullopt;
    const auto size = parseSize(middle.substr(dash + 1));
    if (!size) return std::nullopt;
    return TextureFileName{middle.substr(0, dash), size->first, size->second};
}

std::vector<char> readWholeFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + path.string());
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

SceneTexture readTexture(const fs::path& path, std::uint32_t width, std::uint32_t height) {
    const std::vector<char> bytes = readWholeFile(path);
    const std::size_t texelCount = std::size_t{width} * height;
    if (bytes.size() != texelCount * 4)
        throw std::runtime_error(path.string() + ": " + std::to_string(bytes.size()) +
                                 " bytes, expected " + std::to_string(texelCount * 4));
    SceneTexture texture;
    texture.width = width;
    texture.height = height;
    texture.texels.resize(texelCount);
    for (std::size_t i = 0; i < texelCount; ++i) {
        const auto* b = reinterpret_cast<const unsigned char*>(bytes.data() + 4 * i);
        texture.texels[i] = std::uint32_t{b[0]} | std::uint32_t{b[1]} << 8 | std::uint32_t{b[2]} << 16 |
                            std::uint32_t{b[3]} << 24;
    }
    return texture;
}

std::vector<std::string> splitFields(const std::string& line) {
    std::vector<std::string> fields;
    std::stringstream stream(line);
    std::string field;
    while (std::getline(stream, field, ',')) fields.push_back(field);
    return fields;
}

std::int32_t parseCoordinate(const std::string& text) {
    if (text.empty()) throw std::invalid_argument("empty number");
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || errno != 0 || value < 0 || value > static_cast<long>(kLargestSide))
        throw std::invalid_argument("not a coordinate: " + text);
    return static_cast<std::int32_t>(value);
}

std::uint32_t parseColour(const std::string& text) {
    char* end = nullptr;
    errno = 0;
    const unsigned long value = std::strtoul(text.c_str(), &end, 16);
    if (text.empty() || text[0] == '-' || *end != '\0' || errno != 0 ||
        value > std::numeric_limits<std::uint32_t>::max())
        throw std::invalid_argument("not a colour: " + text);
    return static_cast<std::uint32_t>(value);
}

PixelRect parseRect(const std::vector<std::string>& fields, std::size_t first) {
    return PixelRect{parseCoordinate(fields[first]), parseCoordinate(fields[first + 1]),
                     parseCoordinate(fields[first + 2]), parseCoordinate(fields[first + 3])};
}

bool fitsInside(const PixelRect& rect, std::uint32_t width, std::uint32_t height) {
    return rect.width > 0 && rect.height > 0 &&
           std::int64_t{rect.x} + rect.width <= std::int64_t{width} &&
           std::int64_t{rect.y} + rect.height <= std::int64_t{height};
}

SceneQuad parseQuad(const std::string& line, const Scene& scene,
                    const std::map<std::string, SceneTexture>& textures) {
    const std::vector<std::string> fields = splitFields(line);
    if (fields.size() != kQuadFieldCount)
        throw std::invalid_argument(std::to_string(fields.size()) + " fields, expected " +
                                    std::to_string(kQuadFieldCount));
    SceneQuad quad{fields[0], fields[1], parseRect(fields, 2), parseRect(fields, 6), parseColour(fields[10])};
    const auto texture = textures.find(quad.texture);
    if (texture == textures.end()) throw std::invalid_argument("no texture named " + quad.texture);
    if (!fitsInside(quad.source, texture->second.width, texture->second.height))
        throw std::invalid_argument("source rectangle outside the texture");
    if (!fitsInside(quad.destination, scene.width, scene.height))
        throw std::invalid_argument("destination rectangle outside the screen");
    return quad;
}

bool isCommentOrHeader(const std::string& line) {
    return line.empty() || line[0] == '#' || line.compare(0, 5, "kind,") == 0;
}

}  // namespace

bool hasTransparentTexels(const SceneTexture& texture) {
    return std::find(texture.texels.begin(), texture.texels.end(), 0u) != texture.texels.end();
}

std::int64_t quadPixelCount(const Scene& scene) {
    std::int64_t total = 0;
    for (const SceneQuad& quad : scene.quads) total += std::int64_t{quad.destination.width} * quad.destination.height;
    return total;
}

std::string sizeLabel(std::uint32_t width, std::uint32_t height) {
    return std::to_string(width) + "x" + std::to_string(height);
}

std::map<std::string, SceneTexture> loadSceneTextures(const std::string& directory) {
    std::map<std::string, SceneTexture> textures;
    for (const fs::path& path : filesIn(directory)) {
        const auto parsed = parseTextureFileName(path.filename().string());
        if (parsed) textures[parsed->name] = readTexture(path, parsed->width, parsed->height);
    }
    if (textures.empty()) throw std::runtime_error("no tex-<name>-<W>x<H>.bgra file in " + directory);
    return textures;
}

std::vector<std::pair<std::uint32_t, std::uint32_t>> findSceneSizes(const std::string& directory) {
    std::vector<std::pair<std::uint32_t, std::uint32_t>> sizes;
    for (const fs::path& path : filesIn(directory)) {
        const std::string name = path.filename().string();
        if (!hasPrefixAndSuffix(name, "scene-", ".csv")) continue;
        if (const auto size = parseSize(between(name, "scene-", ".csv"))) sizes.push_back(*size);
    }
    std::sort(sizes.begin(), sizes.end(), [](const auto& a, const auto& b) {
        return std::uint64_t{a.first} * a.second < std::uint64_t{b.first} * b.second;
    });
    if (sizes.empty()) throw std::runtime_error("no scene-<W>x<H>.csv file in " + directory);
    return sizes;
}

Scene loadScene(const std::string& directory, std::uint32_t width, std::uint32_t height,
                const std::map<std::string, SceneTexture>& textures) {
    const fs::path path = fs::path(directory) / ("scene-" + sizeLabel(width, height) + ".csv");
    std::ifstream in(path);
    if (!in) throw std::runtime_error("cannot open " + path.string());
    Scene scene;
    scene.width = width;
    scene.height = height;
    scene.textures = &textures;
    std::string line;
    for (int lineNumber = 1; std::getline(in, line); ++lineNumber) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (isCommentOrHeader(line)) continue;
        try {
            scene.quads.push_back(parseQuad(line, scene, textures));
        } catch (const std::exception& error) {
            throw std::runtime_error(path.string() + ":" + std::to_string(lineNumber) + ": " + error.what());
        }
    }
    if (scene.quads.empty()) throw std::runtime_error(path.string() + ": no quads");
    return scene;
}

}  // namespace framebench
