#include "MemoryFile.h"

#include <cstring>
#include <new>
#include <utility>

#include "TestSeamHooks.h"

namespace corona {
namespace detail {

MemoryFile* MemoryFile::Create(const void* data, int size) {
  if (data == nullptr || size <= 0) {
    return nullptr;
  }
  std::unique_ptr<unsigned char[]> bytes(new (std::nothrow) unsigned char[size]);
  if (!bytes) {
    return nullptr;
  }
  std::memcpy(bytes.get(), data, static_cast<std::size_t>(size));
  return new (std::nothrow) MemoryFile(std::move(bytes), size);
}

MemoryFile::MemoryFile(std::unique_ptr<unsigned char[]> bytes, int size)
    : bytes_(std::move(bytes)), size_(size) {
  CORONA_NOTE_FILE_MADE();
}

MemoryFile::~MemoryFile() { CORONA_NOTE_FILE_DESTROYED(); }

void MemoryFile::destroy() { delete this; }

int MemoryFile::read(void* buffer, int size) {
  if (buffer == nullptr || size <= 0) {
    return 0;
  }
  const int remaining = size_ - position_;
  const int count = size < remaining ? size : remaining;
  std::memcpy(buffer, bytes_.get() + position_, static_cast<std::size_t>(count));
  position_ += count;
  return count;
}

bool MemoryFile::seek(int position, SeekMode mode) {
  long long origin = 0;
  switch (mode) {
    case SEEK_FROM_BEGIN:
      origin = 0;
      break;
    case SEEK_FROM_CURRENT:
      origin = position_;
      break;
    case SEEK_FROM_END:
      origin = size_;
      break;
    default:
      return false;
  }
  const long long target = origin + position;
  if (target < 0 || target > size_) {
    return false;
  }
  position_ = static_cast<int>(target);
  return true;
}

}  // namespace detail
}  // namespace corona
