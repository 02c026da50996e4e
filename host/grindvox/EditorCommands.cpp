// grindvox edit and grindvox screenshot: the unit's editor through its Cocoa view, as a macOS
// host shows it, on the X display or drawn into memory; edit --embed goes through the Carbon
// view into a window of grindvox's own, as an older host does.
#include "host/grindvox/Commands.h"
#include "host/grindvox/EditorView.h"
#include "host/grindvox/OutputTarget.h"
#include "host/grindvox/PngFile.h"
#include "host/grindvox/UnitDriver.h"

#include <AppKit/AppKit.h>
#include <AudioToolbox/AudioToolbox.h>
#include <AudioUnit/AudioUnitCarbonView.h>
#include <Carbon/Carbon.h>

#include <csignal>
#include <cstdio>

namespace {

Failure openUnit(const Invocation& invocation, UnitDriver* unit) {
    Failure failure = unit->Open();
    if (failure.Failed()) return failure;
    return ApplyUnitSettings(*unit, invocation.unit);
}

// ---- screenshot ----

// The view is the size the editor is shown at: its own, or twice it at display scale 2.
Failure snapshot(NSView* view, const ScreenshotOptions& options, const std::string& path) {
    const NSRect bounds = view->bounds();
    NSBitmapImageRep* rep = view->bitmapImageRepForCachingDisplayInRect(bounds);
    if (!rep || rep->pixelsWide() <= 0) return RunError("the editor's view could not be drawn");
    view->cacheDisplayInRect_toBitmapImageRep(bounds, rep);
    const int bytesPerPixel = (int)rep->bitsPerPixel() / 8;
    if (!WriteRgbPng(path, rep->bitmapData(), (int)rep->pixelsWide(), (int)rep->pixelsHigh(),
                     (int)rep->bytesPerRow(), bytesPerPixel))
        return RunError("cannot write " + options.output);
    return {};
}

// ---- edit ----

volatile std::sig_atomic_t sStopSignal = 0;

void stopOnSignal(int signal) {
    sStopSignal = signal;
}

// Prints every parameter change the unit posts, as it happens.
void printChange(void* refCon, void* /*object*/, const AudioUnitEvent* event, UInt64 /*time*/,
                 AudioUnitParameterValue value) {
    const auto* unit = static_cast<const UnitDriver*>(refCon);
    if (event->mEventType != kAudioUnitEvent_ParameterValueChange) return;
    const AudioUnitParameterID id = event->mArgument.mParameter.mParameterID;
    for (const UnitDriver::Parameter& parameter : unit->Parameters()) {
        if (parameter.id != id) continue;
        std::printf("%s = %s\n", parameter.name.c_str(),
                    unit->DescribeValue(parameter, value).c_str());
        std::fflush(stdout);
        return;
    }
}

// Ends the run loop when the user closes the window.
class CloseWatcher : public NSWindowDelegate {
public:
    void windowWillClose(NSNotification*) override { closed = true; }
    bool closed = false;
};

// Listens to the unit's parameter changes for as long as it lives.
class ChangePrinter {
public:
    explicit ChangePrinter(const UnitDriver& unit) {
        if (AUEventListenerCreate(printChange, const_cast<UnitDriver*>(&unit), nullptr, nullptr,
                                  0.0f, 0.0f, &mListener) != noErr)
            return;
        AudioUnitEvent event = {};
        event.mEventType = kAudioUnitEvent_ParameterValueChange;
        event.mArgument.mParameter = {unit.Unit(), kAUParameterListener_AnyParameter,
                                      kAudioUnitScope_Global, 0};
        AUEventListenerAddEventType(mListener, nullptr, &event);
    }
    ~ChangePrinter() {
        if (mListener) AUListenerDispose(mListener);
    }
    ChangePrinter(const ChangePrinter&) = delete;
    ChangePrinter& operator=(const ChangePrinter&) = delete;

private:
    AUEventListenerRef mListener = nullptr;
};

// The unit's Carbon view component open, or null when it has none.
AudioUnitCarbonView openCarbonView(AudioUnit unit) {
    ComponentDescription description = {};
    UInt32 size = sizeof description;
    if (AudioUnitGetProperty(unit, kAudioUnitProperty_GetUIComponentList, kAudioUnitScope_Global, 0,
                             &description, &size) != noErr)
        return nullptr;
    Component component = FindNextComponent(nullptr, &description);
    AudioUnitCarbonView view = nullptr;
    if (!component || OpenAComponent(component, &view) != noErr) return nullptr;
    return view;
}

// Pumps the run loop until the window is closed or a signal asks to stop. Returns the signal, 0
// for a closed window; closes the window when it is still open.
int runUntilClosed(NSWindow* window, CloseWatcher& watcher) {

    struct sigaction action = {}, oldInt = {}, oldTerm = {};
    action.sa_handler = stopOnSignal;
    sigaction(SIGINT, &action, &oldInt);
    sigaction(SIGTERM, &action, &oldTerm);
    while (!watcher.closed && !sStopSignal)
        CFRunLoopRunInMode(kCFRunLoopDefaultMode, 0.05, false);
    sigaction(SIGINT, &oldInt, nullptr);
    sigaction(SIGTERM, &oldTerm, nullptr);

    if (!watcher.closed) window->close();
    window->setDelegate(nullptr);
    return sStopSignal;
}

NSWindow* newHostWindow(NSSize size, CloseWatcher* watcher) {
    auto* window =
        new NSWindow(NSMakeRect(100, 100, size.width, size.height),
                     NSTitledWindowMask | NSClosableWindowMask, NSBackingStoreBuffered, NO);
    window->setDelegate(watcher);
    window->setReleasedWhenClosed(NO);
    window->setTitle(NSString::stringWithUTF8String("Grindvox"));
    return window;
}

// Shows the view in a window of its own until it is closed or a signal asks to stop.
int runWindow(NSView* view) {
    CloseWatcher watcher;
    NSWindow* window = newHostWindow(view->frame().size, &watcher);
    window->setContentView(view);
    window->makeKeyAndOrderFront(nil);
    int signal = runUntilClosed(window, watcher);
    window->release();
    return signal;
}

// The editor embedded in a window of grindvox's own: the window's X id goes to the unit's
// Carbon view, which makes the editor's pane inside it; the window then takes the pane's size.
Failure runEmbedded(AudioUnit unit, int* signal) {
    AudioUnitCarbonView view = openCarbonView(unit);
    if (!view) return RunError("the unit has no Carbon view to embed");
    CloseWatcher watcher;
    NSWindow* window = newHostWindow(NSMakeSize(436, 108), &watcher);
    window->makeKeyAndOrderFront(nil);
    unsigned long xid = GrindvoxAppKit_XWindowOfView(window->contentView());
    const Float32Point location = {0, 0}, size = {0, 0};
    ControlRef pane = nullptr;
    OSStatus status = AudioUnitCarbonViewCreate(
        view, unit, reinterpret_cast<WindowRef>(static_cast<uintptr_t>(xid)), nullptr, &location,
        &size, &pane);
    Failure failure;
    if (status != noErr || !pane) {
        failure = RunError("the unit's Carbon view made no editor in the window");
    } else {
        Rect bounds = {};
        GetControlBounds(pane, &bounds);
        NSRect frame = window->frame();
        frame.size = NSMakeSize(bounds.right, bounds.bottom);
        window->setFrame_display(frame, YES);
        *signal = runUntilClosed(window, watcher);
    }
    CloseComponent(view);
    if (!watcher.closed) window->close();
    window->release();
    return failure;
}

} // namespace

Failure RunScreenshot(const Invocation& invocation) {
    OutputTarget target;
    Failure failure = ExamineOutput(invocation.screenshot.output, invocation.noClobber, &target);
    if (failure.Failed()) return failure;
    UnitDriver unit;
    if ((failure = openUnit(invocation, &unit)).Failed()) return failure;
    // A picture does not depend on the screen it happens to be made on.
    GrindvoxAppKit_SetBackingScaleFactor(invocation.scale ? invocation.scale : 1);
    // What the view autoreleases (its timer, the snapshot's image and contexts) goes with this
    // pool, once the view is gone.
    NSAutoreleasePool* pool = new NSAutoreleasePool;
    {
        EditorView editor;
        failure = editor.Open(unit.Unit());
        if (!failure.Failed())
            failure = snapshot(editor.View(), invocation.screenshot, target.path);
    }
    pool->drain();
    return failure;
}

Failure RunEdit(const Invocation& invocation) {
    if (!GrindvoxAppKit_HasDisplay())
        return RunError("edit needs an X display, and none could be opened (is DISPLAY set?)");
    OutputTarget stateTarget;
    Failure failure;
    if (!invocation.unit.saveState.empty() &&
        (failure = ExamineOutput(invocation.unit.saveState, invocation.noClobber, &stateTarget))
            .Failed())
        return failure;
    UnitDriver unit;
    if ((failure = openUnit(invocation, &unit)).Failed()) return failure;
    if (invocation.scale) GrindvoxAppKit_SetBackingScaleFactor(invocation.scale);
    int signal = 0;
    {
        // What the windows autorelease (their closing notes) goes with this pool.
        NSAutoreleasePool* pool = new NSAutoreleasePool;
        ChangePrinter printer(unit);
        if (invocation.embed) {
            failure = runEmbedded(unit.Unit(), &signal);
        } else {
            EditorView editor;
            failure = editor.Open(unit.Unit());
            if (!failure.Failed()) signal = runWindow(editor.View());
        }
        pool->drain();
        if (failure.Failed()) return failure;
    }
    if ((failure = SaveUnitState(unit, invocation.unit, invocation.noClobber)).Failed())
        return failure;
    if (signal) return {static_cast<ExitStatus>(128 + signal), "interrupted"};
    return {};
}
