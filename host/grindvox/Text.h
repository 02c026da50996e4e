#pragma once

#include <cstdint>
#include <string>

// Small text conversions the command line and the listings share.

// A whole decimal number ("12", "-0.5", "1e3"); false for empty text, trailing characters,
// infinities and NaN.
bool ReadNumber(const std::string& text, double* value);
// Up to six significant digits, no trailing zeros: what a float parameter holds.
std::string FormatNumber(double value);
// ASCII letters compared without regard to case.
bool EqualIgnoringCase(const std::string& a, const std::string& b);
// 'aufx' as "aufx"; bytes outside printable ASCII as '?'.
std::string FourCharCodeText(uint32_t code);
