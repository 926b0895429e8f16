#include "softddraw/CallRecord.h"

#include <cstdio>
#include <ostream>

namespace softddraw {

namespace {

bool sameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

bool sameKey(const DDCOLORKEY& a, const DDCOLORKEY& b) {
    return a.dwColorSpaceLowValue == b.dwColorSpaceLowValue &&
           a.dwColorSpaceHighValue == b.dwColorSpaceHighValue;
}

bool sameFormat(const DDPIXELFORMAT& a, const DDPIXELFORMAT& b) {
    return a.dwSize == b.dwSize && a.dwFlags == b.dwFlags && a.dwFourCC == b.dwFourCC &&
           a.dwRGBBitCount == b.dwRGBBitCount && a.dwRBitMask == b.dwRBitMask &&
           a.dwGBitMask == b.dwGBitMask && a.dwBBitMask == b.dwBBitMask &&
           a.dwRGBAlphaBitMask == b.dwRGBAlphaBitMask;
}

template <typename T, typename Same>
bool sameOptional(const std::optional<T>& a, const std::optional<T>& b, Same same) {
    if (a.has_value() != b.has_value()) return false;
    return !a || same(*a, *b);
}

std::string hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof(text), "0x%08X", static_cast<unsigned>(value));
    return text;
}

std::string pointer(const void* value) {
    char text[32];
    std::snprintf(text, sizeof(text), "%p", value);
    return text;
}

std::string rectText(const std::optional<RECT>& rect) {
    if (!rect) return "NULL";
    return "(" + std::to_string(rect->left) + "," + std::to_string(rect->top) + "," +
           std::to_string(rect->right) + "," + std::to_string(rect->bottom) + ")";
}

std::string keyText(const DDCOLORKEY& key) {
    return "{" + hex(key.dwColorSpaceLowValue) + "," + hex(key.dwColorSpaceHighValue) + "}";
}

std::string formatText(const DDPIXELFORMAT& format) {
    return "pf{flags=" + hex(format.dwFlags) + " bpp=" + std::to_string(format.dwRGBBitCount) +
           " r=" + hex(format.dwRBitMask) + " g=" + hex(format.dwGBitMask) +
           " b=" + hex(format.dwBBitMask) + " a=" + hex(format.dwRGBAlphaBitMask) + "}";
}

}  // namespace

const char* operationName(Operation operation) {
    switch (operation) {
        case Operation::CreateSurface: return "CreateSurface";
        case Operation::TestCooperativeLevel: return "TestCooperativeLevel";
        case Operation::Lock: return "Lock";
        case Operation::Unlock: return "Unlock";
        case Operation::Blt: return "Blt";
        case Operation::BltFast: return "BltFast";
        case Operation::GetSurfaceDesc: return "GetSurfaceDesc";
        case Operation::GetColorKey: return "GetColorKey";
        case Operation::SetColorKey: return "SetColorKey";
        case Operation::IsLost: return "IsLost";
        case Operation::Restore: return "Restore";
    }
    return "?";
}

bool operator==(const BltFxRecord& a, const BltFxRecord& b) {
    return a.size == b.size && a.fillColor == b.fillColor && sameKey(a.sourceKey, b.sourceKey);
}

bool operator==(const SurfaceDescRecord& a, const SurfaceDescRecord& b) {
    return a.size == b.size && a.flags == b.flags && a.caps == b.caps && a.width == b.width &&
           a.height == b.height && sameOptional(a.pixelFormat, b.pixelFormat, sameFormat) &&
           sameOptional(a.sourceKey, b.sourceKey, sameKey);
}

bool operator==(const CallRecord& a, const CallRecord& b) {
    const auto equal = [](const auto& x, const auto& y) { return x == y; };
    return a.operation == b.operation && a.surface == b.surface && a.flags == b.flags &&
           sameOptional(a.destRect, b.destRect, sameRect) && a.source == b.source &&
           sameOptional(a.sourceRect, b.sourceRect, sameRect) && a.x == b.x && a.y == b.y &&
           sameOptional(a.fx, b.fx, equal) && sameOptional(a.desc, b.desc, equal) &&
           sameOptional(a.colorKey, b.colorKey, sameKey) && a.result == b.result;
}

SurfaceDescRecord lockRequestOf(const DDSURFACEDESC2& desc) {
    SurfaceDescRecord request;
    request.size = desc.dwSize;
    request.flags = desc.dwFlags;
    if ((desc.dwFlags & DDSD_PIXELFORMAT) != 0) request.pixelFormat = desc.ddpfPixelFormat;
    return request;
}

std::string describe(const CallRecord& record) {
    std::string text = operationName(record.operation);
    text += " surface=" + pointer(record.surface) + " flags=" + hex(record.flags);
    if (record.destRect) text += " dest=" + rectText(record.destRect);
    if (record.source != nullptr || record.sourceRect) {
        text += " source=" + pointer(record.source) + " sourceRect=" + rectText(record.sourceRect);
    }
    if (record.operation == Operation::BltFast)
        text += " at=(" + std::to_string(record.x) + "," + std::to_string(record.y) + ")";
    if (record.fx) {
        text += " fx{size=" + std::to_string(record.fx->size) + " fill=" +
                hex(record.fx->fillColor) + " key=" + keyText(record.fx->sourceKey) + "}";
    }
    if (record.desc) {
        const SurfaceDescRecord& desc = *record.desc;
        text += " desc{size=" + std::to_string(desc.size) + " flags=" + hex(desc.flags) +
                " caps=" + hex(desc.caps) + " " + std::to_string(desc.width) + "x" +
                std::to_string(desc.height);
        if (desc.pixelFormat) text += " " + formatText(*desc.pixelFormat);
        if (desc.sourceKey) text += " key=" + keyText(*desc.sourceKey);
        text += "}";
    }
    if (record.colorKey) text += " key=" + keyText(*record.colorKey);
    text += " -> " + hex(static_cast<std::uint32_t>(record.result));
    return text;
}

std::ostream& operator<<(std::ostream& out, const CallRecord& record) {
    return out << describe(record);
}

}  // namespace softddraw
