#pragma once

// Menus and their items. popUpContextMenu:withEvent:forView: shows a menu at the event's
// location in its own X window and runs a nested loop in NSEventTrackingRunLoopMode until the
// user picks an item or dismisses the menu (a press outside it, Escape); timers in the common
// modes keep firing meanwhile, and input for every other window is held back. The picked item
// sends its action to its target, or, with none, to the first of the view, its superviews and
// its window that responds to it.
#include <AppKit/NSObject.h>

#include <vector>

class NSString;
class NSEvent;
class NSView;
class NSMenu;

enum { NSOffState = 0, NSOnState = 1, NSMixedState = -1 };

class NSMenuItem : public NSObject {
public:
    // initWithTitle:action:keyEquivalent:
    NSMenuItem(NSString* title, SEL action, NSString* keyEquivalent);
    // A new autoreleased separator.
    static NSMenuItem* separatorItem();

    NSString* title() const { return mTitle; }
    void setTitle(NSString* title);
    SEL action() const { return mAction; }
    void setAction(SEL action) { mAction = action; }
    // Not retained, as in Cocoa.
    id target() const { return mTarget; }
    void setTarget(id target) { mTarget = target; }
    NSInteger tag() const { return mTag; }
    void setTag(NSInteger tag) { mTag = tag; }
    NSInteger state() const { return mState; }
    void setState(NSInteger state) { mState = state; }
    BOOL isEnabled() const { return mEnabled; }
    void setEnabled(BOOL enabled) { mEnabled = enabled; }
    NSInteger indentationLevel() const { return mIndentation; }
    // 0..15; other values are clamped.
    void setIndentationLevel(NSInteger level);
    BOOL isSeparatorItem() const { return mSeparator; }
    NSMenu* submenu() const { return mSubmenu; }
    void setSubmenu(NSMenu* menu);
    NSMenu* menu() const { return mMenu; }

protected:
    ~NSMenuItem() override;

private:
    friend class NSMenu;
    NSString* mTitle;
    SEL mAction;
    id mTarget = nil;
    NSInteger mTag = 0;
    NSInteger mState = NSOffState;
    BOOL mEnabled = YES;
    NSInteger mIndentation = 0;
    BOOL mSeparator = NO;
    NSMenu* mSubmenu = nil; // retained
    NSMenu* mMenu = nil;    // not retained: the menu holding the item
};

class NSMenu : public NSObject {
public:
    // initWithTitle:
    explicit NSMenu(NSString* title);

    NSString* title() const { return mTitle; }
    // Retains the item.
    void addItem(NSMenuItem* item);
    // A new item added to the menu and returned (the menu holds it).
    NSMenuItem* addItemWithTitle_action_keyEquivalent(NSString* title, SEL action,
                                                      NSString* keyEquivalent);
    void insertItem_atIndex(NSMenuItem* item, NSInteger index);
    void removeItemAtIndex(NSInteger index);
    NSMenuItem* itemAtIndex(NSInteger index) const;
    NSInteger numberOfItems() const { return static_cast<NSInteger>(mItems.size()); }
    // -1 when the item is not in the menu (or is nil).
    NSInteger indexOfItem(NSMenuItem* item) const;
    BOOL autoenablesItems() const { return mAutoenables; }
    // When on (the default) an item is enabled exactly when something would take its action;
    // when off, its own enabled flag decides.
    void setAutoenablesItems(BOOL flag) { mAutoenables = flag; }
    // Whether the item can be picked when the menu is shown for view.
    BOOL itemIsSelectable(NSMenuItem* item, NSView* view) const;

    static void popUpContextMenu_withEvent_forView(NSMenu* menu, NSEvent* event, NSView* view);

protected:
    ~NSMenu() override;

private:
    NSString* mTitle;
    std::vector<NSMenuItem*> mItems; // retained
    BOOL mAutoenables = YES;
};
