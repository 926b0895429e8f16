#pragma once
// Floats from the host and the device become integers by truncation toward zero. A plain cast
// is undefined for NaN, infinities and values outside the integer's range, so every such
// conversion goes through these: NaN gives 0 and out-of-range values saturate.

#include <cmath>
#include <cstdint>
#include <limits>

namespace ZelUISystem {

inline std::int32_t truncateToInt32(float value) {
    if (std::isnan(value)) return 0;
    // 2^31 is exactly representable; every float below it truncates into range.
    if (value >= 2147483648.0f) return std::numeric_limits<std::int32_t>::max();
    if (value <= -2147483648.0f) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

inline std::uint32_t truncateToUint32(float value) {
    if (std::isnan(value) || value <= 0.0f) return 0;
    if (value >= 4294967296.0f) return std::numeric_limits<std::uint32_t>::max();
    return static_cast<std::uint32_t>(value);
}

// Unsigned sizes reported back to the host as floats stay positive above 2^31.
inline float unsignedToFloat(std::uint32_t value) { return static_cast<float>(value); }

}  // namespace ZelUISystem
