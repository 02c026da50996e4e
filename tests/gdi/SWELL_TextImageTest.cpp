// Draws text in three faces, three sizes, every alignment and both qualities into a memory
// context and compares it pixel for pixel with tests/gdi/expected/text.png. The image depends
// on the DejaVu fonts and FreeType; after either package changes, look at the new picture
// (written to the build tree as tests/gdi/text.png) and, when it is right, regenerate with
//
//     GRINDVOX_REGENERATE_IMAGES=1 build/tests/gdi/gdi_image_tests
//
// which writes the expected image into the source tree.
#include "gdi/SWELL.h"

#include <gtest/gtest.h>

#include <png.h>
#include <stdlib.h>
#include <string.h>
#include <vector>

namespace {

const int kWidth = 480;
const int kCellWidth = 160;
const int kRowHeight = 34;
const char* const kFaces[] = {"DejaVu Sans", "DejaVu Serif", "DejaVu Sans Mono"};
const int kSizes[] = {12, 16, 24};
const char kQualities[] = {ANTIALIASED_QUALITY, NONANTIALIASED_QUALITY};
const int kAlignments[] = {DT_LEFT | DT_TOP, DT_CENTER | DT_VCENTER, DT_RIGHT | DT_BOTTOM};
const int kRows = 3 * 3 * 2 + 1;

// The frame buffer's red, green and blue bytes as RGB rows.
std::vector<unsigned char> RgbOf(HDC ctx, int w, int h) {
    const unsigned char* fb = static_cast<const unsigned char*>(SWELL_GetCtxFrameBuffer(ctx));
    std::vector<unsigned char> rgb(static_cast<size_t>(w) * h * 3);
    for (int i = 0; i < w * h; ++i)
        memcpy(&rgb[i * 3], fb + i * 4 + 1, 3);
    return rgb;
}

void DrawSample(HDC ctx) {
    RECT all = {0, 0, kWidth, kRows * kRowHeight};
    HBRUSH paper = CreateSolidBrush(0xffffff), frame = CreateSolidBrush(0xd0d0d0);
    SWELL_FillRect(ctx, &all, paper);
    SetTextColor(ctx, 0x202040);
    int row = 0;
    for (const char* face : kFaces)
        for (char quality : kQualities)
            for (int size : kSizes) {
                HFONT font =
                    CreateFont(-size, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, quality, 0, face);
                HGDIOBJ old = SelectObject(ctx, font);
                for (int cell = 0; cell < 3; ++cell) {
                    RECT r = {cell * kCellWidth + 2, row * kRowHeight + 1,
                              (cell + 1) * kCellWidth - 2, (row + 1) * kRowHeight - 1};
                    RECT line = {r.left, r.bottom, r.right, r.bottom + 1};
                    SWELL_FillRect(ctx, &line, frame);
                    SWELL_DrawText(ctx, "Quartz glyphs AV", -1, &r, kAlignments[cell]);
                }
                SelectObject(ctx, old);
                DeleteObject(font);
                ++row;
            }
    // Styles, opaque background and truncation on the last row.
    HFONT styled = CreateFont(-16, 0, 0, 0, FW_BOLD, 1, 1, 0, 0, 0, 0, 0, 0, "DejaVu Sans");
    SelectObject(ctx, styled);
    SetBkMode(ctx, OPAQUE);
    SetBkColor(ctx, 0xffe080);
    RECT r = {2, row * kRowHeight + 1, kCellWidth * 2 - 2, (row + 1) * kRowHeight - 1};
    SWELL_DrawText(ctx, "Bold italic underlined", -1, &r, DT_VCENTER | DT_SINGLELINE);
    SetBkMode(ctx, TRANSPARENT);
    r = {kCellWidth * 2 + 2, row * kRowHeight + 1, kWidth - 2, (row + 1) * kRowHeight - 1};
    SWELL_DrawText(ctx, "An ellipsis ends this long line", -1, &r, DT_VCENTER | DT_END_ELLIPSIS);
    SelectObject(ctx, reinterpret_cast<HGDIOBJ>(3));
    DeleteObject(styled);
    DeleteObject(paper);
    DeleteObject(frame);
}

bool WritePng(const char* path, const std::vector<unsigned char>& rgb, int w, int h) {
    png_image image;
    memset(&image, 0, sizeof(image));
    image.version = PNG_IMAGE_VERSION;
    image.width = w;
    image.height = h;
    image.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&image, path, 0, rgb.data(), w * 3, nullptr) != 0;
}

bool ReadPng(const char* path, std::vector<unsigned char>* rgb, int* w, int* h) {
    png_image image;
    memset(&image, 0, sizeof(image));
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path)) return false;
    image.format = PNG_FORMAT_RGB;
    rgb->resize(PNG_IMAGE_SIZE(image));
    *w = static_cast<int>(image.width);
    *h = static_cast<int>(image.height);
    return png_image_finish_read(&image, nullptr, rgb->data(), 0, nullptr) != 0;
}

} // namespace

TEST(TextImage, MatchesTheExpectedPicturePixelForPixel) {
    const int height = kRows * kRowHeight;
    HDC ctx = SWELL_CreateMemContext(nullptr, kWidth, height);
    ASSERT_NE(ctx, nullptr);
    DrawSample(ctx);
    std::vector<unsigned char> actual = RgbOf(ctx, kWidth, height);
    SWELL_DeleteGfxContext(ctx);

    ASSERT_TRUE(WritePng(GRINDVOX_ACTUAL_IMAGE, actual, kWidth, height));
    if (getenv("GRINDVOX_REGENERATE_IMAGES")) {
        ASSERT_TRUE(WritePng(GRINDVOX_EXPECTED_IMAGE, actual, kWidth, height));
        GTEST_SKIP() << "wrote " << GRINDVOX_EXPECTED_IMAGE;
    }
    std::vector<unsigned char> expected;
    int w = 0, h = 0;
    ASSERT_TRUE(ReadPng(GRINDVOX_EXPECTED_IMAGE, &expected, &w, &h)) << GRINDVOX_EXPECTED_IMAGE;
    ASSERT_EQ(w, kWidth);
    ASSERT_EQ(h, height);
    int differing = 0, first = -1;
    for (size_t i = 0; i < actual.size(); i += 3)
        if (memcmp(&actual[i], &expected[i], 3) != 0) {
            if (first < 0) first = static_cast<int>(i / 3);
            ++differing;
        }
    EXPECT_EQ(differing, 0) << "first at (" << first % kWidth << ", " << first / kWidth
                            << "); the drawn picture is " << GRINDVOX_ACTUAL_IMAGE;
}
