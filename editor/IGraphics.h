#pragma once

// The plug-in's editor context, as the plug-in base sees it. The base owns the attached
// editor and deletes it; the editor pushes user changes back through the base.
//
// The audio side (plugin/, au/, lv2/) holds its editor through this header alone and calls it
// only through virtual operations, so it links nothing of the editor: keep every operation they
// call virtual, and include nothing from raster/ or gdi/ here (declare what is needed).
class IGraphics {
public:
    virtual ~IGraphics() = default;

    // Main or host thread. Shows a parameter's new value in the controls bound to it; `value` is
    // normalised when the flag is set, else plain.
    virtual void SetParameterFromPlug(int paramIdx, double value, bool normalized) = 0;
    // Main thread. Prepares the draw bitmap once all controls are attached.
    virtual void PrepDraw() = 0;
};
