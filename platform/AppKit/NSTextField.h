#pragma once

// A one-line editable text field, drawn with Xft in its own X window (in memory it draws its
// background and border only). While it is the first responder it takes typed characters
// (each change is offered to its formatter, which may refuse it), Backspace, Delete, the
// arrows, Home and End. Return or Enter ends editing; so does losing the first responder (a
// press elsewhere in the window). Ending editing sends controlTextDidEndEditing: to the
// delegate.
#include <AppKit/NSView.h>

#include <string>

class NSFont;
class NSFormatter;
class NSNotification;
class NSString;

typedef NSUInteger NSTextAlignment;
enum {
    NSLeftTextAlignment = 0,
    NSRightTextAlignment = 1,
    NSCenterTextAlignment = 2,
    NSJustifiedTextAlignment = 3,
    NSNaturalTextAlignment = 4
};

typedef NSUInteger NSLineBreakMode;
enum {
    NSLineBreakByWordWrapping = 0,
    NSLineBreakByCharWrapping = 1,
    NSLineBreakByClipping = 2,
    NSLineBreakByTruncatingHead = 3,
    NSLineBreakByTruncatingTail = 4,
    NSLineBreakByTruncatingMiddle = 5
};

typedef NSUInteger NSFocusRingType;
enum { NSFocusRingTypeDefault = 0, NSFocusRingTypeNone = 1, NSFocusRingTypeExterior = 2 };

extern NSString* const NSControlTextDidEndEditingNotification;

// A face by name and size in points (pixels here). A name fontconfig does not know still gives
// a font: its best match.
class NSFont : public NSObject {
public:
    static NSFont* fontWithName_size(NSString* name, CGFloat size);
    static NSFont* systemFontOfSize(CGFloat size);
    NSString* fontName() const { return mName; }
    CGFloat pointSize() const { return mSize; }

protected:
    NSFont(NSString* name, CGFloat size);
    ~NSFont() override;

private:
    NSString* mName;
    CGFloat mSize;
};

// What a text field tells its delegate.
class NSTextFieldDelegate {
public:
    virtual ~NSTextFieldDelegate() = default;
    virtual void controlTextDidBeginEditing(NSNotification*) {}
    virtual void controlTextDidChange(NSNotification*) {}
    virtual void controlTextDidEndEditing(NSNotification*) {}
};

// The cell's settings a field keeps.
class NSTextFieldCell : public NSObject {
public:
    NSLineBreakMode lineBreakMode() const { return mLineBreakMode; }
    void setLineBreakMode(NSLineBreakMode mode) { mLineBreakMode = mode; }

private:
    NSLineBreakMode mLineBreakMode = NSLineBreakByClipping;
};

class NSTextField : public NSView {
public:
    // initWithFrame:
    explicit NSTextField(NSRect frame);

    NSString* stringValue() const;
    void setStringValue(NSString* value);
    void setObjectValue(id value);
    NSFont* font() const { return mFont; }
    void setFont(NSFont* font);
    NSTextAlignment alignment() const { return mAlignment; }
    void setAlignment(NSTextAlignment alignment);
    NSFormatter* formatter() const { return mFormatter; }
    // Retains the formatter.
    void setFormatter(NSFormatter* formatter);
    NSTextFieldDelegate* delegate() const { return mDelegate; }
    // Not retained.
    void setDelegate(NSTextFieldDelegate* delegate) { mDelegate = delegate; }
    NSTextFieldCell* cell() const { return mCell; }
    void setBordered(BOOL flag);
    void setBezeled(BOOL flag) { setBordered(flag); }
    void setDrawsBackground(BOOL flag) { mDrawsBackground = flag; }
    void setEditable(BOOL flag) { mEditable = flag; }
    BOOL isEditable() const { return mEditable; }
    void setFocusRingType(NSFocusRingType) {}
    void setAllowsEditingTextAttributes(BOOL) {}
    void selectText(id sender);

    BOOL acceptsFirstResponder() override { return mEditable; }
    BOOL becomeFirstResponder() override;
    BOOL resignFirstResponder() override;
    BOOL isOpaque() const override { return YES; }
    void keyDown(NSEvent* event) override;
    void mouseDown(NSEvent* event) override;
    void drawRect(NSRect rect) override;

protected:
    ~NSTextField() override;
    void displayDirtyRect(NSRect rect) override;

private:
    void insert(const std::u32string& text);
    void endEditing();
    void changed();

    std::u32string mText;
    size_t mCaret = 0;
    bool mAllSelected = false;
    bool mEditing = false;
    bool mEnding = false;
    NSFont* mFont = nil;           // retained
    NSFormatter* mFormatter = nil; // retained
    NSTextFieldDelegate* mDelegate = nullptr;
    NSTextFieldCell* mCell; // owned
    NSTextAlignment mAlignment = NSNaturalTextAlignment;
    BOOL mBordered = YES;
    BOOL mDrawsBackground = YES;
    BOOL mEditable = YES;
};
