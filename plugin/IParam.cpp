#include "plugin/IParam.h"

#include "plugin/FixedText.h"

#include <cstdio>
#include <cstring>

namespace {

// Decimals needed to show a value of this step: 1 gives 0, 0.1 gives 1, 0.001 gives 3; at most 6.
int precisionOfStep(double step) {
    int precision = 0;
    for (double x = step; precision <= 5; x *= 10.0) {
        if (std::floor(x) == x) break;
        ++precision;
    }
    return precision;
}

} // namespace

IParam::IParam() = default;

void IParam::InitBool(const char* name, bool defaultValue, const char* /*label*/) {
    if (mType == kTypeNone) mType = kTypeBool;
    CopyToField(mName, name);
    mLabel[0] = 0;
    mValue = mDefault = defaultValue ? 1.0 : 0.0;
    mMin = 0.0;
    mMax = 1.0;
    mStep = 1.0;
    mDisplayPrecision = 0;
    SetDisplayText(0, "off");
    SetDisplayText(1, "on");
}

void IParam::InitEnum(const char* name, int defaultValue, int nEnums) {
    if (mType == kTypeNone) mType = kTypeEnum;
    CopyToField(mName, name);
    mLabel[0] = 0;
    mValue = mDefault = defaultValue;
    mMin = 0.0;
    mMax = nEnums - 1 > 1 ? nEnums - 1 : 1;
    mStep = 1.0;
    mDisplayPrecision = 0;
}

void IParam::InitInt(const char* name, int defaultValue, int minValue, int maxValue,
                     const char* label) {
    if (mType == kTypeNone) mType = kTypeInt;
    CopyToField(mName, name);
    CopyToField(mLabel, label);
    mValue = mDefault = defaultValue;
    mMin = minValue;
    mMax = maxValue > static_cast<double>(minValue) + 1.0 ? maxValue : minValue + 1.0;
    mStep = 1.0;
    mDisplayPrecision = 0;
}

void IParam::InitDouble(const char* name, double defaultValue, double minValue, double maxValue,
                        double step, const char* label) {
    if (mType == kTypeNone) mType = kTypeDouble;
    CopyToField(mName, name);
    CopyToField(mLabel, label);
    mValue = mDefault = defaultValue;
    mMin = minValue;
    mMax = maxValue > minValue + step ? maxValue : minValue + step;
    mStep = step;
    mDisplayPrecision = precisionOfStep(step);
}

void IParam::Set(double value) {
    if (value != value) return;
    mValue = value < mMin ? mMin : (value > mMax ? mMax : value);
}

void IParam::SetShape(double shape) {
    if (shape != 0.0) mShape = shape;
}

bool IParam::SetDisplayText(int value, const char* text) {
    const int n = mDisplayTexts.GetSize();
    DisplayText* texts = mDisplayTexts.Resize(n + 1, false);
    if (!texts) return false;
    texts[n].mValue = value;
    CopyToField(texts[n].mText, text);
    return true;
}

void IParam::GetBounds(double& minValue, double& maxValue) const {
    minValue = mMin;
    maxValue = mMax;
}

double IParam::DBToAmp() const {
    return std::exp(mValue * 0.1151292546497);
}

double IParam::GetNormalized(double value) const {
    const double range = mMax - mMin;
    if (!(range > 0.0)) return 0.0;
    value = value < mMin ? mMin : (value > mMax ? mMax : value);
    return std::pow((value - mMin) / range, 1.0 / mShape);
}

double IParam::FromNormalized(double normalizedValue) const {
    return mMin + (mMax - mMin) * std::pow(normalizedValue, mShape);
}

void IParam::SetNormalized(double normalizedValue) {
    double value = FromNormalized(normalizedValue);
    if (mType != kTypeDouble && mStep > 0.0) value = mStep * std::floor(value / mStep + 0.5);
    mValue = value < mMax ? value : mMax;
}

const char* IParam::GetDisplayText(int value) const {
    const DisplayText* texts = mDisplayTexts.Get();
    for (int i = 0; i < mDisplayTexts.GetSize(); ++i) {
        if (texts[i].mValue == value) return texts[i].mText;
    }
    return "";
}

const IParam::DisplayText* IParam::GetDisplayTextAtIdx(int index) const {
    if (index < 0 || index >= mDisplayTexts.GetSize()) return nullptr;
    return mDisplayTexts.Get() + index;
}

bool IParam::MapDisplayText(const char* text, int* value) const {
    if (!text) return false;
    const DisplayText* texts = mDisplayTexts.Get();
    for (int i = 0; i < mDisplayTexts.GetSize(); ++i) {
        if (std::strcmp(texts[i].mText, text) == 0) {
            if (value) *value = texts[i].mValue;
            return true;
        }
    }
    return false;
}

void IParam::GetDisplayForHost(double value, bool normalized, char* buffer,
                               bool withDisplayText) const {
    if (normalized) value = FromNormalized(value);

    if (withDisplayText && GetNDisplayTexts() > 0) {
        const char* text = GetDisplayText(TruncateToInt(value));
        if (text[0]) {
            std::snprintf(buffer, kDisplaySize, "%s", text);
            return;
        }
    }

    const double shown = mNegateDisplay ? -value : value;
    if (mDisplayPrecision > 0) {
        std::snprintf(buffer, kDisplaySize, "%.*f", mDisplayPrecision, shown);
    } else {
        std::snprintf(buffer, kDisplaySize, "%d", TruncateToInt(shown));
    }
}
