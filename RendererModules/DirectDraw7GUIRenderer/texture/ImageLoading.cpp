// Textures from image files and from image files held in memory. Both read the whole file into
// memory, decode it through the image library and upload the pixels with loadFromMemory.

#include <climits>
#include <cstring>
#include <exception>
#include <fstream>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>

#include "diagnostics/SlotPrologue.h"
#include "corona.h"
#include "diagnostics/ReportedFailure.h"
#include "platform/FileAccess.h"
#include "platform/HostExceptions.h"
#include "texture/CDD7Texture.h"

namespace ZelUISystem {

namespace {

const char* const kEmptyFileName = "Texture file name should not be empty.";
const char* const kToWideFailed =
    "multi byte to wide char convert error when texture file name converting.";
const char* const kToNarrowFailed =
    "wide char to multi byte convert error when texture file name converting.";
const char* const kNameOutOfMemory = "Out of memory for texture file name converting.";
const char* const kOpenFailed = "CDD7Texture::loadFromFile -- load file error.";
const char* const kReadFailed = "CDD7Texture::loadFromFile -- read file error.";
const char* const kNoFileData =
    "CDD7Texture::loadFromFileData -- Failed to load image from file data.";
const char* const kNoCoronaFile = "Unable to create corona::File object";
const char* const kOpenImageFailed = "Unable to load image, corona::OpenImage failed";
const char* const kUnsupportedImage = "Unable to load image, unsurpotted image format.";
const char* const kConvertFailed = "Unable to convert image to RGBA or RGB";

// Conversion lengths outside 1..65535 units are refused.
constexpr int kMaxConvertedLength = 65535;

template <typename T>
std::unique_ptr<T[]> zeroedBuffer(std::size_t count) {
    return std::unique_ptr<T[]>(new (std::nothrow) T[count]());
}

// Re-encodes a UTF-8 path into the local multibyte code page (the file system's narrow names).
std::string toLocalCodePage(const std::string& utf8) {
    if (utf8.size() > static_cast<std::size_t>(INT_MAX)) throw std::runtime_error(kToWideFailed);
    const int utf8Length = static_cast<int>(utf8.size());
    const int wideLength = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), utf8Length, nullptr, 0);
    if (wideLength < 1 || wideLength > kMaxConvertedLength) throw std::runtime_error(kToWideFailed);
    auto wide = zeroedBuffer<WCHAR>(static_cast<std::size_t>(wideLength) + 1);
    if (!wide) throw std::runtime_error(kNameOutOfMemory);
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), utf8Length, wide.get(), wideLength);

    const int narrowLength =
        WideCharToMultiByte(CP_ACP, 0, wide.get(), -1, nullptr, 0, nullptr, nullptr);
    if (narrowLength < 1 || narrowLength > kMaxConvertedLength)
        throw std::runtime_error(kToNarrowFailed);
    auto narrow = zeroedBuffer<char>(static_cast<std::size_t>(narrowLength) + 1);
    if (!narrow) throw std::runtime_error(kNameOutOfMemory);
    WideCharToMultiByte(CP_ACP, 0, wide.get(), -1, narrow.get(), narrowLength, nullptr, nullptr);
    return std::string(narrow.get());
}

// Reads the whole open stream; an empty buffer with no error means "nothing to decode" (an
// empty file, or no memory for its bytes).
std::unique_ptr<std::uint8_t[]> readWholeFile(std::ifstream& stream, std::uint32_t& size) {
    const std::streamoff end = stream.tellg();
    if (end < 0 || static_cast<std::uint64_t>(end) > UINT32_MAX) throw std::runtime_error(kReadFailed);
    size = static_cast<std::uint32_t>(end);
    stream.seekg(0, std::ios::beg);
    std::unique_ptr<std::uint8_t[]> buffer(new (std::nothrow) std::uint8_t[size == 0 ? 1 : size]);
    if (!buffer) return buffer;
    stream.read(reinterpret_cast<char*>(buffer.get()), static_cast<std::streamsize>(size));
    if (!stream || stream.gcount() != static_cast<std::streamsize>(size))
        throw std::runtime_error(kReadFailed);
    return buffer;
}

// The image library's objects are freed only by destroy(); these hold them for a scope.
struct FileDestroyer {
    void operator()(corona::File* file) const { file->destroy(); }
};
struct ImageDestroyer {
    void operator()(corona::Image* image) const { image->destroy(); }
};
using ImageHandle = std::unique_ptr<corona::Image, ImageDestroyer>;

// The texture pixel format an image is uploaded in, after turning blue-first images red-first.
TextureFormat uploadFormatOf(ImageHandle& image) {
    switch (image->getFormat()) {
        case corona::PF_R8G8B8A8: return TEXFMT_RGBA;
        case corona::PF_R8G8B8: return TEXFMT_RGB;
        case corona::PF_B8G8R8A8:
            image.reset(corona::CorConvertImage(image.release(), corona::PF_R8G8B8A8));
            return TEXFMT_RGBA;
        case corona::PF_B8G8R8:
            image.reset(corona::CorConvertImage(image.release(), corona::PF_R8G8B8));
            return TEXFMT_RGB;
        default:
            throw std::runtime_error(kUnsupportedImage);
    }
}

std::uint32_t imageDimension(int value) { return value < 0 ? 0u : static_cast<std::uint32_t>(value); }

}  // namespace

const char* CDD7Texture::BuildPath(const char* name, const char* folder) {
    try {
        const std::string path = joinPath(name, folder);
        if (path.empty()) throw std::runtime_error(kEmptyFileName);
        resolvedPath = toLocalCodePage(path);
    } catch (const std::bad_alloc&) {
        throw std::runtime_error(kNameOutOfMemory);
    }
    return resolvedPath.c_str();
}

void CDD7Texture::loadFromFile(const char* name, const char* folder) {
    DD7R_SLOT(loadFromFile, name, folder);
    releaseSurface();
    source_ = rebuild::InPlace{};
    try {
        loadFromFileUnguarded(name, folder);
    } catch (const HostStandardError&) {
        source_ = rebuild::InPlace{};
        throw;  // the host's own exception goes back to it unchanged
    } catch (const std::bad_alloc&) {
        // Only the reading of the file is left to run out of memory: the name and the picture
        // have their own texts for it.
        source_ = rebuild::InPlace{};
        throw std::runtime_error(kReadFailed);
    } catch (const std::exception& error) {
        source_ = rebuild::InPlace{};
        throw std::runtime_error(error.what());
    }
}

void CDD7Texture::loadFromFileUnguarded(const char* name, const char* folder) {
    BuildPath(name, folder);
    std::ifstream stream;
    openFileAtEnd(stream, joinPath(name, folder));
    if (!stream) throw std::runtime_error(kOpenFailed);
    std::uint32_t size = 0;
    const std::unique_ptr<std::uint8_t[]> buffer = readWholeFile(stream, size);
    stream.close();
    if (!buffer || size == 0) return;
    // Made before decoding, so that nothing can fail once the picture is made.
    std::string loadedName = name == nullptr ? "" : name;
    std::string loadedFolder = folder == nullptr ? "" : folder;
    DecodeImage(buffer.get(), size);
    fileName.swap(loadedName);
    directory.swap(loadedFolder);
    source_ = rebuild::FromFile{};
}

void CDD7Texture::loadFromFileData(const std::uint8_t* data, std::uint32_t size) {
    DD7R_SLOT(loadFromFileData, data, size);
    releaseSurface();
    source_ = rebuild::InPlace{};
    if (data == nullptr || size == 0) raiseReported(kNoFileData);
    DecodeImage(data, size);
    Texture::loadFromFileData(data, size);
    // A file loaded earlier stays the first source; without memory for the copy of the bytes
    // the surface is restored in place.
    if (!fileName.empty())
        source_ = rebuild::FromFile{};
    else if (keptData != nullptr)
        source_ = rebuild::FromFileBytes{};
}

void CDD7Texture::DecodeImage(const std::uint8_t* data, std::uint32_t size) {
    if (size > static_cast<std::uint32_t>(INT_MAX)) throw std::runtime_error(kNoCoronaFile);
    std::unique_ptr<corona::File, FileDestroyer> file(
        corona::CorCreateMemoryFile(data, static_cast<int>(size)));
    if (!file) throw std::runtime_error(kNoCoronaFile);
    ImageHandle image(corona::CorConvertImage(
        corona::CorOpenImageFromFile(file.get(), corona::FF_AUTODETECT), corona::PF_DONTCARE));
    file.reset();
    if (!image) throw std::runtime_error(kOpenImageFailed);

    const TextureFormat format = uploadFormatOf(image);
    if (!image) throw std::runtime_error(kConvertFailed);
    const std::uint32_t height = imageDimension(image->getHeight());
    const std::uint32_t width = imageDimension(image->getWidth());
    // Decoded pixels are never kept: the file or its bytes are the texture's source, and may be
    // its own kept copy being decoded.
    loadPixels(image->getPixels(), width, height, format, PixelCopy::DontKeep);
}

}  // namespace ZelUISystem
