#include "LiveObjects.h"

namespace corona {
namespace detail {

std::atomic<int>& LiveImages() {
  static std::atomic<int> count{0};
  return count;
}

std::atomic<int>& LiveFiles() {
  static std::atomic<int> count{0};
  return count;
}

}  // namespace detail
}  // namespace corona
