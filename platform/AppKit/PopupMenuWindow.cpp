#include "PopupMenuWindow_p.h"
#include "XftText_p.h"

#include <AppKit/NSString.h>
#include <AppKit/NSTimer.h>
#include <CoreFoundation/CFRunLoop.h>

#include <X11/keysym.h>

#include <algorithm>
#include <string>
#include <vector>

namespace appkit {
namespace {

const int kItemHeight = 20;
const int kSeparatorHeight = 9;
const int kMarginX = 22; // room for the check mark
const int kIndentStep = 12;
const double kFontSize = 13;

const unsigned kBackground = 0xF2F2F2;
const unsigned kText = 0x101010;
const unsigned kDisabledText = 0x9A9A9A;
const unsigned kHighlight = 0x3069D6;
const unsigned kHighlightText = 0xFFFFFF;
const unsigned kSeparator = 0xC8C8C8;
const unsigned kBorder = 0x808080;

struct Row {
    int top = 0, height = 0;
    bool selectable = false;
};

class PopupMenuWindow final : public EventClient {
public:
    PopupMenuWindow(NSMenu* menu, NSView* view) : mMenu(menu) {
        mFont = OpenFont("sans", kFontSize);
        int y = 1, width = 120;
        for (NSInteger i = 0; i < menu->numberOfItems(); ++i) {
            NSMenuItem* item = menu->itemAtIndex(i);
            Row row;
            row.top = y;
            // Items with a submenu are not shown: nothing here opens submenus.
            row.height = item->submenu()           ? 0
                         : item->isSeparatorItem() ? kSeparatorHeight
                                                   : kItemHeight;
            row.selectable = menu->itemIsSelectable(item, view);
            y += row.height;
            width = std::max(width, kMarginX * 2 +
                                        static_cast<int>(item->indentationLevel()) * kIndentStep +
                                        TextWidth(mFont, item->title()->utf8()));
            mRows.push_back(row);
        }
        mWidth = width;
        mHeight = y + 1;
    }

    virtual ~PopupMenuWindow() {
        Connection* c = OpenedConnection();
        if (mWindow && c) {
            Unregister(mWindow);
            XUngrabPointer(c->display, CurrentTime);
            XUngrabKeyboard(c->display, CurrentTime);
            XDestroyWindow(c->display, mWindow);
            XFlush(c->display);
        }
        CloseFont(mFont);
    }

    NSInteger Run(int x, int y) {
        Connection* c = OpenedConnection();
        if (!c) return -1;
        // Kept on the screen.
        int screenW = DisplayWidth(c->display, c->screen),
            screenH = DisplayHeight(c->display, c->screen);
        x = std::max(0, std::min(x, screenW - mWidth));
        y = std::max(0, std::min(y, screenH - mHeight));
        XSetWindowAttributes attributes;
        attributes.override_redirect = True;
        attributes.save_under = True;
        attributes.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask |
                                PointerMotionMask | KeyPressMask | LeaveWindowMask;
        attributes.background_pixel = WhitePixel(c->display, c->screen);
        ErrorTrap trap;
        mWindow = XCreateWindow(
            c->display, c->root, x, y, static_cast<unsigned>(mWidth),
            static_cast<unsigned>(mHeight), 0, CopyFromParent, InputOutput, CopyFromParent,
            CWOverrideRedirect | CWSaveUnder | CWEventMask | CWBackPixel, &attributes);
        if (trap.Failed() || !mWindow) return -1;
        RegisterClient(mWindow, this);
        XMapRaised(c->display, mWindow);
        XSync(c->display, False);
        // Every press and release comes to the menu, wherever the pointer is.
        XGrabPointer(c->display, mWindow, False,
                     ButtonPressMask | ButtonReleaseMask | PointerMotionMask, GrabModeAsync,
                     GrabModeAsync, None, None, CurrentTime);
        XGrabKeyboard(c->display, mWindow, False, GrabModeAsync, GrabModeAsync, CurrentTime);
        BeginModalSession(mWindow);
        CFStringRef mode = NSEventTrackingRunLoopMode->copyCFString();
        while (!mDone)
            CFRunLoopRunInMode(mode, 0.1, true);
        CFRelease(mode);
        EndModalSession();
        return mPicked;
    }

    void HandleXEvent(XEvent& e) override {
        switch (e.type) {
        case Expose:
            if (e.xexpose.count == 0) Paint();
            break;
        case MotionNotify:
            Highlight(RowAt(e.xmotion.x, e.xmotion.y));
            if (std::abs(e.xmotion.x_root - mStartX) + std::abs(e.xmotion.y_root - mStartY) > 4)
                mMoved = true;
            break;
        case ButtonPress:
            if (!Inside(e.xbutton.x, e.xbutton.y)) {
                Finish(-1);
                break;
            }
            mPressedInside = true;
            break;
        case ButtonRelease: {
            // The release of the press that opened the menu picks nothing unless the pointer
            // went to an item first.
            if (!mPressedInside && !mMoved) break;
            NSInteger row = RowAt(e.xbutton.x, e.xbutton.y);
            if (row >= 0)
                Finish(row);
            else if (!Inside(e.xbutton.x, e.xbutton.y))
                Finish(-1);
            break;
        }
        case KeyPress: Key(XLookupKeysym(&e.xkey, 0)); break;
        default: break;
        }
    }

    void SetStart(int x, int y) {
        mStartX = x;
        mStartY = y;
    }

private:
    bool Inside(int x, int y) const { return x >= 0 && y >= 0 && x < mWidth && y < mHeight; }

    // The selectable item at the point, or -1.
    NSInteger RowAt(int x, int y) const {
        if (!Inside(x, y)) return -1;
        for (size_t i = 0; i < mRows.size(); ++i) {
            const Row& r = mRows[i];
            if (r.selectable && y >= r.top && y < r.top + r.height)
                return static_cast<NSInteger>(i);
        }
        return -1;
    }

    void Key(KeySym key) {
        if (key == XK_Escape) return Finish(-1);
        if (key == XK_Return || key == XK_KP_Enter) return Finish(mHighlighted);
        int step = key == XK_Down ? 1 : key == XK_Up ? -1 : 0;
        if (!step) return;
        NSInteger n = static_cast<NSInteger>(mRows.size());
        for (NSInteger i = 1; i <= n; ++i) {
            NSInteger candidate =
                ((mHighlighted < 0 ? (step > 0 ? -1 : n) : mHighlighted) + step * i + 2 * n) % n;
            if (mRows[static_cast<size_t>(candidate)].selectable) return Highlight(candidate);
        }
    }

    void Highlight(NSInteger row) {
        if (row == mHighlighted) return;
        mHighlighted = row;
        Paint();
    }

    void Finish(NSInteger picked) {
        mPicked = picked;
        mDone = true;
    }

    void Paint() {
        XftPainter painter(mWindow);
        if (!painter.ok()) return;
        painter.FillRect(0, 0, mWidth, mHeight, kBorder);
        painter.FillRect(1, 1, mWidth - 2, mHeight - 2, kBackground);
        for (size_t i = 0; i < mRows.size(); ++i) {
            const Row& r = mRows[i];
            if (!r.height) continue;
            NSMenuItem* item = mMenu->itemAtIndex(static_cast<NSInteger>(i));
            if (item->isSeparatorItem()) {
                painter.FillRect(6, r.top + kSeparatorHeight / 2, mWidth - 12, 1, kSeparator);
                continue;
            }
            bool lit = static_cast<NSInteger>(i) == mHighlighted;
            if (lit) painter.FillRect(1, r.top, mWidth - 2, r.height, kHighlight);
            unsigned color = lit ? kHighlightText : r.selectable ? kText : kDisabledText;
            int baseline = r.top + (mFont ? (r.height + mFont->ascent - mFont->descent) / 2 : 14);
            if (item->state() == NSOnState)
                painter.DrawText(mFont, 6, baseline, "\xE2\x9C\x93", color);
            int x = kMarginX + static_cast<int>(item->indentationLevel()) * kIndentStep;
            painter.DrawText(mFont, x, baseline, item->title()->utf8(), color);
        }
        Connection* c = OpenedConnection();
        if (c) XFlush(c->display);
    }

    NSMenu* mMenu;
    XftFont* mFont = nullptr;
    std::vector<Row> mRows;
    int mWidth = 0, mHeight = 0;
    Window mWindow = 0;
    NSInteger mHighlighted = -1;
    NSInteger mPicked = -1;
    bool mDone = false;
    bool mPressedInside = false;
    bool mMoved = false;
    int mStartX = 0, mStartY = 0;
};

} // namespace

NSInteger TrackPopupMenu(NSMenu* menu, NSView* view, int x, int y) {
    PopupMenuWindow window(menu, view);
    window.SetStart(x, y);
    return window.Run(x, y);
}

} // namespace appkit
