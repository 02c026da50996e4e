// Prompting the user for a parameter's value: a menu of its display texts or a text entry.
#include "editor/IControl.h"
#include "editor/IGraphics.h"
#include "editor/IPopupMenu.h"
#include "plugin/IParam.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// The decimal number a text starts with (after blanks): sign, digits, fraction, exponent; 0 when
// it starts with none. Hexadecimal, "inf" and "nan" are not decimal numbers.
double leadingDecimal(const char* text) {
    const char* p = text;
    while (std::isspace(static_cast<unsigned char>(*p)))
        ++p;
    const char* start = p;
    if (*p == '+' || *p == '-') ++p;
    const char* digits = p;
    while (std::isdigit(static_cast<unsigned char>(*p)))
        ++p;
    bool any = p > digits;
    if (*p == '.') {
        const char* fraction = ++p;
        while (std::isdigit(static_cast<unsigned char>(*p)))
            ++p;
        any = any || p > fraction;
    }
    if (!any) return 0.0;
    if (*p == 'e' || *p == 'E') {
        const char* q = p + 1;
        if (*q == '+' || *q == '-') ++q;
        if (std::isdigit(static_cast<unsigned char>(*q))) {
            while (std::isdigit(static_cast<unsigned char>(*q)))
                ++q;
            p = q;
        }
    }
    char number[64];
    const size_t length = static_cast<size_t>(p - start);
    if (length >= sizeof number) return 0.0;
    std::memcpy(number, start, length);
    number[length] = 0;
    const double value = std::strtod(number, nullptr);
    return std::isfinite(value) ? value : 0.0;
}

bool choosesFromTexts(const IParam* param) {
    const int n = param->GetNDisplayTexts();
    return param->Type() == IParam::kTypeEnum || (param->Type() == IParam::kTypeBool && n > 0);
}

} // namespace

void IGraphics::PromptUserInput(IControl* control, IParam* param, IRECT* textRect) {
    if (!control || !param || !textRect) return;
    char current[IParam::kDisplaySize];
    if (!choosesFromTexts(param)) {
        param->GetDisplayForHost(param->mValue, false, current, false);
        CreateTextEntry(control, control->GetText(), textRect, current, param);
        return;
    }
    param->GetDisplayForHost(param->mValue, false, current, true);
    IPopupMenu menu;
    for (int i = 0, n = param->GetNDisplayTexts(); i < n; ++i) {
        const char* text = param->GetDisplayText(i);
        const int flags =
            std::strcmp(text, current) == 0 ? IPopupMenuItem::kChecked : IPopupMenuItem::kNoFlags;
        menu.AddItem(text, -1, flags);
    }
    if (CreateIPopupMenu(&menu, textRect))
        control->SetValueFromUserInput(param->GetNormalized(menu.GetChosenItemIdx()));
}

void IGraphics::SetFromStringAfterPrompt(IControl* control, IParam* param, const char* text) {
    if (!control || !param) return;
    if (!text) text = "";
    double value;
    if (param->Type() == IParam::kTypeBool || param->Type() == IParam::kTypeEnum) {
        int mapped = 0;
        param->MapDisplayText(text, &mapped);
        value = mapped;
    } else {
        value = leadingDecimal(text);
        if (param->mNegateDisplay) value = -value;
    }
    control->SetValueFromUserInput(param->GetNormalized(value));
}
