// Writes the seed corpora of the three fuzz targets into <corpus root>/<target>/: image files of
// every format under several host configurations, upload sessions for every display layout,
// and call sequences for every blend mode. Each seed is a short script in the target's own
// input language, so the fuzzer starts from inputs that reach deep into the module.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

#include "fuzzhost/DisplayLayouts.h"
#include "fuzzhost/TestPicture.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Config {
    std::uint8_t layout;
    std::uint8_t blend;   // device answer 0..2, plus 0x80 for a processor without MMX
    std::uint8_t memory;  // 0x10: 555 textures, 0x20: 565 textures
    std::uint8_t width;
    std::uint8_t height;
};

// The configuration bytes readHostConfig reads, without a hostile size.
Bytes configBytes(const Config& config) {
    return {config.layout, config.blend, config.memory, config.width, config.height, 0};
}

void append(Bytes& out, std::initializer_list<std::uint8_t> bytes) { out.insert(out.end(), bytes); }

void write(const std::filesystem::path& folder, const std::string& name, const Bytes& bytes) {
    std::filesystem::create_directories(folder);
    std::ofstream stream(folder / name, std::ios::binary);
    stream.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

const char* const kFormatNames[] = {"rgba.png", "rgb.png", "jpg", "24.bmp", "32.bmp", "32.tga", "24.tga", "gif"};

const Config kConfigs[] = {
    {0, 0, 0, 64, 48},  {4, 2, 0, 50, 40},    {5, 1, 0, 40, 30},  {2, 0x82, 0, 64, 48},
    {7, 0, 0, 32, 32},  {10, 0, 0, 24, 24},   {9, 2, 0, 30, 20},  {3, 1, 0x20, 48, 36},
    {1, 2, 0x10, 64, 48}, {6, 0x81, 0, 40, 40}, {8, 2, 0, 20, 20}, {0, 2, 14, 90, 70},
};

void writeImageDataSeeds(const std::filesystem::path& folder) {
    int index = 0;
    for (int format = 0; format < 8; ++format) {
        for (int variant = 0; variant < 2; ++variant) {
            const Config& config = kConfigs[(format + variant * 5) % std::size(kConfigs)];
            Bytes seed = configBytes(config);
            seed.push_back(static_cast<std::uint8_t>(index % 4));
            const Bytes file = dd7rfuzz::encodeInFormat(static_cast<std::size_t>(format), dd7rfuzz::makePicture(5 + 9 * variant, 4 + 7 * variant, index));
            seed.insert(seed.end(), file.begin(), file.end());
            write(folder, "seed-" + std::to_string(index) + "." + kFormatNames[format], seed);
            ++index;
        }
    }
}

// pixel_upload operations: slot, operation, arguments.
void uploadLoad(Bytes& out, std::uint8_t slot, std::uint8_t width, std::uint8_t height, std::uint8_t format) {
    append(out, {slot, 0, width, height, format, 0});
    const std::size_t bytes = std::size_t{width} * height * (format == 0 ? 3 : 4);
    for (std::size_t i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(i * 29 + slot));
}

void uploadFill(Bytes& out, std::uint8_t slot, std::uint8_t x, std::uint8_t y, std::uint8_t width,
                std::uint8_t height, std::uint8_t format, std::uint8_t pitchKind, std::uint8_t pad) {
    append(out, {slot, 1, x, y, width, height, format, pitchKind});
    if (pitchKind == 1 || pitchKind == 2) out.push_back(pad);
    out.push_back(0);  // a real buffer
}

void writePixelUploadSeeds(const std::filesystem::path& folder) {
    for (std::uint8_t layout = 0; layout < dd7rfuzz::displayLayoutCount(); ++layout) {
        for (std::uint8_t format = 0; format < 3; ++format) {
            Bytes seed = configBytes({layout, static_cast<std::uint8_t>(format % 3), static_cast<std::uint8_t>(format << 4), 40, 30});
            uploadLoad(seed, 0, 9, 7, format);
            uploadFill(seed, 0, 2, 1, 5, 4, format, 1, 3);
            uploadFill(seed, 0, 0, 0, 9, 7, static_cast<std::uint8_t>((format + 1) % 3), 2, 5);
            append(seed, {1, 2});                   // host fills texture 1 from memory
            uploadLoad(seed, 1, 6, 5, format);
            append(seed, {0, 4, 0xFF, 0xFF, 0xFF, 0xFF, 1, 4, 0x80, 0x40, 0x20, 0xFF});  // draw both
            append(seed, {0, 3});                   // device reset
            append(seed, {1, 4, 0x80, 0xFF, 0xFF, 0xFF});
            append(seed, {2, 0, 250, 1, format, 1});  // a huge width, null pixels
            append(seed, {0, 5});
            write(folder, std::string("seed-") + dd7rfuzz::displayLayoutName(layout) + "-fmt" +
                              std::to_string(format), seed);
        }
    }
}

// renderer_calls operations (operation byte first).
void callsCreateFileTexture(Bytes& out, std::uint8_t format, std::uint8_t size) {
    append(out, {6, 2, format, size, static_cast<std::uint8_t>(size / 2 + 1), format, 0});
}
void callsDrawMany(Bytes& out, std::uint8_t texture, std::uint8_t colour) {
    append(out, {19, texture, colour, 3, 4, 5, 1, 20, 12, 0, 3, 30, 25, 1, 40, 2, 0, 4});
}

void writeRendererCallSeeds(const std::filesystem::path& folder) {
    int index = 0;
    const std::uint8_t blends[] = {0, 1, 2, 0x82, 0x81, 0x40};
    const std::uint8_t layouts[] = {0, 4, 5, 2, 7, 10};
    for (std::uint8_t blend : blends) {
        for (std::uint8_t layout : layouts) {
            if ((index++ % 2) != 0 && layout != 0) continue;
            Bytes seed = configBytes({layout, blend, static_cast<std::uint8_t>(index % 3 << 4), 64, 48});
            callsCreateFileTexture(seed, static_cast<std::uint8_t>(index % 8), 16);
            callsCreateFileTexture(seed, 3, 9);
            append(seed, {6, 3});                        // from the file on disk
            append(seed, {6, 0});                        // blank
            append(seed, {7, 3, 12, 9, 1});              // raw RGBA pixels into the blank one
            callsDrawMany(seed, 0, 0);
            callsDrawMany(seed, 1, 1);
            append(seed, {0, 10, 10, 0, 10, 10, 60, 0, 30, 0, 5, 0, 0, 0, 0, 0, 16, 0, 16, 4, 4, 4, 4, 0, 0, 0, 0});
            append(seed, {3});                           // render
            append(seed, {17, 2, 15, 2, 1, 1, 4, 4, 2}); // host-filled, then upload
            callsDrawMany(seed, 2, 4);
            append(seed, {10, 11, 0, 0});                // reset, same size
            callsDrawMany(seed, 0, 5);
            append(seed, {12, 4, 0, 2});                 // the 3rd Blt fails
            callsDrawMany(seed, 1, 1);
            append(seed, {13, 0});                       // lose everything
            callsDrawMany(seed, 0, 0);
            append(seed, {10, 11, 210, 50, 40, 1});      // reset to a new size
            append(seed, {5, 0, 0, 3});                  // queueing off, draw at once
            append(seed, {14, 2, 3, 8, 1, 9, 0});        // other target, release a texture
            append(seed, {9, 16, 4});                    // release all
            write(folder, "seed-" + std::to_string(index), seed);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus root>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path root = argv[1];
    writeImageDataSeeds(root / "image_data");
    writePixelUploadSeeds(root / "pixel_upload");
    writeRendererCallSeeds(root / "renderer_calls");
    return 0;
}
