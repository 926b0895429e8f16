// Reordering and adding or dropping the alpha channel between the four RGB pixel formats.
#ifndef CORONA_CONVERT_IMAGE_H
#define CORONA_CONVERT_IMAGE_H

#include "PixelImage.h"

namespace corona {
namespace detail {

// A new image holding source's pixels in the target format; null when either format is not
// one of PF_R8G8B8A8, PF_R8G8B8, PF_B8G8R8A8, PF_B8G8R8 or memory runs out. A missing alpha
// channel becomes opaque (255); a dropped one is discarded.
PixelImage* ConvertPixels(PixelImage& source, PixelFormat target);

}  // namespace detail
}  // namespace corona

#endif  // CORONA_CONVERT_IMAGE_H
