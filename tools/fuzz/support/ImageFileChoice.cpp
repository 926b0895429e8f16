#include "ImageFileChoice.h"

#include <cstdio>
#include <cstdlib>
#include <string>

#include "ImageFileWriters.h"

namespace dd7rfuzz {

namespace {

std::vector<std::uint8_t> encodeAs(std::size_t format, const RgbaPicture& picture) {
    switch (format) {
        case 0: return encodePng(picture, true);
        case 1: return encodePng(picture, false);
        case 2: return encodeJpeg(picture);
        case 3: return encodeBmp(picture, 24);
        case 4: return encodeBmp(picture, 32);
        case 5: return encodeTga(picture, 32, true);
        case 6: return encodeTga(picture, 24, false);
        default: return encodeGif(picture);
    }
}

// The folder and its one file exist from first use to the end of the process.
class ImageDirectory {
public:
    ImageDirectory() {
        char pattern[] = "/tmp/dd7r-fuzz-XXXXXX";
        if (mkdtemp(pattern) == nullptr) return;
        directory_ = std::string(pattern) + "/";
        const std::vector<std::uint8_t> file = encodeBmp(makePicture(7, 5, 3), 24);
        if (FILE* stream = std::fopen(filePath().c_str(), "wb")) {
            std::fwrite(file.data(), 1, file.size(), stream);
            std::fclose(stream);
        }
    }
    ~ImageDirectory() {
        if (directory_.empty()) return;
        std::remove(filePath().c_str());
        std::remove(directory_.c_str());
    }
    ImageDirectory(const ImageDirectory&) = delete;
    ImageDirectory& operator=(const ImageDirectory&) = delete;

    const std::string& path() const { return directory_; }

private:
    std::string filePath() const { return directory_ + imageFileName(); }
    std::string directory_;
};

}  // namespace

std::vector<std::uint8_t> readImageFile(ByteReader& input) {
    const std::size_t format = input.choice(8);
    const std::uint32_t width = 1 + input.byte() % 24;
    const std::uint32_t height = 1 + input.byte() % 24;
    std::vector<std::uint8_t> file = encodeAs(format, makePicture(width, height, input.byte()));
    const std::uint8_t cut = input.byte();
    if (cut >= 240 && !file.empty()) file.resize(file.size() * (cut - 239) / 17);
    return file;
}

const char* imageFileDirectory() {
    static const ImageDirectory directory;
    return directory.path().c_str();
}

const char* imageFileName() { return "picture.bmp"; }

}  // namespace dd7rfuzz
