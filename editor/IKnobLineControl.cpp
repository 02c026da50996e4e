#include "editor/IKnobLineControl.h"

#include "editor/IGraphics.h"

#include <cmath>

IKnobLineControl::IKnobLineControl(IPlugBase* plug, IRECT rect, int paramIdx, const IColor* color,
                                   double innerRadius, double outerRadius, double minAngle,
                                   double maxAngle, EDirection direction, double gearing)
    : IKnobControl(plug, rect, paramIdx, direction, gearing), mColor(color ? *color : COLOR_BLACK),
      mMinAngle(static_cast<float>(minAngle)), mMaxAngle(static_cast<float>(maxAngle)),
      mInnerRadius(static_cast<float>(innerRadius)), mOuterRadius(static_cast<float>(outerRadius)) {
    if (mOuterRadius == 0.0f) mOuterRadius = static_cast<float>(rect.R - rect.L) * 0.5f;
    mBlend = IChannelBlend(IChannelBlend::kBlendOverwrite, 1.0f);
}

bool IKnobLineControl::Draw(IGraphics* graphics) {
    const float cx = static_cast<float>(mRECT.L + mRECT.R) * 0.5f;
    const float cy = static_cast<float>(mRECT.T + mRECT.B) * 0.5f;
    const double v = mMinAngle + (static_cast<double>(mMaxAngle) - mMinAngle) * mValue;
    const float s = static_cast<float>(std::sin(v));
    const float c = static_cast<float>(std::cos(v));
    return graphics->DrawLine(&mColor, cx + mInnerRadius * s, cy - mInnerRadius * c,
                              cx + mOuterRadius * s, cy - mOuterRadius * c, &mBlend, true);
}
