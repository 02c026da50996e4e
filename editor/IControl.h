#pragma once

#include "editor/IChannelBlend.h"
#include "editor/IMouseMod.h"
#include "editor/IRECT.h"
#include "editor/IText.h"
#include "editor/RelaxedAtomic.h"

class IGraphics;
class IPlugBase;

// The base of every editor control: the area it draws in and the area that takes the mouse, the
// parameter it shows, its value (normalised 0..1 when bound) with a clamp range, and the flags
// the context's draw cycle reads. The context owns its controls; a control does not own the
// plug-in.
//
// Threads: a host thread may push a value (SetValueFromPlug) while the UI thread draws, so the
// value, its default and clamp range and the dirty and redraw flags are relaxed atomics.
// Everything else belongs to the UI thread.
class IControl {
public:
    IControl(IPlugBase* plug, IRECT rect, int paramIdx = -1,
             IChannelBlend blend = IChannelBlend(IChannelBlend::kBlendNormal));
    virtual ~IControl() = default;
    IControl(const IControl&) = delete;
    IControl& operator=(const IControl&) = delete;

    // UI thread. A right press prompts for a value (when prompting is enabled).
    virtual void OnMouseDown(int x, int y, IMouseMod* mod);
    virtual void OnMouseUp(int /*x*/, int /*y*/, IMouseMod* /*mod*/) {}
    virtual void OnMouseDrag(int /*x*/, int /*y*/, int /*dX*/, int /*dY*/, IMouseMod* /*mod*/) {}
    // Restores the default value, once the plug-in has pushed one.
    virtual void OnMouseDblClick(int x, int y, IMouseMod* mod);
    // Steps the value by d hundredths, or thousandths with Control or Shift.
    virtual void OnMouseWheel(int x, int y, IMouseMod* mod, int d);
    // True when the control took the key; false lets the host have it.
    virtual bool OnKeyDown(int /*x*/, int /*y*/, int /*key*/) { return false; }
    virtual void OnMouseOver(int /*x*/, int /*y*/, IMouseMod* /*mod*/) {}
    virtual void OnMouseOut() {}
    // UI thread, from the draw cycle. Draws into the context's bitmap; false when it could not.
    virtual bool Draw(IGraphics* graphics) = 0;
    // Any thread. The first value ever pushed becomes the double-click default and does not by
    // itself mark the control dirty; a later different value does, for two draw cycles.
    virtual void SetValueFromPlug(double value);
    // UI thread: a text entry without a parameter ended with this text.
    virtual void TextFromTextEntry(const char* /*text*/) {}
    virtual void Hide(bool hide);
    virtual void GrayOut(bool gray);
    virtual bool IsHit(int x, int y) { return mTargetRECT.Contains(x, y); }
    // Clamps the value into the clamp range (a value that is not finite becomes the low bound),
    // marks the control dirty and, when asked and bound, hands the value to the plug-in.
    virtual void SetDirty(bool pushParamToPlug = true);
    // After drawing: a change that arrived meanwhile keeps the control dirty one more cycle.
    virtual void SetClean();
    virtual bool IsDirty() { return mDirty; }
    virtual void OnGUIIdle() {}

    // A value as if the user had entered it: pushed to the plug-in when it differs.
    void SetValueFromUserInput(double value);
    // Asks the context to prompt for the bound parameter's value: a menu over the control for
    // parameters with display texts, else a 30 x 16 text box at its centre. Nothing when unbound,
    // when prompting is disabled, or when the index names no parameter.
    void PromptUserInput();
    void PromptUserInput(IRECT* textRect);

    IPlugBase* GetPlug() const { return mPlug; }
    int ParamIdx() const { return mParamIdx; }
    const IRECT& GetRECT() const { return mRECT; }
    const IRECT& GetTargetRECT() const { return mTargetRECT; }
    void SetTargetRECT(IRECT rect) { mTargetRECT = rect; }
    double GetValue() const { return mValue; }
    // Sets the value alone: nothing is clamped, drawn or pushed.
    void SetValue(double value) { mValue = value; }
    double GetDefaultValue() const { return mDefaultValue; }
    double GetClampLo() const { return mClampLo; }
    double GetClampHi() const { return mClampHi; }
    // Takes effect at the next SetDirty.
    void Clamp(double lo, double hi);
    bool IsHidden() const { return mHide; }
    bool IsGrayed() const { return mGrayed; }
    bool NeedsRedraw() const { return mRedraw; }
    const IChannelBlend& GetBlend() const { return mBlend; }
    IText* GetText() { return &mText; }
    void SetText(const IText& text) { mText = text; }
    int GetTextEntryLength() const { return mTextEntryLength; }
    void SetTextEntryLength(int length) { mTextEntryLength = length; }
    bool IsPromptDisabled() const { return mDisablePrompt; }
    void DisablePrompt(bool disable) { mDisablePrompt = disable; }
    bool GetDblAsSingleClick() const { return mDblAsSingleClick; }
    void SetDblAsSingleClick(bool single) { mDblAsSingleClick = single; }
    bool GetMOWhenGrayed() const { return mMOWhenGrayed; }
    void SetMOWhenGrayed(bool allow) { mMOWhenGrayed = allow; }

protected:
    int mTextEntryLength = 7; // characters a text entry accepts
    IText mText;
    IPlugBase* mPlug;
    IRECT mRECT;       // drawn and redrawn
    IRECT mTargetRECT; // takes the mouse
    int mParamIdx;
    RelaxedAtomic<double> mValue{0.0};
    RelaxedAtomic<double> mDefaultValue{-1.0}; // below 0 until the plug-in pushes a value
    RelaxedAtomic<double> mClampLo{0.0};
    RelaxedAtomic<double> mClampHi{1.0};
    RelaxedAtomic<bool> mDirty{true};
    bool mHide = false;
    bool mGrayed = false;
    RelaxedAtomic<bool> mRedraw{false};
    bool mDisablePrompt = true;
    bool mDblAsSingleClick = false;
    bool mMOWhenGrayed = false;
    IChannelBlend mBlend;
};
