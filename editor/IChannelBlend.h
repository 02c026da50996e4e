#pragma once

// How a drawing is combined with what the bitmap already holds: a method and a weight 0..1.
struct IChannelBlend {
    enum EBlendMethod { kBlendNormal = 0, kBlendOverwrite = 1, kBlendAdd = 2, kBlendDodge = 3 };

    int mMethod = kBlendNormal;
    float mWeight = 1.0f;

    constexpr IChannelBlend(int method = kBlendNormal, float weight = 1.0f)
        : mMethod(method), mWeight(weight) {}
};

// The rasteriser's blend word and weight for a blend. Every method but overwrite weights by the
// source's alpha; an unknown method blends as normal; no blend at all is a normal blend at full
// weight.
int BlendMode(const IChannelBlend* blend);
float BlendWeight(const IChannelBlend* blend);
