#pragma once

#include "gdi/SWELL_Types.h"

// Fonts, text metrics and text drawing. Faces are looked up by name; a missing face falls back
// to the closest face installed. Text is UTF-8 (text that is not valid UTF-8 reads as Latin-1).

// A font of |height| pixels (|width| when height is 0): the point size is 0.95 times that for
// sizes 2 to 8192, 9.5 otherwise. Weight 700 and above is drawn bold; italic as an oblique.
// quality is DEFAULT_QUALITY (anti-aliased), NONANTIALIASED_QUALITY or ANTIALIASED_QUALITY; any
// other value counts as DEFAULT_QUALITY. Strike-out, charset, precisions, escapement and pitch
// are ignored; orientation is kept but text is not rotated. The caller deletes the font with
// DeleteObject.
HFONT CreateFont(int height, int width, int escapement, int orientation, int weight, char italic,
                 char underline, char strikeOut, char charSet, char outPrecision,
                 char clipPrecision, char quality, char pitchAndFamily, const char* faceName);
HFONT CreateFontIndirect(const LOGFONT* font);

// Fills tm from the context's selected font (a 10-point face when none is selected) and
// returns 1. Returns 0 for an invalid context or null tm; tm, when given, then holds height 16,
// ascent 12, descent 4, internal leading 3 and average width 10.
BOOL GetTextMetrics(HDC ctx, TEXTMETRIC* tm);

// Draws len bytes of text (len -1: up to the NUL; at most 4095 characters) into rect with the
// context's font, text colour and background mode, aligned and clipped by flags (DT_...).
// With DT_CALCRECT nothing is drawn and rect's right and bottom are grown to the text's size.
// Returns the text's height in pixels, or 0 for an invalid context or empty text.
int SWELL_DrawText(HDC ctx, const char* text, int len, RECT* rect, int flags);
