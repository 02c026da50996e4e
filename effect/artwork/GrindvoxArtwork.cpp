// Draws Grindvox's editor pictures with the project's own rasteriser and writes them as PNG:
//
//   grindvox_artwork OUTDIR
//
// writes background.png, knob.png, mode_knob.png, filter_switch.png and parallel_switch.png
// into OUTDIR. The build runs it to fill the component's Resources folder, so the pictures
// always match the layout the editor loads (see GrindvoxLayout.h for the sizes it relies on).
//
// The panel's look is a dark anodised face with warm amber for everything that shows a value.
// Under the controls the panel only changes from row to row, never across, so every control
// frame starts as a copy of the panel rows it covers and sits on the background seamlessly at
// any of the slots.

#include "effect/GrindvoxLayout.h"
#include "gdi/SWELL_Objects.h"
#include "gdi/SWELL_Text.h"
#include "raster/lice.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace {

constexpr double kPi = 3.14159265358979323846;

// The palette.
const LICE_pixel kPanelTop = LICE_MakePixel(0x3a, 0x3b, 0x40, 255);
const LICE_pixel kPanelBottom = LICE_MakePixel(0x22, 0x23, 0x27, 255);
const LICE_pixel kInk = LICE_MakePixel(0xee, 0xe6, 0xd6, 255);
const LICE_pixel kInkDim = LICE_MakePixel(0x8c, 0x89, 0x84, 255);
const LICE_pixel kInkFaint = LICE_MakePixel(0x5c, 0x5b, 0x5a, 255);
const LICE_pixel kAmber = LICE_MakePixel(0xff, 0xa8, 0x2e, 255);
const LICE_pixel kAmberDeep = LICE_MakePixel(0xc2, 0x5a, 0x10, 255);
const LICE_pixel kAmberDark = LICE_MakePixel(0x4a, 0x30, 0x18, 255);
const LICE_pixel kBlack = LICE_MakePixel(0, 0, 0, 255);
const LICE_pixel kWhite = LICE_MakePixel(255, 255, 255, 255);
const LICE_pixel kKnobRim = LICE_MakePixel(0x16, 0x16, 0x19, 255);
const LICE_pixel kKnobBody = LICE_MakePixel(0x45, 0x46, 0x4c, 255);
const LICE_pixel kKnobFace = LICE_MakePixel(0x52, 0x53, 0x5a, 255);
const LICE_pixel kWell = LICE_MakePixel(0x17, 0x17, 0x1a, 255);

constexpr int kModeCopy = LICE_COMBINE_COPY;

float channel(LICE_pixel p, int shift) {
    return (float)((p >> shift) & 0xff) / 255.0f;
}

// A font of the panel, owned by the caller's LICE_CachedFont (which deletes the GDI font).
void setFont(LICE_CachedFont& font, int pixels, bool bold) {
    HFONT f = CreateFont(-pixels, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, 0, 0, 0, 0, 0, 0,
                         ANTIALIASED_QUALITY, 0, "DejaVu Sans");
    font.SetFromHFont(f, LICE_CACHEDFONT_OWNS_FONT);
    font.SetBkMode(TRANSPARENT);
    font.SetCombineMode(kModeCopy, 1.0f);
}

void drawText(LICE_IBitmap* bm, LICE_CachedFont& font, const char* text, int l, int t, int r, int b,
              LICE_pixel colour, unsigned int flags) {
    RECT rect = {l, t, r, b};
    font.SetTextColor(colour);
    font.DrawText(bm, text, -1, &rect, flags | DT_SINGLELINE | DT_NOPREFIX);
}

// Text with a one-pixel dark shadow below it, as if engraved into the panel.
void drawEngraved(LICE_IBitmap* bm, LICE_CachedFont& font, const char* text, int l, int t, int r,
                  int b, LICE_pixel colour, unsigned int flags) {
    font.SetCombineMode(kModeCopy, 0.6f);
    drawText(bm, font, text, l, t + 1, r, b + 1, kBlack, flags);
    font.SetCombineMode(kModeCopy, 1.0f);
    drawText(bm, font, text, l, t, r, b, colour, flags);
}

// The point at radius r and angle a (radians, 0 at 12 o'clock, clockwise) around (cx, cy).
void polar(float cx, float cy, float r, double a, float* x, float* y) {
    *x = cx + r * (float)std::sin(a);
    *y = cy - r * (float)std::cos(a);
}

// A line of about two pixels' width between two radii at one angle.
void radialLine(LICE_IBitmap* bm, float cx, float cy, float r0, float r1, double a,
                LICE_pixel colour, float alpha, float width) {
    const float nx = (float)std::cos(a) * 0.5f;
    const float ny = (float)std::sin(a) * 0.5f;
    const int passes = width > 1.5f ? 2 : 1;
    for (int i = 0; i < passes; ++i) {
        const float off = passes == 1 ? 0.0f : (i == 0 ? -1.0f : 1.0f) * (width - 1.0f) * 0.5f;
        float x0, y0, x1, y1;
        polar(cx + nx * off * 2.0f, cy + ny * off * 2.0f, r0, a, &x0, &y0);
        polar(cx + nx * off * 2.0f, cy + ny * off * 2.0f, r1, a, &x1, &y1);
        LICE_FLine(bm, x0, y0, x1, y1, colour, alpha, kModeCopy, true);
    }
}

// An arc band of the given width, drawn as close concentric outlines.
void arcBand(LICE_IBitmap* bm, float cx, float cy, float r, float width, double a0, double a1,
             LICE_pixel colour, float alpha) {
    for (float d = 0.0f; d < width; d += 0.5f)
        LICE_Arc(bm, cx, cy, r - d, (float)a0, (float)a1, colour, alpha * 0.7f, kModeCopy, true);
}

// A glowing lamp: a halo, the lens and a highlight.
void lamp(LICE_IBitmap* bm, float cx, float cy, bool lit) {
    if (lit) {
        LICE_FillCircle(bm, cx, cy, 5.5f, kAmber, 0.18f, kModeCopy, true);
        LICE_FillCircle(bm, cx, cy, 4.2f, kAmber, 0.3f, kModeCopy, true);
    }
    LICE_FillCircle(bm, cx, cy, 3.0f, kKnobRim, 1.0f, kModeCopy, true);
    LICE_FillCircle(bm, cx, cy, 2.4f, lit ? kAmber : kAmberDark, 1.0f, kModeCopy, true);
    LICE_FillCircle(bm, cx - 0.7f, cy - 0.8f, 0.9f, lit ? kWhite : kInkFaint, lit ? 0.8f : 0.35f,
                    kModeCopy, true);
}

// The panel's face: a vertical gradient with a faint line pattern every other row (the
// machine's grille), a bevel at the top and bottom edges.
void drawPanelFace(LICE_IBitmap* bm) {
    const int w = bm->getWidth();
    const int h = bm->getHeight();
    const float span = (float)(h - 1);
    LICE_GradRect(bm, 0, 0, w, h, channel(kPanelTop, 8), channel(kPanelTop, 16),
                  channel(kPanelTop, 24), 1.0f, 0, 0, 0, 0,
                  (channel(kPanelBottom, 8) - channel(kPanelTop, 8)) / span,
                  (channel(kPanelBottom, 16) - channel(kPanelTop, 16)) / span,
                  (channel(kPanelBottom, 24) - channel(kPanelTop, 24)) / span, 0, kModeCopy);
    for (int y = 0; y < h; y += 2)
        LICE_FillRect(bm, 0, y, w, 1, kBlack, 0.06f, kModeCopy);
    LICE_FillRect(bm, 0, 0, w, 1, kWhite, 0.22f, kModeCopy);
    LICE_FillRect(bm, 0, 1, w, 1, kWhite, 0.08f, kModeCopy);
    LICE_FillRect(bm, 0, h - 1, w, 1, kBlack, 0.5f, kModeCopy);
    LICE_FillRect(bm, 0, h - 2, w, 1, kBlack, 0.25f, kModeCopy);
}

void drawScrew(LICE_IBitmap* bm, float cx, float cy, double angle) {
    LICE_FillCircle(bm, cx + 0.5f, cy + 0.8f, 3.6f, kBlack, 0.45f, kModeCopy, true);
    LICE_FillCircle(bm, cx, cy, 3.4f, LICE_MakePixel(0x6e, 0x6f, 0x74, 255), 1.0f, kModeCopy, true);
    LICE_FillCircle(bm, cx - 0.6f, cy - 0.6f, 2.0f, LICE_MakePixel(0x8e, 0x8f, 0x94, 255), 0.6f,
                    kModeCopy, true);
    float x0, y0, x1, y1;
    polar(cx, cy, 2.6f, angle, &x0, &y0);
    polar(cx, cy, 2.6f, angle + kPi, &x1, &y1);
    LICE_FLine(bm, x0, y0, x1, y1, kKnobRim, 0.9f, kModeCopy, true);
}

// The background: name plate, labels over the slots and the recessed strip the controls sit
// in. Nothing under the controls varies across a row.
void drawBackground(LICE_IBitmap* bm) {
    using namespace grindvox_layout;
    drawPanelFace(bm);

    LICE_CachedFont title, tag, label;
    setFont(title, 19, true);
    setFont(tag, 9, false);
    setFont(label, 9, true);

    // The name, with an amber underline that suggests a level meter.
    drawEngraved(bm, title, "GRINDVOX", kFirstControlX, 3, 240, 26, kInk, DT_LEFT | DT_VCENTER);
    RECT extent = {0, 0, 0, 0};
    title.DrawText(bm, "GRINDVOX", -1, &extent, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    const int nameRight = kFirstControlX + (extent.right - extent.left);
    for (int i = 0, x = kFirstControlX; x + 3 <= nameRight; ++i, x += 5) {
        const LICE_pixel c = i < 11 ? kAmber : (i < 14 ? kAmberDeep : kInkFaint);
        LICE_FillRect(bm, x, 26, 4, 2, c, 1.0f, kModeCopy);
    }
    drawEngraved(bm, tag, "LO-FI FILTER / DEGRADER", nameRight + 10, 9, 300, 23, kInkDim,
                 DT_LEFT | DT_VCENTER);
    drawEngraved(bm, tag, "TOLVA SONICS", 300, 9, kEditorWidth - 20, 23, kInkDim,
                 DT_RIGHT | DT_VCENTER);

    // One label over each slot.
    for (int k = 0; k < kNumControls; ++k) {
        const int l = ControlLeft(k);
        drawEngraved(bm, label, kControlLabels[k], l - 4, 29, l + kSlotWidth, 39, kInk,
                     DT_CENTER | DT_VCENTER);
    }

    drawScrew(bm, 8.0f, 8.0f, 0.6);
    drawScrew(bm, (float)kEditorWidth - 9.0f, 8.0f, 2.1);
    drawScrew(bm, 8.0f, (float)kEditorHeight - 9.0f, 1.3);
    drawScrew(bm, (float)kEditorWidth - 9.0f, (float)kEditorHeight - 9.0f, 0.2);
}

// Starts a control frame as the panel rows it will cover.
void panelUnder(LICE_IBitmap* frame, LICE_IBitmap* background) {
    using namespace grindvox_layout;
    LICE_Blit(frame, background, 0, 0, ControlLeft(0), kControlTop, frame->getWidth(),
              frame->getHeight(), 1.0f, kModeCopy);
}

// One knob frame: pos 0..1 of the travel, 270 degrees from 7:30 to 4:30.
void drawKnob(LICE_IBitmap* bm, double pos) {
    const float cx = 27.5f, cy = 27.0f;
    const double a0 = -0.75 * kPi, a1 = 0.75 * kPi;
    const double a = a0 + (a1 - a0) * pos;

    // Scale: eleven ticks, longer at both ends and the middle.
    for (int i = 0; i <= 10; ++i) {
        const double ta = a0 + (a1 - a0) * i / 10.0;
        const bool major = i == 0 || i == 5 || i == 10;
        radialLine(bm, cx, cy, 22.0f, major ? 25.5f : 24.0f, ta, major ? kInk : kInkDim,
                   major ? 0.9f : 0.75f, 1.0f);
    }
    // The travel: a dark groove and the amber part up to the value.
    arcBand(bm, cx, cy, 20.5f, 1.5f, a0, a1, kWell, 1.0f);
    if (pos > 0.0) arcBand(bm, cx, cy, 20.5f, 1.5f, a0, a, kAmber, 1.0f);

    // The cap: shadow, rim, body, a lighter face and a highlight to the upper left.
    LICE_FillCircle(bm, cx + 0.8f, cy + 1.6f, 17.0f, kBlack, 0.45f, kModeCopy, true);
    LICE_FillCircle(bm, cx, cy, 17.0f, kKnobRim, 1.0f, kModeCopy, true);
    LICE_FillCircle(bm, cx, cy, 15.5f, kKnobBody, 1.0f, kModeCopy, true);
    LICE_FillCircle(bm, cx - 0.6f, cy - 0.8f, 13.0f, kKnobFace, 1.0f, kModeCopy, true);
    LICE_Arc(bm, cx, cy, 15.0f, (float)(-0.5 * kPi), (float)(0.1 * kPi), kWhite, 0.22f, kModeCopy,
             true);
    LICE_Arc(bm, cx, cy, 15.0f, (float)(0.7 * kPi), (float)(1.2 * kPi), kBlack, 0.3f, kModeCopy,
             true);
    // Grip dents round the edge.
    for (int i = 0; i < 16; ++i) {
        const double ga = a + i * kPi / 8.0 + kPi / 16.0;
        float x, y;
        polar(cx, cy, 14.3f, ga, &x, &y);
        LICE_FillCircle(bm, x, y, 0.9f, kKnobRim, 0.55f, kModeCopy, true);
    }
    // The pointer.
    radialLine(bm, cx, cy, 4.0f, 13.0f, a, kInk, 1.0f, 2.0f);
    float tx, ty;
    polar(cx, cy, 12.5f, a, &tx, &ty);
    LICE_FillCircle(bm, tx, ty, 1.4f, kInk, 1.0f, kModeCopy, true);
}

// The mix-mode selector: a small pointer knob with the four modes round its top, the chosen
// one lit.
void drawModeSelector(LICE_IBitmap* bm, LICE_CachedFont& font, int mode) {
    static const char* const kSymbols[] = {">", "+", "x", "-"};
    static const double kAngles[] = {-0.40 * kPi, -0.14 * kPi, 0.14 * kPi, 0.40 * kPi};
    const float cx = 27.5f, cy = 32.0f;
    for (int i = 0; i < 4; ++i) {
        float x, y;
        polar(cx, cy, 23.0f, kAngles[i], &x, &y);
        const bool on = i == mode;
        radialLine(bm, cx, cy, 14.5f, 16.5f, kAngles[i], on ? kAmber : kInkFaint, 1.0f, 1.0f);
        if (on) LICE_FillCircle(bm, x, y, 6.0f, kAmber, 0.16f, kModeCopy, true);
        const int ix = (int)std::lround(x), iy = (int)std::lround(y);
        drawText(bm, font, kSymbols[i], ix - 8, iy - 8, ix + 8, iy + 7, on ? kAmber : kInkDim,
                 DT_CENTER | DT_VCENTER);
    }
    LICE_FillCircle(bm, cx + 0.8f, cy + 1.5f, 12.5f, kBlack, 0.45f, kModeCopy, true);
    LICE_FillCircle(bm, cx, cy, 12.5f, kKnobRim, 1.0f, kModeCopy, true);
    LICE_FillCircle(bm, cx, cy, 11.2f, kKnobBody, 1.0f, kModeCopy, true);
    LICE_FillCircle(bm, cx - 0.5f, cy - 0.6f, 9.2f, kKnobFace, 1.0f, kModeCopy, true);
    LICE_Arc(bm, cx, cy, 10.8f, (float)(-0.5 * kPi), (float)(0.1 * kPi), kWhite, 0.22f, kModeCopy,
             true);
    radialLine(bm, cx, cy, 2.5f, 9.5f, kAngles[mode], kInk, 1.0f, 2.0f);
    // The names of the modes, small, under the knob.
    static const char* const kNames[] = {"SERIAL", "AVERAGE", "RING", "DIFF"};
    LICE_CachedFont small;
    setFont(small, 8, true);
    drawText(bm, small, kNames[mode], 0, 46, bm->getWidth(), 56, kAmber, DT_CENTER | DT_VCENTER);
}

// The filter type: three lamps with their names in a dark well, the chosen one lit.
void drawFilterSwitch(LICE_IBitmap* bm, LICE_CachedFont& font, int type) {
    static const char* const kNames[] = {"LPF", "HPF", "BPF"};
    LICE_FillRect(bm, 5, 5, 46, 46, kBlack, 0.25f, kModeCopy);
    LICE_FillRect(bm, 6, 6, 44, 44, kWell, 1.0f, kModeCopy);
    LICE_RoundRect(bm, 5, 5, 45, 45, 4, kWhite, 0.12f, kModeCopy, true);
    for (int i = 0; i < 3; ++i) {
        const int rowTop = 9 + i * 13;
        const bool on = i == type;
        if (on) LICE_FillRect(bm, 8, rowTop, 40, 12, kAmber, 0.12f, kModeCopy);
        lamp(bm, 15.0f, (float)rowTop + 5.5f, on);
        drawText(bm, font, kNames[i], 21, rowTop - 1, 48, rowTop + 12, on ? kAmber : kInkDim,
                 DT_LEFT | DT_VCENTER);
    }
}

// The parallel path: a lamp above a latching push button.
void drawParallelSwitch(LICE_IBitmap* bm, LICE_CachedFont& font, bool on) {
    lamp(bm, 27.5f, 10.0f, on);
    const int l = 8, t = 20, w = 39, h = 26;
    const int press = on ? 1 : 0;
    LICE_FillRect(bm, l - 1, t - 1, w + 3, h + 4, kBlack, 0.35f, kModeCopy);
    LICE_FillRect(bm, l, t + press, w + 1, h + 1, kKnobRim, 1.0f, kModeCopy);
    LICE_FillRect(bm, l + 1, t + 1 + press, w - 1, h - 1, on ? kKnobBody : kKnobFace, 1.0f,
                  kModeCopy);
    LICE_FillRect(bm, l + 1, t + 1 + press, w - 1, 1, kWhite, on ? 0.1f : 0.25f, kModeCopy);
    drawText(bm, font, on ? "ON" : "OFF", l, t + press, l + w + 1, t + h + press,
             on ? kAmber : kInkDim, DT_CENTER | DT_VCENTER);
}

bool writeStrip(const std::string& dir, const char* name, LICE_IBitmap* bm) {
    const std::string path = dir + "/" + name;
    if (LICE_WritePNG(path.c_str(), bm, false)) return true;
    fprintf(stderr, "grindvox_artwork: cannot write %s\n", path.c_str());
    return false;
}

// A strip of n frames of the given size, each drawn by draw(frame bitmap, frame index).
template <class Draw>
bool makeStrip(const std::string& dir, const char* name, LICE_IBitmap* background, int w, int h,
               int n, Draw draw) {
    LICE_MemBitmap strip(w, h * n);
    LICE_MemBitmap frame(w, h);
    for (int i = 0; i < n; ++i) {
        panelUnder(&frame, background);
        draw(&frame, i);
        LICE_Blit(&strip, &frame, 0, i * h, 0, 0, w, h, 1.0f, kModeCopy);
    }
    return writeStrip(dir, name, &strip);
}

} // namespace

int main(int argc, char** argv) {
    using namespace grindvox_layout;
    if (argc != 2) {
        fprintf(stderr, "usage: grindvox_artwork OUTDIR\n");
        return 2;
    }
    const std::string dir = argv[1];

    LICE_MemBitmap background(kEditorWidth, kEditorHeight);
    drawBackground(&background);
    bool ok = writeStrip(dir, "background.png", &background);

    LICE_CachedFont switchFont, symbolFont;
    setFont(switchFont, 10, true);
    setFont(symbolFont, 14, true);

    ok &= makeStrip(dir, "knob.png", &background, kControlWidth, kControlHeight, kKnobFrames,
                    [](LICE_IBitmap* f, int i) { drawKnob(f, i / (double)(kKnobFrames - 1)); });
    ok &= makeStrip(dir, "mode_knob.png", &background, kControlWidth, kControlHeight, kModeFrames,
                    [&](LICE_IBitmap* f, int i) { drawModeSelector(f, symbolFont, i); });
    ok &= makeStrip(dir, "filter_switch.png", &background, kControlWidth, kControlHeight,
                    kFilterFrames,
                    [&](LICE_IBitmap* f, int i) { drawFilterSwitch(f, switchFont, i); });
    ok &= makeStrip(dir, "parallel_switch.png", &background, kControlWidth, kControlHeight,
                    kParallelFrames,
                    [&](LICE_IBitmap* f, int i) { drawParallelSwitch(f, switchFont, i != 0); });
    return ok ? 0 : 1;
}
