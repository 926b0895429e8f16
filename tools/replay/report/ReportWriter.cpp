#include "report/ReportWriter.h"
#include "system/HostPlatform.h"

#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "capture/ContentHash.h"
#include "image/ContactSheet.h"
#include "image/ImageFiles.h"
#include "image/SurfaceCapture.h"
#include "report/ReportPage.h"

namespace dd7rreplay {

namespace fs = std::filesystem;

namespace {

constexpr unsigned kThumbnailWidth = 160;
constexpr unsigned kTextureThumbnailWidth = 128;

// A JavaScript string literal. Bytes outside ASCII (file names from another machine need not
// be UTF-8) are written as the code points of the same values.
std::string js(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == '"' || byte == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20 || byte >= 0x7F || byte == '<') {
            char escaped[8];
            std::snprintf(escaped, sizeof(escaped), "\\u%04x", byte);
            out += escaped;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

std::string base64(const std::uint8_t* data, std::size_t size) {
    static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((size + 2) / 3 * 4);
    for (std::size_t i = 0; i < size; i += 3) {
        const std::uint32_t a = data[i];
        const std::uint32_t b = i + 1 < size ? data[i + 1] : 0;
        const std::uint32_t c = i + 2 < size ? data[i + 2] : 0;
        const std::uint32_t triple = (a << 16) | (b << 8) | c;
        out += alphabet[(triple >> 18) & 63];
        out += alphabet[(triple >> 12) & 63];
        out += i + 1 < size ? alphabet[(triple >> 6) & 63] : '=';
        out += i + 2 < size ? alphabet[triple & 63] : '=';
    }
    return out;
}

// Pixels and event lists as the page reads them: zlib-compressed (the page inflates them with the browser's
// DecompressionStream), then base64.
std::string packed(const std::vector<std::uint8_t>& bytes) {
    uLongf size = compressBound(static_cast<uLong>(bytes.size()));
    std::vector<std::uint8_t> out(size);
    if (compress2(out.data(), &size, bytes.data(), static_cast<uLong>(bytes.size()), Z_BEST_SPEED) != Z_OK)
        throw std::runtime_error("cannot compress a frame's pixels");
    return base64(out.data(), size);
}

std::string layoutArray(const PixelLayout& layout) {
    return "[" + std::to_string(layout.bytes) + "," + std::to_string(layout.red) + "," + std::to_string(layout.green) +
           "," + std::to_string(layout.blue) + "]";
}

std::string rectArray(const int (&rect)[4]) {
    return "[" + std::to_string(rect[0]) + "," + std::to_string(rect[1]) + "," + std::to_string(rect[2]) + "," +
           std::to_string(rect[3]) + "]";
}

std::string intArray(const int (&values)[4]) {
    return "[" + std::to_string(values[0]) + "," + std::to_string(values[1]) + "," + std::to_string(values[2]) + "," +
           std::to_string(values[3]) + "]";
}

// What the page needs to explain a quad's write: the same fields writeExplained reads.
std::string inputsJson(const QuadInputs& in, const std::string& textureKey) {
    return ",\"inputs\":{\"dest\":" + intArray(in.dest) + ",\"source\":" + intArray(in.source) + ",\"colour\":[" +
           std::to_string(in.colour[0]) + "," + std::to_string(in.colour[1]) + "," + std::to_string(in.colour[2]) + "," +
           std::to_string(in.colour[3]) + "],\"path\":" + js(in.path) + ",\"kernel\":" + js(in.kernel) +
           ",\"texture\":" + js(textureKey) + "}";
}

std::string eventJson(const InspectEvent& event, const std::string& textureKey) {
    char cost[32];
    std::snprintf(cost, sizeof(cost), "%.1f", event.microseconds);
    std::string out = "{\"kind\":" + js(event.kind) + ",\"label\":" + js(event.label) +
                      ",\"failed\":" + (event.failed ? "true" : "false") + ",\"skipped\":" +
                      (event.skipped ? "true" : "false") + ",\"thrown\":" + js(event.thrown) +
                      ",\"texture\":" + std::to_string(event.texture);
    if (event.kind == "quad")
        out += ",\"drawing\":" + std::to_string(event.drawing) + ",\"submission\":" + std::to_string(event.submission) +
               ",\"us\":" + cost;
    if (event.hasInputs) out += inputsJson(event.inputs, textureKey);
    if (!event.warning.empty()) out += ",\"warning\":" + js(event.warning);
    out += ",\"rect\":" + (event.hasRect ? rectArray(event.rect) : std::string("null"));
    if (event.hasPatch) {
        const Patch& p = event.patch;
        out += ",\"patch\":[" + std::to_string(p.left) + "," + std::to_string(p.top) + "," + std::to_string(p.right) +
               "," + std::to_string(p.bottom) + "," + std::to_string(p.offset) + "," + (p.composition ? "1" : "0") + "]";
    } else {
        out += ",\"patch\":null";
    }
    if (!event.textureImage.empty()) out += ",\"textureImage\":" + js(event.textureImage);
    out += ",\"details\":[";
    for (std::size_t i = 0; i < event.details.size(); ++i)
        out += (i == 0 ? "[" : ",[") + js(event.details[i].first) + "," + js(event.details[i].second) + "]";
    return out + "]}";
}

std::string frameFileName(const char* prefix, unsigned index, const char* suffix) {
    char name[48];
    std::snprintf(name, sizeof(name), "%s%04u%s", prefix, index, suffix);
    return name;
}

}  // namespace

ReportWriter::ReportWriter(const std::string& folder, const std::string& captureName)
    : folder_(folder), captureName_(captureName) {
    std::error_code code;
    const fs::path root = fs::u8path(folder_);
    // Only what an earlier report wrote is removed: the folder may hold other things.
    for (const char* part : {"data", "thumbs", "textures"}) fs::remove_all(root / part, code);
    for (const char* part : {"data", "thumbs", "textures"}) fs::create_directories(root / part, code);
    if (!fs::is_directory(root / "data", code)) throw std::runtime_error("cannot create " + folder_);
    write("index.html", page::kHtml);
    write("inspector.css", page::kCss);
    write("inspector.js", page::kJs);
}

void ReportWriter::write(const std::string& relative, const std::string& text) {
    const fs::path path = fs::u8path(folder_) / fs::u8path(relative);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!out) throw std::runtime_error("cannot write " + path.u8string());
    bytes_ += text.size();
}

void ReportWriter::writeBytes(const std::string& relative, const std::vector<std::uint8_t>& bytes) {
    const fs::path path = fs::u8path(folder_) / fs::u8path(relative);
    if (!dd7rdemo::writeFileBytes(path.u8string(), bytes)) throw std::runtime_error("cannot write " + path.u8string());
    bytes_ += bytes.size();
}

void ReportWriter::addFrame(const InspectFrame& frame, const ReplayFrame& drawn) {
    char hash[24];
    std::snprintf(hash, sizeof(hash), "p%016llx",
                  static_cast<unsigned long long>(
                      ZelUISystem::capture::contentHash(frame.base.data(), frame.base.size())));
    const std::string picture = hash;
    if (pictures_.insert(picture).second)
        write("data/" + picture + ".js",
              "DD7R.pictureLoaded(" + js(picture) + ",\"" + packed(frame.base) + "\");\n");

    unsigned quads = 0;
    unsigned failed = 0;
    std::string events = "[";
    for (std::size_t i = 0; i < frame.events.size(); ++i) {
        const InspectEvent& event = frame.events[i];
        if (event.kind == "quad") ++quads;
        if (event.failed) ++failed;
        events += (i == 0 ? "" : ",\n") + eventJson(event, addTexturePixels(event.inputs.texture));
    }
    events += "]";
    std::string textures = "[";
    for (std::size_t i = 0; i < frame.textures.size(); ++i) {
        const LiveTexture& texture = frame.textures[i];
        textures += std::string(i == 0 ? "" : ",") + "{\"id\":" + std::to_string(texture.id) + ",\"origin\":" +
                    js(texture.origin) + ",\"width\":" + std::to_string(texture.width) + ",\"height\":" +
                    std::to_string(texture.height) + ",\"key\":" + js(addTexturePixels(texture.pixels)) + "}";
    }
    textures += "]";
    std::string others = "[";
    for (std::size_t i = 0; i < frame.otherRenderers.size(); ++i)
        others += (i == 0 ? "" : ",") + js(frame.otherRenderers[i]);
    others += "]";
    std::string data = "DD7R.frameLoaded(" + std::to_string(frame.index) + ",{\"index\":" + std::to_string(frame.index) +
                       ",\"renderer\":" + std::to_string(frame.renderer) + ",\"width\":" + std::to_string(frame.width) +
                       ",\"height\":" + std::to_string(frame.height) + ",\"layout\":" + layoutArray(frame.layout) +
                       ",\"composition\":" + layoutArray(frame.compositionLayout) + ",\"picture\":" + js(picture) + ",\"textures\":" + textures + ",\"others\":" + others +
                       ",\"pixels\":\"" + packed(frame.pixels) + "\",\"events\":\"" +
                       packed(std::vector<std::uint8_t>(events.begin(), events.end())) + "\"});\n";
    write("data/" + frameFileName("frame-", frame.index, ".js"), data);

    std::string thumb;
    if (drawn.hasImage) {
        const unsigned factor = (drawn.image.width() + kThumbnailWidth - 1) / kThumbnailWidth;
        thumb = "thumbs/" + frameFileName("frame-", frame.index, ".png");
        writeBytes(thumb, dd7rdemo::encodePng(dd7rdemo::makeThumbnail(drawn.image, factor == 0 ? 1 : factor)));
    }
    entries_.push_back("{\"index\":" + std::to_string(frame.index) + ",\"renderer\":" + std::to_string(frame.renderer) +
                       ",\"events\":" + std::to_string(frame.events.size()) + ",\"quads\":" + std::to_string(quads) +
                       ",\"failed\":" + std::to_string(failed) + ",\"thumb\":" + js(thumb) + "}");
}

std::string ReportWriter::addTexturePixels(const std::shared_ptr<const TexturePixels>& pixels) {
    if (!pixels) return "";
    const std::string key = pixels->key();
    if (texturePixels_.insert(key).second)
        write("data/" + key + ".js", "DD7R.textureLoaded(" + js(key) + ",{\"width\":" + std::to_string(pixels->width) +
                                         ",\"height\":" + std::to_string(pixels->height) + ",\"layout\":" +
                                         layoutArray(pixels->layout) + ",\"pixels\":\"" + packed(pixels->bytes) + "\"});\n");
    return key;
}

std::string ReportWriter::addTexture(const TextureNote& texture, IDirectDrawSurface7* surface) {
    std::string error;
    const dd7rdemo::Image image = dd7rdemo::captureSurface(surface, error);
    if (image.empty()) return "";
    const unsigned factor = (image.width() + kTextureThumbnailWidth - 1) / kTextureThumbnailWidth;
    const std::string name =
        "textures/texture-" + std::to_string(texture.id) + "-" + std::to_string(texture.version) + ".png";
    writeBytes(name, dd7rdemo::encodePng(dd7rdemo::makeThumbnail(image, factor == 0 ? 1 : factor)));
    return name;
}

void ReportWriter::finish(const std::string& note) {
    std::string frames;
    for (std::size_t i = 0; i < entries_.size(); ++i) frames += (i == 0 ? "" : ",\n") + entries_[i];
    write("data/index.js", "DD7R.indexLoaded({\"capture\":" + js(captureName_) + ",\"note\":" + js(note) +
                               ",\"directDraw\":" + js(dd7rdemo::directDrawName()) +
                               ",\"frames\":[\n" + frames + "]});\n");
}

}  // namespace dd7rreplay
