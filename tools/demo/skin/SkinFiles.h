#pragma once
// The skin on disk: the demo writes its pictures as image files into a folder, and the renderer
// loads them from there like any host's resource files.

#include <string>

namespace dd7rdemo {

// File names inside the skin folder.
constexpr const char* kBackgroundFile = "background.bmp";
constexpr const char* kPanelFile = "panel.png";
constexpr const char* kTitleBarFile = "titlebar.png";
constexpr const char* kIconsFile = "icons.png";
constexpr const char* kLogoFile = "logo.png";
constexpr const char* kFontFile = "font.png";

// Creates the folder if needed and writes every skin file; false with `error` set on failure.
bool writeSkinFiles(const std::string& directory, std::string& error);

}  // namespace dd7rdemo
