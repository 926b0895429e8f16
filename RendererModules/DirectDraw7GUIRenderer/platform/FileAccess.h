#pragma once
// Opening an image file for reading. The host names files in UTF-8; on Windows the file is
// opened through its UTF-16 name, so that every name that exists can be opened, whatever the
// local code page can represent.

#include <fstream>
#include <string>

namespace ZelUISystem {

// The path of a texture's image file: the directory, a '/' unless it already ends with a
// separator, then the file name. Either may be null or empty.
std::string joinPath(const char* fileName, const char* directory);

// Opens the file binary, positioned at its end.
void openFileAtEnd(std::ifstream& stream, const std::string& utf8Path);

}  // namespace ZelUISystem
