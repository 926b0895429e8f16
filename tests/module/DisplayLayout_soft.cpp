#include "DisplayLayout.h"

#include "softddraw/SoftDirectDraw.h"

namespace moduletest {

IDirectDraw7* createDirectDrawShowing(const DDPIXELFORMAT& layout) {
    return softddraw::SoftDirectDraw::create(layout, softddraw::VideoMemory::Absent);
}

}  // namespace moduletest
