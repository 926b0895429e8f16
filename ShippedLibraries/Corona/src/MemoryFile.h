// A file reading from the library's own copy of a caller's bytes.
#ifndef CORONA_MEMORY_FILE_H
#define CORONA_MEMORY_FILE_H

#include <memory>

#include "corona.h"

namespace corona {
namespace detail {

class MemoryFile final : public File {
 public:
  // Null when data is null, size <= 0 or the copy cannot be allocated.
  static MemoryFile* Create(const void* data, int size);

  void destroy() override;
  int read(void* buffer, int size) override;
  bool seek(int position, SeekMode mode) override;
  int tell() override { return position_; }

 private:
  MemoryFile(std::unique_ptr<unsigned char[]> bytes, int size);
  ~MemoryFile();

  std::unique_ptr<unsigned char[]> bytes_;
  int size_;
  int position_ = 0;
};

}  // namespace detail
}  // namespace corona

#endif  // CORONA_MEMORY_FILE_H
