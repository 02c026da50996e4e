#include "AppKitX11_p.h"
#include "GrindvoxAppKit_p.h"
#include "PopupMenuWindow_p.h"

#include <AppKit/NSEvent.h>
#include <AppKit/NSMenu.h>
#include <AppKit/NSString.h>
#include <AppKit/NSView.h>
#include <AppKit/NSWindow.h>

#include <algorithm>
#include <cmath>

// ---- NSMenuItem ----

NSMenuItem::NSMenuItem(NSString* title, SEL action, NSString*)
    : mTitle(
          static_cast<NSString*>((title ? title : NSString::stringWithUTF8String(""))->retain())),
      mAction(action) {}

NSMenuItem::~NSMenuItem() {
    mTitle->release();
    if (mSubmenu) mSubmenu->release();
}

NSMenuItem* NSMenuItem::separatorItem() {
    auto* item = new NSMenuItem(nil, SEL{nullptr, nullptr}, nil);
    item->mSeparator = YES;
    item->mEnabled = NO;
    return static_cast<NSMenuItem*>(item->autorelease());
}

void NSMenuItem::setTitle(NSString* title) {
    if (!title) title = NSString::stringWithUTF8String("");
    title->retain();
    mTitle->release();
    mTitle = title;
}

void NSMenuItem::setIndentationLevel(NSInteger level) {
    mIndentation = std::clamp<NSInteger>(level, 0, 15);
}

void NSMenuItem::setSubmenu(NSMenu* menu) {
    if (menu) menu->retain();
    if (mSubmenu) mSubmenu->release();
    mSubmenu = menu;
}

// ---- NSMenu ----

NSMenu::NSMenu(NSString* title)
    : mTitle(
          static_cast<NSString*>((title ? title : NSString::stringWithUTF8String(""))->retain())) {}

NSMenu::~NSMenu() {
    for (NSMenuItem* item : mItems) {
        item->mMenu = nil;
        item->release();
    }
    mTitle->release();
}

void NSMenu::addItem(NSMenuItem* item) {
    insertItem_atIndex(item, numberOfItems());
}

NSMenuItem* NSMenu::addItemWithTitle_action_keyEquivalent(NSString* title, SEL action,
                                                          NSString* keyEquivalent) {
    auto* item = new NSMenuItem(title, action, keyEquivalent);
    addItem(item);
    item->release();
    return item;
}

void NSMenu::insertItem_atIndex(NSMenuItem* item, NSInteger index) {
    if (!item || item->mMenu) return;
    index = std::clamp<NSInteger>(index, 0, numberOfItems());
    item->retain();
    item->mMenu = this;
    mItems.insert(mItems.begin() + index, item);
}

void NSMenu::removeItemAtIndex(NSInteger index) {
    if (index < 0 || index >= numberOfItems()) return;
    NSMenuItem* item = mItems[static_cast<size_t>(index)];
    mItems.erase(mItems.begin() + index);
    item->mMenu = nil;
    item->release();
}

NSMenuItem* NSMenu::itemAtIndex(NSInteger index) const {
    if (index < 0 || index >= numberOfItems()) return nil;
    return mItems[static_cast<size_t>(index)];
}

NSInteger NSMenu::indexOfItem(NSMenuItem* item) const {
    auto it = std::find(mItems.begin(), mItems.end(), item);
    return item && it != mItems.end() ? it - mItems.begin() : -1;
}

namespace {

// The object that takes the item's action: its target, or the first responder along the view's
// chain that responds.
NSObject* actionTarget(NSMenuItem* item, NSView* view) {
    if (!item->action().method) return nil;
    if (item->target())
        return item->target()->respondsToSelector(item->action()) ? item->target() : nil;
    for (NSResponder* r = view; r; r = r->nextResponder())
        if (r->respondsToSelector(item->action())) return r;
    return nil;
}

} // namespace

BOOL NSMenu::itemIsSelectable(NSMenuItem* item, NSView* view) const {
    if (!item || item->isSeparatorItem() || item->submenu()) return NO;
    if (!mAutoenables) return item->isEnabled();
    return actionTarget(item, view) != nil;
}

void NSMenu::popUpContextMenu_withEvent_forView(NSMenu* menu, NSEvent* event, NSView* view) {
    if (!menu || !event || !view) return;
    menu->retain();
    view->retain();
    NSInteger picked = -1;
    if (GrindvoxAppKitMenuAnswerer answer = appkit::MenuAnswerer()) {
        picked = answer(menu);
    } else {
        NSWindow* window = view->window();
        appkit::Connection* c = appkit::OpenedConnection();
        unsigned long xWindow = window ? static_cast<unsigned long>(window->windowNumber()) : 0;
        if (c && window && window->contentView()) {
            // The event's base point as a point of the screen, top-left origin.
            NSPoint base = event->locationInWindow();
            double bx = base.x, by = window->contentView()->frame().size.height - base.y;
            Window child = 0;
            int rootX = 0, rootY = 0;
            appkit::ErrorTrap trap;
            XTranslateCoordinates(c->display, xWindow, c->root, static_cast<int>(std::floor(bx)),
                                  static_cast<int>(std::floor(by)), &rootX, &rootY, &child);
            if (!trap.Failed()) picked = appkit::TrackPopupMenu(menu, view, rootX, rootY);
        }
    }
    NSMenuItem* item = menu->itemAtIndex(picked);
    if (item && menu->itemIsSelectable(item, view)) {
        item->retain();
        if (NSObject* target = actionTarget(item, view))
            target->performSelector_withObject(item->action(), item);
        item->release();
    }
    view->release();
    menu->release();
}
