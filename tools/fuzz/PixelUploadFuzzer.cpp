// Fuzz target: raw pixels through loadFromMemory and fillFromMemory with any sizes, rectangles,
// pitches and formats, into surfaces of every display layout. Input: host configuration, then
// a list of operations on a small set of textures. Every pixel buffer handed over is exactly as
// long as the call promises (or null when that would be too much memory), so a read or write
// outside it is caught by AddressSanitizer, and a write outside a surface by its guard pages.

#include <cstdint>
#include <cstring>
#include <iterator>
#include <vector>

#include "fuzzhost/ByteReader.h"
#include "fuzzhost/FuzzHost.h"

namespace {

using dd7rfuzz::ByteReader;
using dd7rfuzz::hostCall;

constexpr std::size_t kMaxOperations = 24;
constexpr std::size_t kTextureSlots = 3;
// Buffers up to this size are really allocated; larger promises get a null pointer.
constexpr std::uint64_t kMaxBufferBytes = std::uint64_t{1} << 22;

// Sizes and offsets at the edges of every integer range the module computes with.
const std::uint32_t kExtremes[] = {0,          1,          0x7FFF,     0x8000,     0xFFFF,
                                   0x10000,    0x40000000, 0x3FFFFFFF, 0x7FFFFFFF, 0x80000000,
                                   0xAAAAAAAB, 0xFFFFFFFE, 0xFFFFFFFF, 0x55555556, 0x20000000};

std::uint32_t readExtent(ByteReader& input) {
    const std::uint8_t pick = input.byte();
    if (pick < 224) return pick % 70;
    return kExtremes[pick % std::size(kExtremes)];
}

// Mostly the three formats, sometimes a value outside the enumeration.
ZelUISystem::TextureFormat readFormat(ByteReader& input) {
    const std::uint8_t pick = input.byte();
    const std::uint32_t value = pick < 240 ? pick % 3 : (pick == 255 ? 0xFFFFFFFFu : pick % 8);
    return static_cast<ZelUISystem::TextureFormat>(value);
}

std::uint64_t sourcePixelBytes(ZelUISystem::TextureFormat format) {
    return format == ZelUISystem::TEXFMT_RGB ? 3 : 4;
}

std::uint32_t readPitch(ByteReader& input, std::uint32_t width, ZelUISystem::TextureFormat format) {
    const std::uint64_t tight = width * sourcePixelBytes(format);
    switch (input.choice(4)) {
        case 0: return static_cast<std::uint32_t>(tight);
        case 1: return static_cast<std::uint32_t>(tight + input.byte());
        case 2: return input.byte();  // shorter than a row: rows overlap
        default: return kExtremes[input.choice(std::size(kExtremes))];
    }
}

// A surface is only ever committed for small pictures, or for ones so large that the software
// DirectDraw refuses to commit them; sizes in between would only measure the machine's memory.
bool surfaceSizeAllowed(std::uint32_t width, std::uint32_t height) {
    const std::uint64_t pixels = std::uint64_t{width} * height;
    return pixels <= (std::uint64_t{1} << 20) || pixels >= (std::uint64_t{1} << 30);
}

// An exactly sized buffer filled from the input, or null for a promise too large to keep.
struct PixelBuffer {
    std::vector<std::uint8_t> bytes;
    bool present = false;
    const void* pointer() const { return present ? (bytes.empty() ? nullptr : bytes.data()) : nullptr; }
};

PixelBuffer readPixels(ByteReader& input, std::uint64_t promisedBytes) {
    PixelBuffer buffer;
    if (promisedBytes > kMaxBufferBytes || input.flag()) return buffer;
    buffer.present = true;
    buffer.bytes.resize(static_cast<std::size_t>(promisedBytes));
    const std::size_t taken = input.take(buffer.bytes.data(), buffer.bytes.size());
    for (std::size_t i = taken; i < buffer.bytes.size(); ++i) buffer.bytes[i] = static_cast<std::uint8_t>(i * 37);
    return buffer;
}

// The bytes fillFromMemory reads: every row but the last at its pitch, the last one tight.
std::uint64_t fillSpan(std::uint32_t width, std::uint32_t height, std::uint32_t pitch,
                       ZelUISystem::TextureFormat format) {
    if (width == 0 || height == 0) return 0;
    return std::uint64_t{height - 1} * pitch + width * sourcePixelBytes(format);
}

class UploadSession {
public:
    explicit UploadSession(dd7rfuzz::FuzzHost& host) : renderer_(*host.renderer()) {
        renderer_.setTargetSurface(host.target());
    }

    void run(ByteReader& input) {
        for (std::size_t i = 0; i < kMaxOperations && !input.empty(); ++i) step(input);
    }

private:
    void step(ByteReader& input) {
        const std::size_t slot = input.choice(kTextureSlots);
        switch (input.choice(7)) {
            case 0: loadFromMemory(input, slot); break;
            case 1: fillFromMemory(input, slot); break;
            case 2: if (textures_[slot] != nullptr) textures_[slot]->inMemory = !textures_[slot]->inMemory; break;
            case 3: reset(); break;
            case 4: draw(input, slot); break;
            case 5: release(slot); break;
            default: hostCall([&] { textures_[slot] = renderer_.createTexture(); }); break;
        }
    }

    ZelUISystem::Texture* textureIn(std::size_t slot) {
        if (textures_[slot] == nullptr) hostCall([&] { textures_[slot] = renderer_.createTexture(); });
        return textures_[slot];
    }

    void loadFromMemory(ByteReader& input, std::size_t slot) {
        const std::uint32_t width = readExtent(input);
        const std::uint32_t height = readExtent(input);
        const ZelUISystem::TextureFormat format = readFormat(input);
        if (!surfaceSizeAllowed(width, height)) return;
        const PixelBuffer pixels = readPixels(input, std::uint64_t{width} * height * sourcePixelBytes(format));
        ZelUISystem::Texture* texture = textureIn(slot);
        if (texture == nullptr) return;
        expectModuleText([&] { texture->loadFromMemory(pixels.pointer(), width, height, format); });
    }

    void fillFromMemory(ByteReader& input, std::size_t slot) {
        const std::uint32_t x = readExtent(input);
        const std::uint32_t y = readExtent(input);
        const std::uint32_t width = readExtent(input);
        const std::uint32_t height = readExtent(input);
        const ZelUISystem::TextureFormat format = readFormat(input);
        const std::uint32_t pitch = readPitch(input, width, format);
        const PixelBuffer pixels = readPixels(input, fillSpan(width, height, pitch, format));
        ZelUISystem::Texture* texture = textureIn(slot);
        if (texture == nullptr) return;
        expectModuleText([&] { texture->fillFromMemory(pixels.pointer(), x, y, width, height, pitch, format); });
    }

    void reset() {
        hostCall([&] { renderer_.preD3DReset(); });
        bool sizeChanged = false;
        hostCall([&] { renderer_.postD3DReset(&sizeChanged); });
    }

    void draw(ByteReader& input, std::size_t slot) {
        ZelUISystem::Texture* texture = textures_[slot];
        if (texture == nullptr) return;
        const float width = static_cast<float>(texture->getWidth());
        const float height = static_cast<float>(texture->getHeight());
        const std::uint32_t colour = input.u32();
        const ZelUISystem::FloatRect source{0.0f, 0.0f, width, height};
        const ZelUISystem::FloatRect dest{0.0f, 0.0f, width * 1.5f, height};
        hostCall([&] {
            renderer_.submitQuad(source, 0.0f, texture, source, {{colour, colour, colour, colour}}, 0);
            renderer_.submitQuad(dest, 1.0f, texture, source, {{colour, ~colour, colour, colour}}, 0);
            renderer_.renderQueue();
            renderer_.discardQueue();
        });
    }

    void release(std::size_t slot) {
        renderer_.releaseTexture(textures_[slot]);
        textures_[slot] = nullptr;
    }

    // Every failure of an upload is the texture's own, with its class name first.
    template <typename Call>
    void expectModuleText(Call call) {
        try {
            call();
        } catch (const std::exception& error) {
            if (std::strncmp(error.what(), "CDD7Texture::", 13) != 0)
                dd7rfuzz::finding("an upload failed with a text not of the texture");
        }
    }

    ZelUISystem::CDD7Render& renderer_;
    ZelUISystem::Texture* textures_[kTextureSlots] = {};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ByteReader input(data, size);
    dd7rfuzz::FuzzHost host(dd7rfuzz::readHostConfig(input));
    if (!host.createRenderer()) return 0;
    UploadSession session(host);
    session.run(input);
    return 0;
}
