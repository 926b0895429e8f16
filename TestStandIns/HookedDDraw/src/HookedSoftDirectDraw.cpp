#include "HookedDirectDraw.h"

namespace ddtest {

HookedDirectDraw* createHookedDirectDraw(const DDPIXELFORMAT& display) {
    return softddraw::SoftDirectDraw::create(display, softddraw::VideoMemory::Absent);
}

}  // namespace ddtest
