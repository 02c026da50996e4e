#pragma once

#include "containers/WDL_PtrList.h"
#include "editor/IBitmap.h"
#include "editor/IChannelBlend.h"
#include "editor/IColor.h"
#include "editor/IRECT.h"

class BitmapStorage;
class FontStorage;
class IControl;
class IParam;
class IPlugBase;
class IPopupMenu;
class LICE_CachedFont;
class LICE_IBitmap;
class LICE_MemBitmap;
class LICE_SysBitmap;
class WDL_String;
struct IMouseMod;
struct IText;

enum EFileAction { kFileOpen = 0, kFileSave = 1 };

// The editor's graphics context, one per plug-in instance: it owns the controls (in drawing
// order, the background first) and the off-screen bitmaps, collects which controls need
// drawing, draws them, routes mouse and key input from the window to the control under the
// pointer, and keeps controls and parameters in step both ways. The plug-in owns the context
// once it is attached. The window operations are pure here: a window layer (or a test)
// supplies them.
//
// Layering: the plug-in base and the host adapters hold their editor as an IGraphics* and call
// it only through virtual operations of this class, so that they link nothing of the editor.
// This header therefore includes nothing of the rasteriser or the GDI layer (only forward
// declarations), and every operation those callers use must stay virtual.
//
// Threads: everything runs on the UI thread except SetParameterFromPlug, which host threads call
// under the plug-in's mutex. The context takes the same mutex where it changes the control
// list, and no lock anywhere else.
class IGraphics {
public:
    // refreshFPS 0 or below selects 25 redraw checks per second.
    IGraphics(IPlugBase* plug, int w, int h, int refreshFPS = 0);
    // Deletes the key catcher, then the controls from last to first, then the bitmaps.
    virtual ~IGraphics();
    IGraphics(const IGraphics&) = delete;
    IGraphics& operator=(const IGraphics&) = delete;

    // ---- The window interface: the window layer's side ----

    // Puts the draw bitmap on the screen; false when there is no screen to put it on.
    virtual bool DrawScreen(IRECT* rect) = 0;
    // Ends an open text entry, discarding what was typed.
    virtual void ForceEndUserEdit() = 0;
    // Ends any text entry and mouse-over, deletes every control (the key catcher stays) and
    // tells the plug-in the new size.
    virtual void Resize(int w, int h);
    virtual bool WindowIsOpen() { return GetWindow() != nullptr; }
    virtual const char* GetGUIAPI() { return ""; }
    // Shows the menu over the area and waits; returns the menu with its choice set when the
    // user picked an item, null otherwise. The caller keeps the menu.
    virtual IPopupMenu* CreateIPopupMenu(IPopupMenu* menu, IRECT* areaRect) = 0;
    // Opens an edit field over the area. When editing ends the window layer calls
    // SetFromStringAfterPrompt when a parameter is given, else the control's TextFromTextEntry.
    virtual void CreateTextEntry(IControl* control, IText* text, IRECT* textRect, const char* str,
                                 IParam* param) = 0;
    virtual void HostPath(WDL_String* path) = 0;
    virtual void PluginPath(WDL_String* path) = 0;
    // Modal. Leaves filename empty when the user cancels; extensions are separated by spaces.
    virtual void PromptForFile(WDL_String* filename, EFileAction action, WDL_String* dir,
                               const char* extensions) = 0;
    virtual bool PromptForColor(IColor* color, const char* prompt) = 0;
    // True when the address was opened; the three texts may be null.
    virtual bool OpenURL(const char* url, const char* title = nullptr,
                         const char* confirmMessage = nullptr,
                         const char* errorMessage = nullptr) = 0;
    // Makes the editor's view inside the parent (or without one); returns the view.
    virtual void* OpenWindow(void* parentView) = 0;
    // The form for hosts that hand over a window and a parent control; null where there is
    // no such host.
    virtual void* OpenWindow(void* /*window*/, void* /*control*/) { return nullptr; }
    virtual void AttachSubWindow(void* /*hostWindow*/) {}
    virtual void RemoveSubWindow() {}
    virtual void CloseWindow() = 0;
    // The open view, or null.
    virtual void* GetWindow() = 0;
    // A new bitmap from the plug-in's resources, or null; the caller hands it to the cache.
    virtual LICE_IBitmap* OSLoadBitmap(int ID, const char* name) = 0;

    // ---- What the plug-in base and the adapters call ----

    // Any thread, under the plug-in's mutex. Shows a parameter's value in every control bound
    // to it; the value is normalised when the flag is set, else plain. An index that names no
    // parameter of the plug-in does nothing.
    virtual void SetParameterFromPlug(int paramIdx, double value, bool normalized);
    // UI thread, once, when the plug-in attaches the context: makes the draw bitmap of the
    // editor's size and the scratch bitmap.
    virtual void PrepDraw();
    virtual int Width() const { return mWidth; }
    virtual int Height() const { return mHeight; }
    virtual int FPS() const { return mFPS; }
    // Device pixels per editor pixel of the open window (1 or 2); Width() and Height() stay in
    // editor pixels.
    virtual int DisplayScale() const { return 1; }

    // ---- Controls ----

    // Takes ownership and returns the control's index, or -1 (having deleted it) when the list
    // cannot grow.
    int AttachControl(IControl* control);
    // Takes ownership of the control that gets the keys no other control takes.
    void AttachKeyCatcher(IControl* control);
    IControl* GetControl(int idx) const { return mControls.Get(idx); }
    int NControls() const { return mControls.GetSize(); }
    IPlugBase* GetPlug() const { return mPlug; }

    // ---- The redraw cycle, on every timer tick ----

    // True when some control (hidden ones too) is dirty; rect then grows by the union of their
    // draw areas. Changes no control.
    bool IsDirty(IRECT* rect);
    // Draws the controls the area needs into the draw bitmap, cleans them and puts the bitmap on
    // the screen. True at once when there are no controls; false for a null area.
    bool Draw(IRECT* rect);
    // Marks every control dirty without pushing values to the plug-in.
    void SetAllControlsDirty();
    // Strict: draw every control meeting the repainted area. Otherwise: redraw each dirty
    // control's own area, everything beneath and above it included.
    void SetStrictDrawing(bool strict);
    void GrayOutControl(int paramIdx, bool gray);
    void HideControl(int paramIdx, bool hide);

    // ---- Values between controls and parameters ----

    // A control index outside the list does nothing.
    void SetControlFromPlug(int controlIdx, double normalizedValue);
    // Sets the clamp range of every control bound to the parameter; plain bounds are
    // normalised first. An index that names no parameter does nothing.
    void ClampControl(int paramIdx, double lo, double hi, bool normalized);
    // Every control bound to the parameter takes the value as user input, which pushes it on.
    void SetParameterFromGUI(int paramIdx, double normalizedValue);
    // A menu of the display texts for enumerated parameters (and Boolean ones with texts),
    // otherwise a text entry holding the current value. Nothing when an argument is null.
    void PromptUserInput(IControl* control, IParam* param, IRECT* textRect);
    // The end of a text entry: the text as a display text or a leading decimal number (0 when
    // neither) becomes the control's value. Nothing without a control or parameter.
    void SetFromStringAfterPrompt(IControl* control, IParam* param, const char* text);

    // ---- Input from the window, in editor coordinates ----

    void OnMouseDown(int x, int y, IMouseMod* mod);
    void OnMouseUp(int x, int y, IMouseMod* mod);
    void OnMouseDrag(int x, int y, IMouseMod* mod);
    // True when the click began a capture (a control that takes double clicks as single ones).
    bool OnMouseDblClick(int x, int y, IMouseMod* mod);
    void OnMouseWheel(int x, int y, IMouseMod* mod, int d);
    // Returns whether mouse-over events are handled at all.
    bool OnMouseOver(int x, int y, IMouseMod* mod);
    void OnMouseOut();
    // False lets the window pass the key on to the host.
    bool OnKeyDown(int x, int y, int key);
    // The captured control, else the topmost visible control that is hit (grayed ones only for
    // mouse-over, when they ask for it); -1 for none.
    int GetMouseControlIdx(int x, int y, bool mouseOver = false);
    void ReleaseMouseCapture();
    void HandleMouseOver(bool handle) { mHandleMouseOver = handle; }
    // The parameter under the point (not the background's), remembered for the next question.
    int GetParamIdxForPTAutomation(int x, int y);
    // The remembered parameter, once; -1 afterwards.
    int GetLastClickedParamForPTAutomation();
    void OnGUIIdle();

    // Puts an image at (0, 0) beneath every control, copied rather than blended.
    void AttachBackground(int ID, const char* name);
    // Puts a panel of one colour over the whole editor beneath every control; returns 0.
    int AttachPanelBackground(const IColor* color);

    // ---- Drawing, UI thread, into the draw bitmap ----
    // A blend of null is a normal blend at full weight. Every primitive draws nothing before
    // PrepDraw or with an image that has no pixels, and nothing ever lands outside the bitmap.
    // Bitmap copies are clipped to the area being drawn; shapes, text and rotated images only to
    // the bitmap.

    LICE_SysBitmap* GetDrawBitmap() const { return mDrawBitmap; }
    // The draw bitmap's pixels, or null before PrepDraw.
    unsigned int* GetBits();
    // The area being drawn right now; bitmap drawing is clipped to it.
    const IRECT& GetDrawRECT() const { return mDrawRECT; }
    void SetDrawRECT(const IRECT& rect) { mDrawRECT = rect; }

    // Writes the colour as it is, unblended; false (nothing written) for a point outside.
    bool ForcePixel(const IColor* color, int x, int y);
    // The colour at a point; transparent black outside the bitmap.
    IColor GetPoint(int x, int y);

    // Copies the part of the image starting at (srcX, srcY) into dest.
    bool DrawBitmap(IBitmap* bitmap, IRECT* dest, int srcX, int srcY,
                    const IChannelBlend* blend = nullptr);
    // Frame i (1-based) of a strip into dest.
    bool DrawBitmap(IBitmap* bitmap, IRECT* dest, int i, const IChannelBlend* blend = nullptr);
    // The whole image centred on a point, turned by angle radians (clockwise) about its centre
    // moved down by yOffsetZeroDeg.
    bool DrawRotatedBitmap(IBitmap* bitmap, int destCtrX, int destCtrY, double angle,
                           int yOffsetZeroDeg = 0, const IChannelBlend* blend = nullptr);
    // The base image at (x, y) with the mask and top layer turned by angle degrees over it; the
    // three are expected to share one size.
    bool DrawRotatedMask(IBitmap* base, IBitmap* mask, IBitmap* top, int x, int y, double angle,
                         const IChannelBlend* blend = nullptr);

    bool DrawPoint(const IColor* color, float x, float y, const IChannelBlend* blend = nullptr,
                   bool antiAlias = false);
    bool DrawLine(const IColor* color, float x1, float y1, float x2, float y2,
                  const IChannelBlend* blend = nullptr, bool antiAlias = false);
    // From radius rMin to rMax on the ray at angle radians, 0 pointing up, growing clockwise.
    bool DrawRadialLine(const IColor* color, float cx, float cy, float angle, float rMin,
                        float rMax, const IChannelBlend* blend = nullptr, bool antiAlias = false);
    // Angles in radians, 0 at the top, growing clockwise.
    bool DrawArc(const IColor* color, float cx, float cy, float r, float minAngle, float maxAngle,
                 const IChannelBlend* blend = nullptr, bool antiAlias = false);
    bool DrawCircle(const IColor* color, float cx, float cy, float r,
                    const IChannelBlend* blend = nullptr, bool antiAlias = false);
    bool RoundRect(const IColor* color, IRECT* rect, const IChannelBlend* blend, int cornerRadius,
                   bool antiAlias);
    bool FillIRect(const IColor* color, IRECT* rect, const IChannelBlend* blend = nullptr);
    bool FillCircle(const IColor* color, int cx, int cy, float r,
                    const IChannelBlend* blend = nullptr, bool antiAlias = false);
    bool FillIConvexPolygon(const IColor* color, int* x, int* y, int nPoints,
                            const IChannelBlend* blend = nullptr);
    bool FillTriangle(const IColor* color, int x1, int y1, int x2, int y2, int x3, int y3,
                      const IChannelBlend* blend);
    // Plain opaque copies, unblended.
    bool DrawHorizontalLine(const IColor* color, int yi, int xLo, int xHi);
    // y from 0 (the bottom edge) to 1 (the top edge), limited to that range.
    bool DrawHorizontalLine(const IColor* color, IRECT* rect, float y);
    bool DrawVerticalLine(const IColor* color, int xi, int yLo, int yHi);
    // x from 0 (the left edge) to 1 (the right edge), limited to that range.
    bool DrawVerticalLine(const IColor* color, IRECT* rect, float x);
    // The outline over columns L..R and rows T..B, both ends included.
    bool DrawRect(const IColor* color, IRECT* rect);

    // Draws the text from the top of the area, unclipped; true for no text at all, false when
    // the style's font cannot be made.
    bool DrawIText(IText* text, const char* str, IRECT* rect);
    // The shared font for the style, made on first use and kept in text->mCached; null when the
    // system cannot make it (nothing is cached then, so the next call tries again).
    LICE_CachedFont* CacheFont(IText* text);

    // ---- Images, shared by every editor of the process ----

    // The image with this resource id: from the cache when any editor loaded it before, else
    // loaded by name and cached. A missing picture caches nothing and gives an empty handle.
    // nStates is the number of frames stacked in the image.
    IBitmap LoadIBitmap(int ID, const char* name, int nStates = 1);
    // Hands the image to the cache (or takes one more reference on an image it holds).
    void RetainBitmap(IBitmap* bitmap);
    // Gives back one reference; the image is destroyed with the last.
    void ReleaseBitmap(IBitmap* bitmap);
    // A new cached image: the whole source scaled bilinearly to the size; frames scale together.
    IBitmap ScaleBitmap(IBitmap* src, int destW, int destH);
    // A new cached image of the part of the source inside the rectangle; what falls outside the
    // source stays transparent black.
    IBitmap CropBitmap(IBitmap* src, IRECT* rect);

    static BitmapStorage s_bitmapCache;
    static FontStorage s_fontCache;

protected:
    WDL_PtrList<IControl> mControls{4096};
    IPlugBase* mPlug;
    IRECT mDrawRECT;
    LICE_SysBitmap* mDrawBitmap = nullptr;
    LICE_MemBitmap* mTmpBitmap = nullptr;
    int mWidth;
    int mHeight;
    int mFPS;
    int mMouseCapture = -1;
    int mMouseOver = -1;
    int mMouseX = 0; // last position seen while capturing; -1 after release
    int mMouseY = 0;
    int mLastClickedParam = -1;
    bool mHandleMouseOver = false;
    bool mStrict = true;
    IControl* mKeyCatcher = nullptr;

private:
    void DrawStrict(const IRECT& rect);
    void DrawAroundDirtyBackground();
    void DrawDirtyControls();
    // The parameter behind a host-supplied index, or null.
    IParam* ParamAt(int paramIdx) const;
    void InsertBackground(IControl* control);
};
