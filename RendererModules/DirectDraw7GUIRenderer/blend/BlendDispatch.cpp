#include "blend/BlendDispatch.h"

namespace ZelUISystem {

BlendColorAlphaFunction selectBlendColorAlpha(const blend::CpuFeatures& features) {
    if (features.avx2) return BlendColorAlphaAVX2;
    return features.sse2 ? BlendColorAlphaSSE2 : BlendColorAlpha;
}

BlendAlphaFunction selectBlendAlpha(const blend::CpuFeatures& features) {
    if (features.avx2) return BlendAlphaAVX2;
    return features.sse2 ? BlendAlphaSSE2 : BlendAlphaMMX;
}

BlendHalfFunction selectBlendHalfMMX(const blend::CpuFeatures& features) {
    return features.sse2 ? BlendHalfSSE2 : BlendHalfMMX;
}

}  // namespace ZelUISystem
