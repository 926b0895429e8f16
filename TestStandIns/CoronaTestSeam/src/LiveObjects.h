// Counts of library objects not yet destroyed, reported through the test seam.
#ifndef CORONA_LIVE_OBJECTS_H
#define CORONA_LIVE_OBJECTS_H

#include <atomic>

namespace corona {
namespace detail {

std::atomic<int>& LiveImages();
std::atomic<int>& LiveFiles();

}  // namespace detail
}  // namespace corona

#endif  // CORONA_LIVE_OBJECTS_H
