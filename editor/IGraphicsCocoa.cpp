#include "editor/IGraphicsCocoa.h"

#include "editor/DisplayScale.h"
#include "editor/IControl.h"
#include "editor/IGraphicsMac.h"
#include "editor/IPopupMenu.h"
#include "editor/IText.h"
#include "plugin/IParam.h"

#include <cmath>

namespace {

// Mac virtual key codes of the keys the editor knows by code rather than by character.
struct KeyCodeEntry {
    unsigned short mac;
    int editor;
};
constexpr KeyCodeEntry kKeyTable[] = {
    {123, kKeyLeftArrow}, {124, kKeyRightArrow}, {125, kKeyDownArrow},
    {126, kKeyUpArrow},   {49, kKeySpace},
};

int Trunc(CGFloat v) {
    return static_cast<int>(v);
}

NSTextAlignment AlignmentOf(int align, NSTextAlignment fallback) {
    switch (align) {
    case IText::kAlignNear: return NSLeftTextAlignment;
    case IText::kAlignCenter: return NSCenterTextAlignment;
    case IText::kAlignFar: return NSRightTextAlignment;
    default: return fallback;
    }
}

// The title a menu shows for the item at 1-based position p.
NSString* MenuTitle(const IPopupMenu* menu, const IPopupMenuItem* item, int p) {
    static const char* const kPrefixFormats[] = {"", "%1d: ", "%02d: ", "%03d: "};
    WDL_String title;
    int prefix = menu->GetPrefix();
    if (prefix > 0 && prefix <= 3) title.SetFormatted(16, kPrefixFormats[prefix], p);
    title.Append(item->GetText());
    return NSString::stringWithUTF8String(title.Get());
}

} // namespace

NSRect ToNSRect(const IRECT& r, int h) {
    return NSMakeRect(r.L, h - 1 - r.B, r.R + 1 - r.L, r.B + 1 - r.T);
}

IRECT ToIRECT(const NSRect& r, int h) {
    int x = Trunc(r.origin.x), y = Trunc(r.origin.y);
    int w = Trunc(r.size.width), ht = Trunc(r.size.height);
    return IRECT(x, h - y - ht, w + x, h - y);
}

void ToEditorPoint(NSPoint p, int h, int* x, int* y, int scale) {
    *x = EditorCoordinate(Trunc(p.x), scale) - 2;
    *y = EditorCoordinate(h * scale - Trunc(p.y), scale) - 3;
}

IMouseMod MouseModOf(NSUInteger flags, bool rightButton) {
    bool shift = flags & NSShiftKeyMask, control = flags & NSControlKeyMask;
    bool option = flags & NSAlternateKeyMask;
    if (rightButton) return IMouseMod(false, true, shift, control, option);
    return IMouseMod(true, (flags & NSCommandKeyMask) != 0, shift, control, option);
}

const char* AcceptedCharacters(const IParam* param) {
    switch (param->Type()) {
    case IParam::kTypeDouble: return "0123456789.-+";
    case IParam::kTypeBool:
    case IParam::kTypeInt:
    case IParam::kTypeEnum: return "0123456789-+";
    default: return "";
    }
}

int EditorKeyCode(unsigned short keyCode, unichar c) {
    for (const KeyCodeEntry& entry : kKeyTable) {
        if (entry.mac == keyCode) return entry.editor;
    }
    if (c >= '0' && c <= '9') return kKeyDigit0 + (c - '0');
    if (c >= 'A' && c <= 'Z') return kKeyAlphaA + (c - 'A');
    if (c >= 'a' && c <= 'z') return kKeyAlphaA + (c - 'a');
    return -1;
}

// ---- Formatter ----

CocoaFormatter_vGrindvox_au::~CocoaFormatter_vGrindvox_au() {
    if (filterCharacterSet) filterCharacterSet->release();
}

void CocoaFormatter_vGrindvox_au::setAcceptableCharacterSet(NSCharacterSet* set) {
    if (set) set->retain();
    if (filterCharacterSet) filterCharacterSet->release();
    filterCharacterSet = set;
}

NSString* CocoaFormatter_vGrindvox_au::stringForObjectValue(id object) {
    return dynamic_cast<NSString*>(object);
}

BOOL CocoaFormatter_vGrindvox_au::getObjectValue_forString_errorDescription(id* object,
                                                                            NSString* string,
                                                                            NSString**) {
    if (object && string) *object = NSString::stringWithUTF8String(string->UTF8String());
    return YES;
}

BOOL CocoaFormatter_vGrindvox_au::isPartialStringValid_newEditingString_errorDescription(
    NSString* partial, NSString**, NSString**) {
    if (!partial) return YES;
    if (filterCharacterSet) {
        for (NSUInteger i = 0; i < partial->length(); ++i) {
            if (!filterCharacterSet->characterIsMember(partial->characterAtIndex(i))) return NO;
        }
    }
    if (maxLength && partial->length() > NSUInteger(maxLength)) return NO;
    if (maxValue) return partial->intValue() <= maxValue;
    return YES;
}

// ---- Receiver of menu choices ----

void DummyCocoaView_vGrindvox_au::OnMenuSelection(id sender) {
    nsMenuItem = dynamic_cast<NSMenuItem*>(sender);
}

// ---- Editor view ----

IGraphicsCocoa_vGrindvox_au::IGraphicsCocoa_vGrindvox_au() = default;

IGraphicsCocoa_vGrindvox_au::IGraphicsCocoa_vGrindvox_au(IGraphicsMac* graphics)
    : NSView(NSMakeRect(0, 0, graphics->Width() * graphics->DisplayScale(),
                        graphics->Height() * graphics->DisplayScale())),
      mGraphics(graphics) {
    double fps = graphics->FPS() > 0 ? graphics->FPS() : 25;
    mTimer = NSTimer::timerWithTimeInterval_target_selector_userInfo_repeats(
        1.0 / fps, this, NSSelector(&IGraphicsCocoa_vGrindvox_au::onTimer), nil, YES);
    mTimer->retain();
    NSRunLoop::currentRunLoop()->addTimer_forMode(mTimer, NSRunLoopCommonModes);
}

IGraphicsCocoa_vGrindvox_au::~IGraphicsCocoa_vGrindvox_au() {
    // The timer retains this view while valid, so it is gone by now; the field is a subview.
    if (mTimer) mTimer->release();
}

void IGraphicsCocoa_vGrindvox_au::viewDidMoveToWindow() {
    NSWindow* w = window();
    if (!w) return;
    w->makeFirstResponder(this);
    w->setAcceptsMouseMovedEvents(YES);
}

void IGraphicsCocoa_vGrindvox_au::drawRect(NSRect rect) {
    if (!mGraphics) return;
    const int s = mGraphics->DisplayScale(), w = mGraphics->Width(), h = mGraphics->Height();
    IRECT r = EditorAreaOfDeviceArea(ToIRECT(rect, h * s), s, w, h);
    mGraphics->Draw(&r);
}

void IGraphicsCocoa_vGrindvox_au::onTimer(id timer) {
    if (timer != mTimer || !mGraphics) return;
    IRECT r(0, 0, 0, 0);
    if (!mGraphics->IsDirty(&r)) return;
    const int s = mGraphics->DisplayScale(), w = mGraphics->Width(), h = mGraphics->Height();
    setNeedsDisplayInRect(ToNSRect(DeviceAreaOfEditorArea(r, s, w, h), h * s));
}

void IGraphicsCocoa_vGrindvox_au::getMouseXY(NSEvent* event, int* x, int* y) {
    NSPoint p = convertPoint_fromView(event->locationInWindow(), nil);
    if (mGraphics) {
        ToEditorPoint(p, mGraphics->Height(), x, y, mGraphics->DisplayScale());
    } else {
        ToEditorPoint(p, 0, x, y);
    }
    mPrevX = *x;
    mPrevY = *y;
}

void IGraphicsCocoa_vGrindvox_au::mouseDown(NSEvent* event) {
    if (!mGraphics) return;
    int x, y;
    getMouseXY(event, &x, &y);
    IMouseMod mod = MouseModOf(event->modifierFlags(), false);
    if (event->clickCount() > 1) {
        mGraphics->OnMouseDblClick(x, y, &mod);
    } else {
        mGraphics->OnMouseDown(x, y, &mod);
    }
}

void IGraphicsCocoa_vGrindvox_au::mouseUp(NSEvent* event) {
    if (!mGraphics) return;
    int x, y;
    getMouseXY(event, &x, &y);
    IMouseMod mod = MouseModOf(event->modifierFlags(), false);
    mGraphics->OnMouseUp(x, y, &mod);
}

void IGraphicsCocoa_vGrindvox_au::mouseDragged(NSEvent* event) {
    if (!mGraphics || mTextFieldView) return;
    int x, y;
    getMouseXY(event, &x, &y);
    IMouseMod mod = MouseModOf(event->modifierFlags(), false);
    mGraphics->OnMouseDrag(x, y, &mod);
}

void IGraphicsCocoa_vGrindvox_au::rightMouseDown(NSEvent* event) {
    if (!mGraphics) return;
    int x, y;
    getMouseXY(event, &x, &y);
    IMouseMod mod = MouseModOf(event->modifierFlags(), true);
    mGraphics->OnMouseDown(x, y, &mod);
}

void IGraphicsCocoa_vGrindvox_au::rightMouseUp(NSEvent* event) {
    if (!mGraphics) return;
    int x, y;
    getMouseXY(event, &x, &y);
    IMouseMod mod = MouseModOf(event->modifierFlags(), true);
    mGraphics->OnMouseUp(x, y, &mod);
}

void IGraphicsCocoa_vGrindvox_au::rightMouseDragged(NSEvent* event) {
    if (!mGraphics || mTextFieldView) return;
    int x, y;
    getMouseXY(event, &x, &y);
    IMouseMod mod = MouseModOf(event->modifierFlags(), true);
    mGraphics->OnMouseDrag(x, y, &mod);
}

void IGraphicsCocoa_vGrindvox_au::mouseMoved(NSEvent* event) {
    if (!mGraphics) return;
    int x, y;
    getMouseXY(event, &x, &y);
    IMouseMod mod = MouseModOf(event->modifierFlags(), false);
    mGraphics->OnMouseOver(x, y, &mod);
}

void IGraphicsCocoa_vGrindvox_au::scrollWheel(NSEvent* event) {
    if (!mGraphics) return;
    if (mTextFieldView) endUserInput();
    int x, y;
    getMouseXY(event, &x, &y);
    IMouseMod mod = MouseModOf(event->modifierFlags(), false);
    mGraphics->OnMouseWheel(x, y, &mod, Trunc(event->deltaY()));
}

void IGraphicsCocoa_vGrindvox_au::keyDown(NSEvent* event) {
    if (!mGraphics) return;
    NSString* chars = event->charactersIgnoringModifiers();
    // Keys that type several characters (or none) are not ours and not the host's either.
    if (!chars || chars->length() != 1) return;
    int code = EditorKeyCode(event->keyCode(), chars->characterAtIndex(0));
    if (code < 0 || !mGraphics->OnKeyDown(mPrevX, mPrevY, code)) NSView::keyDown(event);
}

void IGraphicsCocoa_vGrindvox_au::killTimer() {
    if (!mTimer) return;
    mTimer->invalidate();
    mTimer->release();
    mTimer = nil;
}

void IGraphicsCocoa_vGrindvox_au::removeFromSuperview() {
    retain(); // leaving the superview may drop the last reference before we are done
    if (mTextFieldView) endUserInput();
    if (IGraphicsMac* graphics = mGraphics) {
        mGraphics = nullptr;
        graphics->ViewRemoved(this);
    }
    killTimer();
    NSView::removeFromSuperview();
    release();
}

void IGraphicsCocoa_vGrindvox_au::createTextEntry(IControl* control, IParam* param, IText* text,
                                                  const char* str, NSRect area) {
    if (!control || mTextFieldView) return;
    NSTextField* field = new NSTextField(area);
    const int scale = mGraphics ? mGraphics->DisplayScale() : 1;
    field->setFont(NSFont::fontWithName_size(NSString::stringWithUTF8String(text->mFont),
                                             Trunc(Trunc(text->mSize) * 0.9 * scale)));
    field->setAlignment(AlignmentOf(text->mAlign, field->alignment()));
    if (param) {
        NSMutableCharacterSet* set = new NSMutableCharacterSet();
        set->addCharactersInString(NSString::stringWithUTF8String(AcceptedCharacters(param)));
        CocoaFormatter_vGrindvox_au* formatter = new CocoaFormatter_vGrindvox_au();
        formatter->setAcceptableCharacterSet(set);
        formatter->setMaximumLength(control->GetTextEntryLength());
        field->setFormatter(formatter);
        formatter->release();
        set->release();
    }
    field->cell()->setLineBreakMode(NSLineBreakByTruncatingTail);
    field->setAllowsEditingTextAttributes(NO);
    field->setFocusRingType(NSFocusRingTypeNone);
    field->setStringValue(NSString::stringWithUTF8String(str ? str : ""));
    field->setBordered(NO);
    field->setDelegate(this);
    addSubview(field);
    field->release(); // the view holds it as a subview
    mTextFieldView = field;
    mEdParam = param;
    mEdControl = control;
    if (NSWindow* w = window()) {
        w->makeKeyAndOrderFront(nil);
        w->makeFirstResponder(field);
    }
}

void IGraphicsCocoa_vGrindvox_au::endUserInput() {
    NSTextField* field = mTextFieldView;
    if (!field) return;
    mTextFieldView = nil;
    mEdControl = nullptr;
    mEdParam = nullptr;
    field->setDelegate(nullptr);
    field->removeFromSuperview();
    if (NSWindow* w = window()) w->makeFirstResponder(this);
}

void IGraphicsCocoa_vGrindvox_au::controlTextDidEndEditing(NSNotification*) {
    if (!mTextFieldView) return;
    if (mGraphics && mEdControl) {
        const char* text = mTextFieldView->stringValue()->UTF8String();
        if (mEdParam) {
            mGraphics->SetFromStringAfterPrompt(mEdControl, mEdParam, text);
        } else {
            mEdControl->TextFromTextEntry(text);
        }
    }
    endUserInput();
    setNeedsDisplay(YES);
}

IPopupMenu* PopUpIPopupMenu(NSView* parent, IPopupMenu* menu, NSRect area) {
    if (!parent || !menu) return nullptr;
    NSMenu* nsMenu = new NSMenu(NSString::stringWithUTF8String("IPlug Popup Menu"));
    nsMenu->autorelease();
    nsMenu->setAutoenablesItems(NO);
    DummyCocoaView_vGrindvox_au* receiver = new DummyCocoaView_vGrindvox_au(area);
    receiver->autorelease();
    // Which item of the editor's menu each shown item stands for: submenus are not shown, so
    // the two numberings part after the first of them.
    std::vector<int> original;
    for (int i = 0; i < menu->GetNItems(); ++i) {
        const IPopupMenuItem* item = menu->GetItem(i);
        if (item->GetSubmenu()) continue;
        if (item->GetIsSeparator()) {
            nsMenu->addItem(NSMenuItem::separatorItem());
        } else {
            NSMenuItem* nsItem = nsMenu->addItemWithTitle_action_keyEquivalent(
                MenuTitle(menu, item, i + 1),
                NSSelector(&DummyCocoaView_vGrindvox_au::OnMenuSelection),
                NSString::stringWithUTF8String(""));
            nsItem->setTarget(receiver);
            if (item->GetIsTitle()) nsItem->setIndentationLevel(1);
            nsItem->setState(item->GetChecked() ? NSOnState : NSOffState);
            nsItem->setEnabled(item->GetEnabled());
        }
        original.push_back(i);
    }
    NSPoint at = parent->convertPointToBase(NSMakePoint(area.origin.x, area.origin.y - 5));
    NSInteger number = parent->window() ? parent->window()->windowNumber() : 0;
    NSEvent* event = NSEvent::
        otherEventWithType_location_modifierFlags_timestamp_windowNumber_context_subtype_data1_data2(
            NSApplicationDefined, at, 15, 0, number, NSGraphicsContext::currentContext(), 0, 0, 0);
    // The menu is placed through the receiver's window, so the receiver joins the view, hidden,
    // while the menu is up. The view stays alive through the nested loop whatever the host does.
    parent->retain();
    receiver->setHidden(YES);
    parent->addSubview(receiver);
    NSMenu::popUpContextMenu_withEvent_forView(nsMenu, event, receiver);
    NSInteger shown = nsMenu->indexOfItem(receiver->MenuItem());
    receiver->removeFromSuperview();
    parent->release();
    if (shown < 0 || shown >= NSInteger(original.size())) return nullptr;
    menu->SetChosenItemIdx(original[shown]);
    return menu;
}

IPopupMenu* IGraphicsCocoa_vGrindvox_au::createIPopupMenu(IPopupMenu* menu, NSRect area) {
    return PopUpIPopupMenu(this, menu, area);
}
