// Editors of several plug-in instances load, retain and release shared images on their own
// threads; the caches' locks keep every count and entry whole. Also run under ThreadSanitizer.
#include "tests/editor/DrawingTestSupport.h"

#include "editor/BitmapStorage.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

TEST(CacheConcurrency, EditorsOnSeveralThreadsShareImagesWithoutLosingACount) {
    constexpr int kThreads = 4;
    constexpr int kRounds = 300;
    const int before = IGraphics::s_bitmapCache.Count();
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t] {
            PictureGraphics graphics;
            graphics.Register(700, [] { return Solid(4, 4, 0xffffffffu); });
            graphics.Register(701 + t, [] { return Solid(2, 2, 0); });
            for (int i = 0; i < kRounds; ++i) {
                IBitmap shared = graphics.LoadIBitmap(700, "shared.png");
                IBitmap own = graphics.LoadIBitmap(701 + t, "own.png");
                IBitmap copy = shared;
                graphics.RetainBitmap(&copy);
                graphics.ReleaseBitmap(&copy);
                graphics.ReleaseBitmap(&own);
                graphics.ReleaseBitmap(&shared);
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    // Every handle given out was given back, so nothing is left over; two threads that loaded the
    // same picture at once may each have stored it, but each entry went with its last handle.
    EXPECT_EQ(before, IGraphics::s_bitmapCache.Count());
}
