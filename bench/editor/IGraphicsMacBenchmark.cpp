// The cost of showing the editor through its Cocoa view: a whole 436 x 108 window redrawn by the
// context (every control drawn into the draw bitmap, the bitmap drawn into the view and sent to
// the X server), against XPutImage of the same number of pixels alone, in the same run on the
// same display. Each iteration waits for the server (XSync).
#include "editor/IControl.h"
#include "editor/IGraphicsMac.h"
#include "plugin/IPlugBase.h"

#include <AppKit/AppKit.h>
#include <benchmark/benchmark.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 436;
constexpr int kHeight = 108;

class Plug : public IPlugBase {
public:
    Plug()
        : IPlugBase(1, "2-2", 1, "Bench", "Bench", "Bench", 0x10000, 'bNch', 'BnCh', 0, false,
                    false, false) {
        GetParam(0)->InitDouble("Knob", 0.0, 0.0, 1.0, 0.001);
    }
    void BeginInformHostOfParamChange(int) override {}
    void InformHostOfParamChange(int, double) override {}
    void EndInformHostOfParamChange(int) override {}
    void InformHostOfProgramChange() override {}
    int GetSamplePos() override { return 0; }
    double GetTempo() override { return 0.0; }
    void GetTimeSig(int*, int*) override {}
    void GetTime(ITimeInfo*) override {}
    void ResizeGraphics(int, int) override {}
    void HostSpecificInit() override {}
    bool SendMidiMsg(IMidiMsg*) override { return false; }
    bool SendMidiMsgs(WDL_TypedBuf<IMidiMsg>*) override { return false; }
};

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

struct Scene {
    Plug plug;
    IGraphicsMac* graphics = nullptr; // owned by plug
    NSWindow* window = nullptr;
    NSView* view = nullptr;
    Display* display = nullptr;
    bool ok = false;
    Scene() {
        if (!GrindvoxAppKit_HasDisplay()) return;
        display = static_cast<Display*>(GrindvoxAppKit_Display());
        graphics = new IGraphicsMac(&plug, kWidth, kHeight);
        plug.AttachGraphics(graphics);
        graphics->AttachControl(new Background(&plug));
        window = new NSWindow(NSMakeRect(0, 0, kWidth, kHeight), NSBorderlessWindowMask,
                              NSBackingStoreBuffered, NO);
        view = static_cast<NSView*>(graphics->OpenWindow(window->contentView()));
        window->makeKeyAndOrderFront(nil);
        CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.2, false);
        ok = GrindvoxAppKit_XWindowOfView(view) != 0;
    }
};

Scene& scene() {
    static Scene s;
    return s;
}

void BM_EditorRedrawAndCopy(benchmark::State& state) {
    Scene& s = scene();
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
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_EditorRedrawAndCopy)->Unit(benchmark::kMicrosecond);

void BM_BareXPutImage(benchmark::State& state) {
    Scene& s = scene();
    if (!s.ok) {
        state.SkipWithError("no X display");
        return;
    }
    int screen = DefaultScreen(s.display);
    std::vector<char> pixels(kWidth * kHeight * 4, 0x40);
    XImage* image = XCreateImage(s.display, DefaultVisual(s.display, screen),
                                 static_cast<unsigned>(DefaultDepth(s.display, screen)), ZPixmap, 0,
                                 pixels.data(), kWidth, kHeight, 32, kWidth * 4);
    Window target = GrindvoxAppKit_XWindowOfView(s.view);
    GC gc = XCreateGC(s.display, target, 0, nullptr);
    for (auto _ : state) {
        XPutImage(s.display, target, gc, image, 0, 0, 0, 0, kWidth, kHeight);
        XSync(s.display, False);
    }
    XFreeGC(s.display, gc);
    image->data = nullptr;
    XDestroyImage(image);
    state.SetItemsProcessed(state.iterations() * kWidth * kHeight);
}
BENCHMARK(BM_BareXPutImage)->Unit(benchmark::kMicrosecond);

class Recorder : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (!run.error_occurred && run.iterations > 0)
                times[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

} // namespace

int main(int argc, char** argv) {
    NSAutoreleasePool* pool = new NSAutoreleasePool;
    benchmark::Initialize(&argc, argv);
    Recorder reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    double redraw = reporter.times["BM_EditorRedrawAndCopy"];
    double bare = reporter.times["BM_BareXPutImage"];
    if (redraw > 0 && bare > 0)
        printf("\n436 x 108 editor redraw and copy: %.1f us, bare XPutImage: %.1f us, ratio %.2f\n",
               redraw, bare, redraw / bare);
    pool->drain();
    return 0;
}
