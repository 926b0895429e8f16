#include "skin/SkinFiles.h"

#include "image/ImageFiles.h"
#include "skin/SkinImages.h"

#include <filesystem>
#include <system_error>

namespace dd7rdemo {

namespace {

std::string pathIn(const std::string& directory, const char* fileName) {
    return (std::filesystem::u8path(directory) / fileName).u8string();
}

}  // namespace

bool writeSkinFiles(const std::string& directory, std::string& error) {
    std::error_code code;
    std::filesystem::create_directories(std::filesystem::u8path(directory), code);
    if (code) {
        error = "cannot create the skin folder " + directory + ": " + code.message();
        return false;
    }
    struct Entry {
        const char* name;
        Image image;
        bool bitmap;
    };
    const Entry entries[] = {
        {kBackgroundFile, makeBackgroundPicture(), true},
        {kPanelFile, makePanel(), false},
        {kTitleBarFile, makeTitleBar(), false},
        {kIconsFile, makeIconStrip(), false},
        {kLogoFile, makeLogo(), false},
        {kFontFile, makeFontAtlas(), false},
    };
    for (const Entry& entry : entries) {
        const std::string path = pathIn(directory, entry.name);
        const bool written = entry.bitmap ? writeBmp(path, entry.image) : writePng(path, entry.image);
        if (!written) {
            error = "cannot write " + path;
            return false;
        }
    }
    return true;
}

}  // namespace dd7rdemo
