#pragma once

#include "containers/WDL_TypedBuf.h"

#include <climits>
#include <cmath>

// Truncates toward zero, as C does, but answers 0 for NaN and the nearest int for values
// outside its range instead of leaving the result undefined.
inline int TruncateToInt(double value) {
    if (!(value == value)) return 0;
    if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(value);
}

// One automatable value of the plug-in: its kind, bounds, step and the shaping exponent between
// the plain value and the normalised 0..1 value that hosts and controls exchange, a name and a
// unit label for the host, and a table mapping integer values to display texts. The plug-in base
// owns its parameters; a parameter owns its display-text table.
class IParam {
public:
    enum EParamType { kTypeNone = 0, kTypeBool = 1, kTypeInt = 2, kTypeEnum = 3, kTypeDouble = 4 };

    static constexpr int kNameSize = 32;     // names, labels and texts keep 31 characters
    static constexpr int kDisplaySize = 128; // a GetDisplayForHost buffer holds this many bytes

    struct DisplayText {
        int mValue;
        char mText[kNameSize];
    };

    IParam();

    // Each sets the kind only while it is still kTypeNone, so a kind set earlier survives.
    void InitBool(const char* name, bool defaultValue, const char* label = "");
    void InitEnum(const char* name, int defaultValue, int nEnums);
    void InitInt(const char* name, int defaultValue, int minValue, int maxValue,
                 const char* label = "");
    void InitDouble(const char* name, double defaultValue, double minValue, double maxValue,
                    double step, const char* label = "");

    // Stores the value clamped into the bounds, without step rounding; NaN is ignored.
    void Set(double value);
    void SetShape(double shape);
    // False when the table could not grow; the table is then unchanged.
    bool SetDisplayText(int value, const char* text);

    EParamType Type() const { return mType; }
    double Value() const { return mValue; }
    bool Bool() const { return mValue >= 0.5; }
    int Int() const { return TruncateToInt(mValue); }
    double Default() const { return mDefault; }
    double GetStep() const { return mStep; }
    double GetShape() const { return mShape; }
    int GetPrecision() const { return mDisplayPrecision; }
    void GetBounds(double& minValue, double& maxValue) const;
    double DBToAmp() const;

    double GetNormalized() const { return GetNormalized(mValue); }
    double GetNormalized(double value) const;
    void SetNormalized(double normalizedValue);

    const char* GetNameForHost() const { return mName; }
    const char* GetLabelForHost() const { return mLabel; }

    int GetNDisplayTexts() const { return mDisplayTexts.GetSize(); }
    // The text of the first record for the value, or "".
    const char* GetDisplayText(int value) const;
    // Entry `index` of the table in insertion order; null outside it.
    const DisplayText* GetDisplayTextAtIdx(int index) const;
    // Case-sensitive exact match; the first record wins.
    bool MapDisplayText(const char* text, int* value) const;

    // Writes the display string into buffer, which holds kDisplaySize bytes.
    void GetDisplayForHost(double value, bool normalized, char* buffer,
                           bool withDisplayText = true) const;
    void GetDisplayForHost(char* buffer, bool withDisplayText = true) const {
        GetDisplayForHost(mValue, false, buffer, withDisplayText);
    }

    EParamType mType = kTypeNone;
    double mValue = 0.0;
    double mMin = 0.0;
    double mMax = 1.0;
    double mStep = 1.0;
    double mShape = 1.0;
    double mDefault = 0.0;
    int mDisplayPrecision = 0; // decimals shown; 0 shows an integer
    char mName[kNameSize] = {};
    char mLabel[kNameSize] = {};
    bool mNegateDisplay = false;
    bool mSignDisplay = false;
    bool mCanAutomate = true;
    WDL_TypedBuf<DisplayText> mDisplayTexts{4096};

private:
    double FromNormalized(double normalizedValue) const;
};
