#pragma once

// The mouse buttons and modifier keys of one event. The window layer also sets R for a left
// click with the Command key.
struct IMouseMod {
    bool L = false; // left button
    bool R = false; // right button
    bool S = false; // Shift
    bool C = false; // Control
    bool A = false; // Alt (Option)

    constexpr IMouseMod(bool l = false, bool r = false, bool s = false, bool c = false,
                        bool a = false)
        : L(l), R(r), S(s), C(c), A(a) {}
};

// The keys a control is told about: space, the arrows, digits and letters (either case). The
// window layer maps the platform's keys onto these.
// clang-format off
enum EKeyCode {
    kKeySpace = 0,
    kKeyUpArrow,
    kKeyDownArrow,
    kKeyLeftArrow,
    kKeyRightArrow,
    kKeyDigit0, kKeyDigit1, kKeyDigit2, kKeyDigit3, kKeyDigit4,
    kKeyDigit5, kKeyDigit6, kKeyDigit7, kKeyDigit8, kKeyDigit9,
    kKeyAlphaA, kKeyAlphaB, kKeyAlphaC, kKeyAlphaD, kKeyAlphaE, kKeyAlphaF, kKeyAlphaG,
    kKeyAlphaH, kKeyAlphaI, kKeyAlphaJ, kKeyAlphaK, kKeyAlphaL, kKeyAlphaM, kKeyAlphaN,
    kKeyAlphaO, kKeyAlphaP, kKeyAlphaQ, kKeyAlphaR, kKeyAlphaS, kKeyAlphaT, kKeyAlphaU,
    kKeyAlphaV, kKeyAlphaW, kKeyAlphaX, kKeyAlphaY, kKeyAlphaZ,
};
// clang-format on
