#include "FrameChecks.h"

#include <filesystem>
#include <iomanip>

#include "Dd7rFrame.h"
#include "scene/FrameCases.h"
#include "FrameCompare.h"
#include "SdlFrame.h"

namespace framebench {

namespace {

void dumpFrame(const FramePixels& frame, const std::string& directory, const std::string& name,
               std::ostream& out) {
    if (directory.empty()) return;
    std::error_code ignored;
    std::filesystem::create_directories(directory, ignored);
    const std::string path = directory + "/" + name + ".ppm";
    if (!writePpm(frame, path)) out << "  cannot write " << path << "\n";
}

void printRow(std::ostream& out, const std::string& name, const FramePixels& frame, const FramePixels& sdl) {
    const FrameDifference difference = compareFrames(frame, sdl);
    out << "  " << std::left << std::setw(20) << name << std::right << std::fixed << std::setprecision(1)
        << std::setw(8) << 100.0 * drawnShare(frame, kClearColour) << "%" << std::setw(12)
        << std::setprecision(2) << difference.meanPerChannel << std::setw(11) << std::setprecision(1)
        << 100.0 * difference.differingShare << "%\n";
}

void checkScene(const Scene& scene, const std::string& dumpDirectory, std::ostream& out) {
    const std::string size = sizeLabel(scene.width, scene.height);
    out << size << ":  " << std::setw(14) << "drawn" << std::setw(16) << "mean |d| vs SDL" << std::setw(12)
        << "off by > 8" << "\n";
    SdlFrame sdl(scene);
    sdl.drawFrame();
    const FramePixels sdlPixels = sdl.readTarget();
    printRow(out, kSdlCase, sdlPixels, sdlPixels);
    dumpFrame(sdlPixels, dumpDirectory, std::string(kSdlCase) + "-" + size, out);
    const char* const modeCases[] = {kMode0FullCase, kMode1Case, kMode2Case};
    for (int mode = 0; mode <= 2; ++mode) {
        Dd7rFrame frame(scene, mode);
        frame.drawFrame();
        const FramePixels pixels = frame.readTarget();
        printRow(out, modeCases[mode], pixels, sdlPixels);
        dumpFrame(pixels, dumpDirectory, std::string(modeCases[mode]) + "-" + size, out);
    }
}

}  // namespace

void printFrameChecks(const std::deque<Scene>& scenes, const std::string& dumpDirectory, std::ostream& out) {
    out << "\nFrame check: one frame each, share of pixels drawn over the clear colour and distance "
           "to SDL2's frame (per channel, 0..255)\n";
    for (const Scene& scene : scenes) checkScene(scene, dumpDirectory, out);
}

}  // namespace framebench
