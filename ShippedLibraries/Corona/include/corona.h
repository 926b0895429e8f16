// The image library the renderer module decodes its image files with: memory files in,
// decoded images out. PNG, JPEG, BMP, TGA and GIF (first frame) are recognised.
//
// Objects are made by the library and freed only through their destroy() operation. Every
// entry point answers null instead of failing loudly: a file that cannot be decoded, is
// truncated or corrupt, or would decode to more than 8192 pixels in either direction gives
// null, never a crash.
#ifndef CORONA_H
#define CORONA_H

namespace corona {

enum FileFormat {
  FF_AUTODETECT = 0x0100,  // recognised from the file's first bytes
  FF_PNG = 0x0101,
  FF_JPEG = 0x0102,
  FF_BMP = 0x0104,
  FF_TGA = 0x0105,
  FF_GIF = 0x0106,
};

enum PixelFormat {
  PF_DONTCARE = 0x0200,  // CorConvertImage: keep whatever format the image has
  PF_R8G8B8A8 = 0x0201,
  PF_R8G8B8 = 0x0202,
  PF_I8 = 0x0203,  // one palette index per pixel; only test images have it
  PF_B8G8R8A8 = 0x0204,
  PF_B8G8R8 = 0x0205,
};

enum SeekMode {
  SEEK_FROM_BEGIN,
  SEEK_FROM_CURRENT,
  SEEK_FROM_END,
};

// A readable stream of bytes.
class File {
 public:
  virtual void destroy() = 0;
  // Copies up to size bytes into buffer; answers the count copied (0 at the end).
  virtual int read(void* buffer, int size) = 0;
  // Moves the position; false (position unchanged) when it would leave 0..length.
  virtual bool seek(int position, SeekMode mode) = 0;
  virtual int tell() = 0;

 protected:
  ~File() = default;
};

// A decoded picture: getWidth() x getHeight() pixels in getFormat(), rows tightly packed
// from the top, valid until destroy().
class Image {
 public:
  virtual void destroy() = 0;
  virtual int getWidth() = 0;
  virtual int getHeight() = 0;
  virtual PixelFormat getFormat() = 0;
  virtual void* getPixels() = 0;

 protected:
  ~Image() = default;
};

// A file reading from a private copy of size bytes at data; null when data is null or
// size <= 0 (or the copy cannot be made).
File* CorCreateMemoryFile(const void* data, int size);

// Decodes the whole file (from its start) as the given format; FF_AUTODETECT recognises the
// format from the bytes. Null for a null file or any failure. The file stays the caller's.
Image* CorOpenImageFromFile(File* file, FileFormat format);

// Converts the image to the given pixel format. The caller hands the image over: it is either
// returned (PF_DONTCARE, or already in that format), or destroyed and replaced by a new image,
// or destroyed and null returned when the conversion cannot be made (to or from PF_I8).
// Null in gives null out.
Image* CorConvertImage(Image* image, PixelFormat format);

}  // namespace corona

#endif  // CORONA_H
