#include "fuzzhost/ImageFileChoice.h"

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

#include "fuzzhost/TestPicture.h"

namespace dd7rfuzz {

namespace {

// The folder and its one file exist from first use to the end of the process.
class ImageDirectory {
public:
    ImageDirectory() {
        directory_ = makeDirectory();
        if (directory_.empty()) return;
        const std::vector<std::uint8_t> file = encodeInFormat(3, makePicture(7, 5, 3));
        if (FILE* stream = std::fopen(filePath().c_str(), "wb")) {
            std::fwrite(file.data(), 1, file.size(), stream);
            std::fclose(stream);
        }
    }
    ~ImageDirectory() {
        if (directory_.empty()) return;
        std::error_code ignored;
        std::filesystem::remove_all(directory_, ignored);
    }
    ImageDirectory(const ImageDirectory&) = delete;
    ImageDirectory& operator=(const ImageDirectory&) = delete;

    const std::string& path() const { return directory_; }

private:
    // A new folder of its own under the system's temporary folder, with a trailing separator;
    // empty when none could be made.
    static std::string makeDirectory() {
        std::error_code error;
        const std::filesystem::path temporary = std::filesystem::temp_directory_path(error);
        if (error) return {};
        std::random_device random;
        for (int attempt = 0; attempt < 16; ++attempt) {
            const std::filesystem::path candidate = temporary / ("dd7r-fuzz-" + std::to_string(random()));
            if (std::filesystem::create_directory(candidate, error)) return (candidate / "").string();
        }
        return {};
    }
    std::string filePath() const { return directory_ + imageFileName(); }
    std::string directory_;
};

}  // namespace

std::vector<std::uint8_t> readImageFile(ByteReader& input) {
    const std::size_t format = input.choice(8);
    const std::uint32_t width = 1 + input.byte() % 24;
    const std::uint32_t height = 1 + input.byte() % 24;
    std::vector<std::uint8_t> file = encodeInFormat(format, makePicture(width, height, input.byte()));
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
