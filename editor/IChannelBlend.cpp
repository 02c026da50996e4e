#include "editor/IChannelBlend.h"

#include "raster/LICE_Pixel.h"

namespace {

constexpr int kModeByMethod[] = {
    LICE_COMBINE_COPY | LICE_USE_SOURCE_ALPHA, // normal
    LICE_COMBINE_COPY,                         // overwrite: the source's alpha is ignored
    LICE_COMBINE_ADD | LICE_USE_SOURCE_ALPHA,
    LICE_COMBINE_DODGE | LICE_USE_SOURCE_ALPHA,
};
constexpr int kMethods = static_cast<int>(sizeof kModeByMethod / sizeof kModeByMethod[0]);

} // namespace

int BlendMode(const IChannelBlend* blend) {
    if (!blend || blend->mMethod < 0 || blend->mMethod >= kMethods) return kModeByMethod[0];
    return kModeByMethod[blend->mMethod];
}

float BlendWeight(const IChannelBlend* blend) {
    return blend ? blend->mWeight : 1.0f;
}
