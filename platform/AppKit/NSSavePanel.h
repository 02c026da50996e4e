#pragma once

// File panels. Running one is modal: it asks zenity for the file while the run loop keeps
// timers firing and windows drawing, and no window takes input until the panel is done. When
// zenity cannot be run the panel answers Cancel, with a message on standard error. A test hook
// (GrindvoxAppKit_SetPanelAnswerer) can answer instead of the user.
#include <AppKit/NSObject.h>

class NSArray;
class NSString;
class NSURL;

enum { NSCancelButton = 0, NSOKButton = 1 };
enum { NSFileHandlingPanelCancelButton = 0, NSFileHandlingPanelOKButton = 1 };

class NSSavePanel : public NSObject {
public:
    // A new autoreleased panel.
    static NSSavePanel* savePanel();

    // The extensions offered (without dots); nil allows any. The array is retained.
    void setAllowedFileTypes(NSArray* types);
    NSArray* allowedFileTypes() const { return mTypes; }
    void setAllowsOtherFileTypes(BOOL flag) { mAllowsOther = flag; }
    void setDirectory(NSString* path);
    void setNameFieldStringValue(NSString* name);

    // Runs the panel starting in directory with file named; NSOKButton or NSCancelButton.
    NSInteger runModalForDirectory_file(NSString* directory, NSString* file);
    NSInteger runModal();
    // The chosen path (nil before a choice or after Cancel).
    NSString* filename() const { return mChosen; }
    NSURL* URL() const;

protected:
    NSSavePanel() = default;
    ~NSSavePanel() override;
    NSInteger run(bool save, bool directories, NSString* directory, NSString* file, NSArray* types);

    NSArray* mTypes = nil;
    NSString* mDirectory = nil;
    NSString* mName = nil;
    NSString* mChosen = nil;
    BOOL mAllowsOther = NO;
};

class NSOpenPanel : public NSSavePanel {
public:
    static NSOpenPanel* openPanel();
    void setCanChooseFiles(BOOL flag) { mFiles = flag; }
    void setCanChooseDirectories(BOOL flag) { mDirectories = flag; }
    void setResolvesAliases(BOOL) {}
    void setAllowsMultipleSelection(BOOL) {}
    // types nil: any file.
    NSInteger runModalForDirectory_file_types(NSString* directory, NSString* file, NSArray* types);
    NSInteger runModal();
    // A new autoreleased array holding the chosen path.
    NSArray* filenames() const;

protected:
    NSOpenPanel() = default;

private:
    BOOL mFiles = YES;
    BOOL mDirectories = NO;
};
