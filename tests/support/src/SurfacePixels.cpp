#include "SurfacePixels.h"

#include <gtest/gtest.h>

#include <cstring>

namespace ddtest {

namespace {

// The whole surface locked for the lifetime of the object.
class WholeSurfaceLock {
public:
    explicit WholeSurfaceLock(IDirectDrawSurface7* surface) : surface_(surface) {
        desc_.dwSize = sizeof(desc_);
        const HRESULT result = surface_->Lock(nullptr, &desc_, DDLOCK_WAIT, nullptr);
        locked_ = result == DD_OK && desc_.lpSurface != nullptr;
        if (!locked_) ADD_FAILURE() << "Lock of the whole surface failed: " << resultName(result);
    }
    ~WholeSurfaceLock() {
        if (locked_) surface_->Unlock(nullptr);
    }
    WholeSurfaceLock(const WholeSurfaceLock&) = delete;
    WholeSurfaceLock& operator=(const WholeSurfaceLock&) = delete;

    bool locked() const { return locked_; }
    DWORD width() const { return desc_.dwWidth; }
    DWORD height() const { return desc_.dwHeight; }
    DWORD bytesPerPixel() const { return desc_.ddpfPixelFormat.dwRGBBitCount / 8; }
    std::size_t pitch() const { return static_cast<std::size_t>(desc_.lPitch); }
    std::uint8_t* pixel(DWORD x, DWORD y) const {
        return static_cast<std::uint8_t*>(desc_.lpSurface) + y * pitch() + x * bytesPerPixel();
    }
    bool contains(DWORD x, DWORD y) const {
        const bool inside = x < width() && y < height();
        if (!inside) ADD_FAILURE() << "pixel (" << x << "," << y << ") outside the surface";
        return inside;
    }

private:
    IDirectDrawSurface7* surface_;
    DDSURFACEDESC2 desc_{};
    bool locked_ = false;
};

DWORD load(const std::uint8_t* pixel, DWORD bytesPerPixel) {
    DWORD value = 0;
    for (DWORD i = 0; i < bytesPerPixel; ++i) value |= DWORD{pixel[i]} << (8 * i);
    return value;
}

void store(std::uint8_t* pixel, DWORD bytesPerPixel, DWORD value) {
    for (DWORD i = 0; i < bytesPerPixel; ++i) pixel[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

DDSURFACEDESC2 surfaceDesc(IDirectDrawSurface7* surface) {
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof(desc);
    const HRESULT result = surface->GetSurfaceDesc(&desc);
    if (result != DD_OK) ADD_FAILURE() << "GetSurfaceDesc failed: " << resultName(result);
    return desc;
}

DWORD bytesPerPixelOf(IDirectDrawSurface7* surface) {
    return surfaceDesc(surface).ddpfPixelFormat.dwRGBBitCount / 8;
}

DWORD readPixel(IDirectDrawSurface7* surface, DWORD x, DWORD y) {
    const WholeSurfaceLock lock(surface);
    if (!lock.locked() || !lock.contains(x, y)) return 0;
    return load(lock.pixel(x, y), lock.bytesPerPixel());
}

void writePixel(IDirectDrawSurface7* surface, DWORD x, DWORD y, DWORD value) {
    const WholeSurfaceLock lock(surface);
    if (!lock.locked() || !lock.contains(x, y)) return;
    store(lock.pixel(x, y), lock.bytesPerPixel(), value);
}

std::vector<DWORD> readPixels(IDirectDrawSurface7* surface) {
    const WholeSurfaceLock lock(surface);
    std::vector<DWORD> pixels;
    if (!lock.locked()) return pixels;
    pixels.reserve(std::size_t{lock.width()} * lock.height());
    for (DWORD y = 0; y < lock.height(); ++y)
        for (DWORD x = 0; x < lock.width(); ++x)
            pixels.push_back(load(lock.pixel(x, y), lock.bytesPerPixel()));
    return pixels;
}

void writePixels(IDirectDrawSurface7* surface, const std::vector<DWORD>& pixels) {
    const WholeSurfaceLock lock(surface);
    if (!lock.locked()) return;
    if (pixels.size() != std::size_t{lock.width()} * lock.height()) {
        ADD_FAILURE() << "writePixels: " << pixels.size() << " values for a " << lock.width()
                      << "x" << lock.height() << " surface";
        return;
    }
    std::size_t index = 0;
    for (DWORD y = 0; y < lock.height(); ++y)
        for (DWORD x = 0; x < lock.width(); ++x)
            store(lock.pixel(x, y), lock.bytesPerPixel(), pixels[index++]);
}

std::vector<std::uint8_t> readBytes(IDirectDrawSurface7* surface) {
    const WholeSurfaceLock lock(surface);
    if (!lock.locked()) return {};
    const std::uint8_t* first = lock.pixel(0, 0);
    return std::vector<std::uint8_t>(first, first + lock.pitch() * lock.height());
}

void fillBytes(IDirectDrawSurface7* surface, std::uint8_t value) {
    const WholeSurfaceLock lock(surface);
    if (lock.locked()) std::memset(lock.pixel(0, 0), value, lock.pitch() * lock.height());
}

HRESULT colorFill(IDirectDrawSurface7* surface, const RECT* rect, DWORD color) {
    DDBLTFX fx{};
    fx.dwSize = sizeof(fx);
    fx.dwFillColor = color;
    return surface->Blt(const_cast<RECT*>(rect), nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT,
                        &fx);
}

}  // namespace ddtest
