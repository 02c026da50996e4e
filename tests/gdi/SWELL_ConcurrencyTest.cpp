#include "gdi/SWELL.h"

#include <gtest/gtest.h>

#include <thread>

TEST(Pools, ContextsAndFontsComeAndGoOnTwoThreads) {
    auto work = [](int seed, int* drawn) {
        for (int i = 0; i < 150; ++i) {
            HDC ctx = SWELL_CreateMemContext(nullptr, 16 + (i + seed) % 8, 16);
            HFONT font =
                CreateFont(-10 - (i % 5), 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, ANTIALIASED_QUALITY,
                           0, i % 2 ? "DejaVu Sans" : "DejaVu Sans Mono");
            HBRUSH brush = CreateSolidBrush(i);
            if (!ctx || !font || !brush) continue;
            SelectObject(ctx, font);
            SetTextColor(ctx, 0xffffff);
            RECT r = {0, 0, 16, 16};
            *drawn += SWELL_DrawText(ctx, "Ag", -1, &r, 0) > 0;
            SelectObject(ctx, reinterpret_cast<HGDIOBJ>(3));
            DeleteObject(brush);
            DeleteObject(font);
            SWELL_DeleteGfxContext(ctx);
        }
    };
    int drawnA = 0, drawnB = 0;
    std::thread a(work, 0, &drawnA), b(work, 3, &drawnB);
    a.join();
    b.join();
    EXPECT_EQ(drawnA, 150);
    EXPECT_EQ(drawnB, 150);
}
