#include "image/SurfaceCapture.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace dd7rdemo {

namespace {

struct ChannelMask {
    unsigned shift = 0;
    unsigned bits = 0;
};

ChannelMask describeMask(DWORD mask) {
    ChannelMask channel;
    if (mask == 0) return channel;
    while ((mask & 1u) == 0) {
        mask >>= 1;
        ++channel.shift;
    }
    while ((mask & 1u) != 0 && channel.bits < 32) {
        mask >>= 1;
        ++channel.bits;
    }
    return channel;
}

std::uint8_t extract(std::uint32_t pixel, const ChannelMask& channel) {
    if (channel.bits == 0) return 0;
    if (channel.bits >= 8) return static_cast<std::uint8_t>(pixel >> (channel.shift + channel.bits - 8));
    return widenChannel((pixel >> channel.shift) & ((1u << channel.bits) - 1u), channel.bits);
}

std::uint32_t readPixel(const std::uint8_t* row, unsigned x, unsigned bytesPerPixel) {
    std::uint32_t value = 0;
    std::memcpy(&value, row + static_cast<std::size_t>(x) * bytesPerPixel, bytesPerPixel);
    return value;  // little endian, as DirectDraw surfaces are on x86
}

void convertRows(const DDSURFACEDESC2& desc, Image& image) {
    const DDPIXELFORMAT& format = desc.ddpfPixelFormat;
    const unsigned bytesPerPixel = format.dwRGBBitCount / 8;
    const ChannelMask red = describeMask(format.dwRBitMask);
    const ChannelMask green = describeMask(format.dwGBitMask);
    const ChannelMask blue = describeMask(format.dwBBitMask);
    const auto* base = static_cast<const std::uint8_t*>(desc.lpSurface);
    for (unsigned y = 0; y < image.height(); ++y) {
        const std::uint8_t* row = base + static_cast<std::ptrdiff_t>(y) * desc.lPitch;
        for (unsigned x = 0; x < image.width(); ++x) {
            const std::uint32_t pixel = readPixel(row, x, bytesPerPixel);
            std::uint8_t* out = image.pixel(x, y);
            out[0] = extract(pixel, red);
            out[1] = extract(pixel, green);
            out[2] = extract(pixel, blue);
        }
    }
}

bool hasReadableLayout(const DDSURFACEDESC2& desc) {
    const DWORD bits = desc.ddpfPixelFormat.dwRGBBitCount;
    return (desc.ddpfPixelFormat.dwFlags & DDPF_RGB) != 0 &&
           (bits == 16 || bits == 24 || bits == 32) && desc.lpSurface != nullptr &&
           desc.lPitch >= static_cast<LONG>(desc.dwWidth * (bits / 8));
}

}  // namespace

std::uint8_t widenChannel(std::uint32_t value, unsigned bits) {
    if (bits == 0) return 0;
    if (bits >= 8) return static_cast<std::uint8_t>(value >> (bits - 8));
    std::uint32_t wide = 0;
    for (int filled = 0; filled < 8; filled += static_cast<int>(bits)) {
        const int shift = 8 - filled - static_cast<int>(bits);
        wide |= shift >= 0 ? value << shift : value >> -shift;
    }
    return static_cast<std::uint8_t>(wide);
}

Image captureSurface(IDirectDrawSurface7* surface, std::string& error) {
    if (surface == nullptr) {
        error = "no surface to capture";
        return {};
    }
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    desc.dwFlags = DDSD_PITCH | DDSD_LPSURFACE | DDSD_PIXELFORMAT;
    desc.ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
    const HRESULT result = surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr);
    if (FAILED(result)) {
        error = "Lock of the target surface failed";
        return {};
    }
    Image image;
    if (hasReadableLayout(desc)) {
        image = Image(desc.dwWidth, desc.dwHeight, 3);
        convertRows(desc, image);
    } else {
        error = "the target surface has no RGB layout the demo reads";
    }
    surface->Unlock(nullptr);
    return image;
}

std::uint32_t frameChecksum(const Image& image) {
    uLong crc = crc32(0L, Z_NULL, 0);
    const std::vector<std::uint8_t>& pixels = image.pixels();
    std::size_t offset = 0;
    while (offset < pixels.size()) {
        const std::size_t chunk = std::min<std::size_t>(pixels.size() - offset, 1u << 30);
        crc = crc32(crc, pixels.data() + offset, static_cast<uInt>(chunk));
        offset += chunk;
    }
    return static_cast<std::uint32_t>(crc);
}

}  // namespace dd7rdemo
