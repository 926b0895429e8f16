#pragma once
// Textures name their pixel layout with the blend kernels' RGB mode; it is defined beside the
// kernels, which must not depend on textures.

#include "blend/RGBMode.h"
