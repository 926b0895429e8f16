#include "app/CaptureStats.h"

#include <map>
#include <set>
#include <string>

namespace dd7rreplay {

namespace {

struct Stats {
    std::map<std::string, unsigned> calls;
    std::uint64_t bytesHandedToModule = 0;  // every use of a blob counted
    std::uint64_t targetBytes = 0;
    std::set<std::string> targetSizes;
    std::set<std::string> displayModes;
    std::uint32_t widestTexture = 0;
    std::uint32_t tallestTexture = 0;
    unsigned textureLoads = 0;
};

std::string sizeText(std::uint32_t width, std::uint32_t height, std::uint32_t bits) {
    return std::to_string(width) + "x" + std::to_string(height) + " at " + std::to_string(bits) + " bits";
}

void count(const CaptureFile& capture, const CaptureCall& call, Stats& stats) {
    std::string name = recordKindName(call.kind);
    if (call.kind == RecordKind::DeviceAnswer && call.query == DeviceQuery::DisplayMode) {
        stats.displayModes.insert(sizeText(call.width, call.height, call.pixelFormat.bitCount));
        name += " (display mode)";
    }
    ++stats.calls[name];
    const std::uint64_t blobBytes = capture.blobSize(call.blob);
    if (call.kind == RecordKind::TargetContents) {
        stats.targetBytes += blobBytes;
        return;
    }
    stats.bytesHandedToModule += blobBytes;
    if (call.kind == RecordKind::SetTargetSurface && call.given)
        stats.targetSizes.insert(sizeText(call.width, call.height, call.pixelFormat.bitCount));
    if (call.kind == RecordKind::LoadFromMemory) {
        ++stats.textureLoads;
        if (call.width > stats.widestTexture) stats.widestTexture = call.width;
        if (call.height > stats.tallestTexture) stats.tallestTexture = call.height;
    }
}

}  // namespace

void printCaptureStats(const CaptureFile& capture, std::FILE* out) {
    Stats stats;
    for (std::size_t index = 0; index < capture.recordCount(); ++index) count(capture, capture.call(index), stats);
    std::uint64_t storedBytes = 0;
    for (std::uint32_t id = 1; id <= capture.blobCount(); ++id) storedBytes += capture.blobSize(id);

    std::fprintf(out, "capture format version %u, written by a %u-bit module, %llu bytes\n", capture.version(),
                 capture.writerPointerBits(), static_cast<unsigned long long>(capture.fileSize()));
    std::fprintf(out, "records by kind:\n");
    for (const auto& entry : stats.calls) std::fprintf(out, "  %-32s %u\n", entry.first.c_str(), entry.second);
    std::fprintf(out, "stored data: %zu blobs, %llu bytes\n", capture.blobCount(),
                 static_cast<unsigned long long>(storedBytes));
    std::fprintf(out, "texture and file bytes handed to the module: %llu\n",
                 static_cast<unsigned long long>(stats.bytesHandedToModule));
    std::fprintf(out, "target pictures kept: %llu bytes before sharing\n",
                 static_cast<unsigned long long>(stats.targetBytes));
    for (const std::string& size : stats.displayModes) std::fprintf(out, "display mode: %s\n", size.c_str());
    for (const std::string& size : stats.targetSizes) std::fprintf(out, "target surface: %s\n", size.c_str());
    if (stats.textureLoads != 0)
        std::fprintf(out, "pixel loads: %u, largest %u wide and %u high\n", stats.textureLoads,
                     stats.widestTexture, stats.tallestTexture);
}

}  // namespace dd7rreplay
