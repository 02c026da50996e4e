#include "UTF8_p.h"
#include "XftText_p.h"

#include <AppKit/NSEvent.h>
#include <AppKit/NSFormatter.h>
#include <AppKit/NSGraphicsContext.h>
#include <AppKit/NSNotification.h>
#include <AppKit/NSString.h>
#include <AppKit/NSTextField.h>
#include <AppKit/NSWindow.h>
#include <CoreGraphics/CGContext.h>

#include <cmath>

NSString* const NSControlTextDidEndEditingNotification =
    new NSString("NSControlTextDidEndEditingNotification");

// ---- NSFormatter ----

BOOL NSFormatter::getObjectValue_forString_errorDescription(id* object, NSString* string,
                                                            NSString**) {
    if (object && string) *object = NSString::stringWithUTF8String(string->UTF8String());
    return YES;
}

BOOL NSFormatter::isPartialStringValid_newEditingString_errorDescription(NSString*, NSString**,
                                                                         NSString**) {
    return YES;
}

// ---- NSFont ----

NSFont::NSFont(NSString* name, CGFloat size)
    : mName(static_cast<NSString*>(name->retain())), mSize(size) {}

NSFont::~NSFont() {
    mName->release();
}

NSFont* NSFont::fontWithName_size(NSString* name, CGFloat size) {
    if (!name) return nil;
    return static_cast<NSFont*>((new NSFont(name, size > 0 ? size : 12))->autorelease());
}

NSFont* NSFont::systemFontOfSize(CGFloat size) {
    return fontWithName_size(NSString::stringWithUTF8String("sans"), size);
}

// ---- NSTextField ----

namespace {

// Characters that type text: not control characters, not the function-key range.
bool typesText(char32_t c) {
    return c >= 0x20 && c != 0x7F && !(c >= 0xF700 && c <= 0xF8FF);
}

} // namespace

NSTextField::NSTextField(NSRect frame) : NSView(frame), mCell(new NSTextFieldCell) {}

NSTextField::~NSTextField() {
    if (mFont) mFont->release();
    if (mFormatter) mFormatter->release();
    mCell->release();
}

NSString* NSTextField::stringValue() const {
    return NSString::stringWithUTF8String(appkit::EncodeUTF8(mText).c_str());
}

void NSTextField::setStringValue(NSString* value) {
    mText = appkit::DecodeUTF8(value ? value->utf8() : std::string());
    mCaret = mText.size();
    setNeedsDisplay(YES);
}

void NSTextField::setObjectValue(id value) {
    NSString* text =
        mFormatter ? mFormatter->stringForObjectValue(value) : dynamic_cast<NSString*>(value);
    setStringValue(text);
}

void NSTextField::setFont(NSFont* font) {
    if (font) font->retain();
    if (mFont) mFont->release();
    mFont = font;
    setNeedsDisplay(YES);
}

void NSTextField::setAlignment(NSTextAlignment alignment) {
    mAlignment = alignment;
    setNeedsDisplay(YES);
}

void NSTextField::setFormatter(NSFormatter* formatter) {
    if (formatter) formatter->retain();
    if (mFormatter) mFormatter->release();
    mFormatter = formatter;
}

void NSTextField::setBordered(BOOL flag) {
    mBordered = flag;
    setNeedsDisplay(YES);
}

void NSTextField::selectText(id) {
    mAllSelected = !mText.empty();
    mCaret = mText.size();
    setNeedsDisplay(YES);
}

BOOL NSTextField::becomeFirstResponder() {
    mEditing = true;
    selectText(nil);
    return YES;
}

BOOL NSTextField::resignFirstResponder() {
    if (mEditing && !mEnding) endEditing();
    return YES;
}

void NSTextField::endEditing() {
    mEnding = true;
    mEditing = false;
    mAllSelected = false;
    retain();
    if (mDelegate) {
        auto* note = new NSNotification(NSControlTextDidEndEditingNotification, this);
        mDelegate->controlTextDidEndEditing(note);
        note->release();
    }
    setNeedsDisplay(YES);
    mEnding = false;
    release();
}

void NSTextField::changed() {
    setNeedsDisplay(YES);
    if (!mDelegate) return;
    auto* note = new NSNotification(
        NSString::stringWithUTF8String("NSControlTextDidChangeNotification"), this);
    mDelegate->controlTextDidChange(note);
    note->release();
}

void NSTextField::insert(const std::u32string& typed) {
    std::u32string proposed = mText;
    size_t caret = mCaret;
    if (mAllSelected) {
        proposed.clear();
        caret = 0;
    }
    proposed.insert(caret, typed);
    if (mFormatter) {
        NSString* candidate = NSString::stringWithUTF8String(appkit::EncodeUTF8(proposed).c_str());
        NSString* replacement = nil;
        NSString* error = nil;
        if (!mFormatter->isPartialStringValid_newEditingString_errorDescription(
                candidate, &replacement, &error))
            return;
    }
    mText = proposed;
    mCaret = caret + typed.size();
    mAllSelected = false;
    changed();
}

void NSTextField::keyDown(NSEvent* event) {
    if (!mEditable || !event->characters()) return;
    std::u32string chars = appkit::DecodeUTF8(event->characters()->utf8());
    if (chars.size() != 1) {
        if (!chars.empty()) insert(chars);
        return;
    }
    char32_t c = chars[0];
    if (c == '\r' || c == 0x03 || c == '\t') {
        // The field hands the first responder back to the window, which ends the edit.
        NSWindow* window = this->window();
        if (window && window->firstResponder() == this)
            window->makeFirstResponder(nil);
        else if (mEditing)
            endEditing();
        return;
    }
    if (c == 0x7F || c == NSDeleteFunctionKey) {
        if (mAllSelected) {
            mText.clear();
            mCaret = 0;
            mAllSelected = false;
            changed();
            return;
        }
        size_t at = c == 0x7F ? mCaret : mCaret + 1;
        if (at == 0 || at > mText.size()) return;
        mText.erase(at - 1, 1);
        mCaret = at - 1;
        changed();
        return;
    }
    struct Move {
        char32_t key;
        int kind; // -1 left, 1 right, -2 home, 2 end
    };
    static const Move kMoves[] = {{NSLeftArrowFunctionKey, -1}, {NSRightArrowFunctionKey, 1},
                                  {NSHomeFunctionKey, -2},      {NSEndFunctionKey, 2},
                                  {NSUpArrowFunctionKey, -2},   {NSDownArrowFunctionKey, 2}};
    for (const Move& m : kMoves) {
        if (m.key != c) continue;
        mAllSelected = false;
        if (m.kind == -1 && mCaret > 0) --mCaret;
        if (m.kind == 1 && mCaret < mText.size()) ++mCaret;
        if (m.kind == -2) mCaret = 0;
        if (m.kind == 2) mCaret = mText.size();
        setNeedsDisplay(YES);
        return;
    }
    if (typesText(c)) insert(chars);
}

void NSTextField::mouseDown(NSEvent*) {
    if (mAllSelected) {
        mAllSelected = false;
        setNeedsDisplay(YES);
    }
}

void NSTextField::drawRect(NSRect rect) {
    // In memory there is no Xft: the background and the border only.
    auto* ctx = static_cast<CGContextRef>(NSGraphicsContext::currentContext()->graphicsPort());
    if (!ctx) return;
    CGContextSetRGBFillColor(ctx, 1, 1, 1, 1);
    if (mDrawsBackground) CGContextFillRect(ctx, rect);
    if (mBordered) {
        CGContextSetRGBStrokeColor(ctx, 0.5, 0.5, 0.5, 1);
        CGContextSetLineWidth(ctx, 1);
        NSRect b = bounds();
        CGContextStrokeRect(ctx, NSMakeRect(0.5, 0.5, b.size.width - 1, b.size.height - 1));
    }
}

void NSTextField::displayDirtyRect(NSRect rect) {
    Window window = xWindow();
    if (!window) {
        NSView::displayDirtyRect(rect);
        return;
    }
    appkit::XftPainter painter(window);
    if (!painter.ok()) return;
    int w = static_cast<int>(std::ceil(frame().size.width));
    int h = static_cast<int>(std::ceil(frame().size.height));
    painter.FillRect(0, 0, w, h, mBordered ? 0x808080 : 0xFFFFFF);
    if (mBordered) painter.FillRect(1, 1, w - 2, h - 2, 0xFFFFFF);
    const char* family = mFont ? mFont->fontName()->UTF8String() : "sans";
    double size = mFont ? mFont->pointSize() : 12;
    XftFont* font = appkit::OpenFont(family, size);
    std::string text = appkit::EncodeUTF8(mText);
    int width = appkit::TextWidth(font, text);
    int pad = mBordered ? 3 : 1;
    int x = pad;
    if (mAlignment == NSCenterTextAlignment) x = (w - width) / 2;
    if (mAlignment == NSRightTextAlignment) x = w - pad - width;
    int baseline = font ? (h + font->ascent - font->descent) / 2 : h - 3;
    if (mAllSelected && width > 0) {
        painter.FillRect(x, 2, width, h - 4, 0xB4CFF5);
    }
    painter.DrawText(font, x, baseline, text, 0x000000);
    if (mEditing && !mAllSelected) {
        int caretX = x + appkit::TextWidth(font, appkit::EncodeUTF8(mText.substr(0, mCaret)));
        painter.FillRect(caretX, 3, 1, h - 6, 0x000000);
    }
    appkit::CloseFont(font);
    (void)rect;
}
