#pragma once

#include "host/grindvox/ExitStatus.h"

#include <AudioUnit/AudioUnit.h>

class NSView;
class NSObject;

// The unit's editor as a macOS host gets it: the CocoaUI property names the view factory
// class, the class is looked up by name and made, and the factory is asked for a view of the
// unit. Holds the factory (and a reference on the view) until destroyed; main thread.
class EditorView {
public:
    EditorView() = default;
    ~EditorView();
    EditorView(const EditorView&) = delete;
    EditorView& operator=(const EditorView&) = delete;

    // A failure says which step found nothing: no CocoaUI property, no class of that name, or
    // no view.
    Failure Open(AudioUnit unit);
    NSView* View() const { return mView; }

private:
    NSObject* mFactory = nullptr; // owned
    NSView* mView = nullptr;      // retained
};
