#include "system/DisplayFormat.h"

namespace dd7rdemo {

const char* displayFormatName(DisplayFormat format) {
    switch (format) {
        case DisplayFormat::Rgb565: return "565";
        case DisplayFormat::Rgb555: return "555";
        case DisplayFormat::Xrgb32: break;
    }
    return "32";
}

}  // namespace dd7rdemo
