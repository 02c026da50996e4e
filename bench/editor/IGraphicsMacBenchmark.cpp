// The cost of showing the editor through its Cocoa view: a whole 436 x 108 window redrawn by the
// context (every control drawn into the draw bitmap, the bitmap drawn into the view and sent to
// the X server), against XPutImage of the same number of pixels alone, in the same run on the
// same display; and the same at display scale 2, where the view is 872 x 216 and the bitmap is
// enlarged bilinearly on the way. Each iteration waits for the server (XSync).
#include "bench/support/BenchPlug.h"
#include "bench/support/ResultsReporter.h"
#include "editor/IControl.h"
#include "editor/IGraphicsMac.h"

#include <AppKit/AppKit.h>

#include <benchmark/benchmark.h>

// Xlib defines macros (Bool) that the project's headers use as names: it comes last.
#include "bench/support/BareXPutImage.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 436;
constexpr int kHeight = 108;

// Paints the whole editor, a row at a time, the way a background picture would.
class Background : public IControl {
public:
    explicit Background(IPlugBase* plug) : IControl(plug, IRECT(0, 0, kWidth, kHeight)) {}
    bool Draw(IGraphics* graphics) override {
        unsigned int* bits = graphics->GetBits();
        for (int i = 0; i < kWidth * kHeight; ++i)
            bits[i] = 0x80402000u + static_cast<unsigned>(i);
        return true;
    }
};

// The editor shown at a display scale (the argument of each benchmark).
struct Scene {
    BenchPlug plug{1};
    IGraphicsMac* graphics = nullptr; // owned by plug
    NSWindow* window = nullptr;
    NSView* view = nullptr;
    Display* display = nullptr;
    bool ok = false;
    explicit Scene(int scale) {
        if (!GrindvoxAppKit_HasDisplay()) return;
        display = static_cast<Display*>(GrindvoxAppKit_Display());
        graphics = new IGraphicsMac(&plug, kWidth, kHeight);
        plug.AttachGraphics(graphics);
        graphics->AttachControl(new Background(&plug));
        graphics->SetDisplayScale(scale);
        window = new NSWindow(NSMakeRect(0, 0, kWidth * scale, kHeight * scale),
                              NSBorderlessWindowMask, NSBackingStoreBuffered, NO);
        view = static_cast<NSView*>(graphics->OpenWindow(window->contentView()));
        window->makeKeyAndOrderFront(nil);
        CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.2, false);
        ok = GrindvoxAppKit_XWindowOfView(view) != 0;
    }
    // Before the run loop goes at exit: the view's timer lives in it.
    ~Scene() {
        if (graphics) graphics->CloseWindow();
        if (window) window->close();
    }
};

std::unique_ptr<Scene> gScenes[2];

Scene& scene(int scale) {
    std::unique_ptr<Scene>& s = gScenes[scale == 2 ? 1 : 0];
    if (!s) s = std::make_unique<Scene>(scale);
    return *s;
}

void BM_EditorRedrawAndCopy(benchmark::State& state) {
    const int scale = static_cast<int>(state.range(0));
    Scene& s = scene(scale);
    if (!s.ok) {
        state.SkipWithError("no X display");
        return;
    }
    for (auto _ : state) {
        s.graphics->SetAllControlsDirty();
        s.view->setNeedsDisplay(YES);
        s.view->displayIfNeeded();
        XSync(s.display, False);
    }
    NSAutoreleasePool::drainOuterPool();
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight * scale * scale);
}
BENCHMARK(BM_EditorRedrawAndCopy)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

void BM_BareXPutImage(benchmark::State& state) {
    const int scale = static_cast<int>(state.range(0));
    Scene& s = scene(scale);
    if (!s.ok) {
        state.SkipWithError("no X display");
        return;
    }
    const int w = kWidth * scale, h = kHeight * scale;
    std::vector<char> pixels(static_cast<size_t>(w) * h * 4, 0x40);
    MeasureBareXPutImage(state, s.display, GrindvoxAppKit_XWindowOfView(s.view), pixels.data(), w,
                         h);
}
BENCHMARK(BM_BareXPutImage)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// The redraw and copy beside a bare copy of the same size, at each scale; wall-clock time, as
// the X server does half the work.
class WindowReporter : public ResultsReporter {
public:
    WindowReporter() : ResultsReporter(Clock::kReal) {}

protected:
    void Summarise() override {
        std::printf("\n");
        for (int scale : {1, 2}) {
            const std::string arg = "/" + std::to_string(scale);
            const double redraw = Result("BM_EditorRedrawAndCopy" + arg);
            const double bare = Result("BM_BareXPutImage" + arg);
            if (redraw <= 0 || bare <= 0) continue;
            std::printf(
                "%d x %d editor redraw and copy: %.1f us, bare XPutImage: %.1f us, ratio %.2f\n",
                kWidth * scale, kHeight * scale, redraw, bare, redraw / bare);
        }
    }
};

} // namespace

int main(int argc, char** argv) {
    NSAutoreleasePool* pool = new NSAutoreleasePool;
    WindowReporter reporter;
    const int status = RunBenchmarks(argc, argv, &reporter);
    for (std::unique_ptr<Scene>& s : gScenes)
        s.reset();
    pool->drain();
    return status;
}
