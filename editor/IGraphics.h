#pragma once

// The plug-in's editor context, as the plug-in base sees it. The base owns the attached
// editor and deletes it; the editor pushes user changes back through the base.
class IGraphics {
public:
    virtual ~IGraphics() = default;

    // Main or host thread. Shows a parameter's new value in the controls bound to it; `value` is
    // normalised when the flag is set, else plain.
    virtual void SetParameterFromPlug(int paramIdx, double value, bool normalized) = 0;
    // Main thread. Prepares the draw bitmap once all controls are attached.
    virtual void PrepDraw() = 0;
};
