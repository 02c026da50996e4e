#include "GrindvoxAppKit_p.h"
#include "HelperProcess_p.h"

#include <AppKit/NSArray.h>
#include <AppKit/NSSavePanel.h>
#include <AppKit/NSString.h>
#include <AppKit/NSURL.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// A user may take as long as they like over a file.
const double kPanelTimeout = 1.0e9;

void assign(NSString** slot, NSString* value) {
    if (value) value->retain();
    if (*slot) (*slot)->release();
    *slot = value;
}

// zenity's arguments for the panel.
std::vector<std::string> zenityArguments(bool save, bool directories, NSString* directory,
                                         NSString* file, NSArray* types) {
    std::vector<std::string> argv = {"zenity", "--file-selection"};
    if (save) {
        argv.push_back("--save");
        argv.push_back("--confirm-overwrite");
    }
    if (directories) argv.push_back("--directory");
    std::string start = directory ? directory->utf8() : std::string();
    if (!start.empty() && start.back() != '/') start.push_back('/');
    if (file) start += file->utf8();
    if (!start.empty()) argv.push_back("--filename=" + start);
    if (types && types->count()) {
        std::string filter = "--file-filter=";
        for (NSUInteger i = 0; i < types->count(); ++i) {
            auto* type = dynamic_cast<NSString*>(types->objectAtIndex(i));
            if (!type) continue;
            filter += (i ? " *." : "*.") + type->utf8();
        }
        argv.push_back(filter);
    }
    return argv;
}

std::string expandHome(const std::string& path) {
    if (path.compare(0, 1, "~") != 0) return path;
    const char* home = getenv("HOME");
    return std::string(home ? home : "") + path.substr(1);
}

} // namespace

NSSavePanel::~NSSavePanel() {
    if (mTypes) mTypes->release();
    assign(&mDirectory, nil);
    assign(&mName, nil);
    assign(&mChosen, nil);
}

NSSavePanel* NSSavePanel::savePanel() {
    return static_cast<NSSavePanel*>((new NSSavePanel)->autorelease());
}

void NSSavePanel::setAllowedFileTypes(NSArray* types) {
    if (types) types->retain();
    if (mTypes) mTypes->release();
    mTypes = types;
}

void NSSavePanel::setDirectory(NSString* path) {
    assign(&mDirectory, path);
}

void NSSavePanel::setNameFieldStringValue(NSString* name) {
    assign(&mName, name);
}

NSInteger NSSavePanel::run(bool save, bool directories, NSString* directory, NSString* file,
                           NSArray* types) {
    assign(&mChosen, nil);
    if (directory)
        directory = NSString::stringWithUTF8String(expandHome(directory->utf8()).c_str());
    if (GrindvoxAppKitPanelAnswerer answer = appkit::PanelAnswerer()) {
        assign(&mChosen, answer(save, directory, file, types));
        return mChosen ? NSOKButton : NSCancelButton;
    }
    appkit::HelperResult result = appkit::RunHelper(
        zenityArguments(save, directories, directory, file, types), true, kPanelTimeout);
    if (!result.started) {
        fprintf(stderr, "the file panel needs zenity: answering Cancel\n");
        return NSCancelButton;
    }
    std::string path = result.output;
    while (!path.empty() && (path.back() == '\n' || path.back() == '\r'))
        path.pop_back();
    if (result.exitStatus != 0 || path.empty()) return NSCancelButton;
    assign(&mChosen, NSString::stringWithUTF8String(path.c_str()));
    return NSOKButton;
}

NSInteger NSSavePanel::runModalForDirectory_file(NSString* directory, NSString* file) {
    return run(true, false, directory, file, mAllowsOther ? nil : mTypes);
}

NSInteger NSSavePanel::runModal() {
    return run(true, false, mDirectory, mName, mAllowsOther ? nil : mTypes);
}

NSURL* NSSavePanel::URL() const {
    return mChosen ? NSURL::fileURLWithPath(mChosen) : nil;
}

NSOpenPanel* NSOpenPanel::openPanel() {
    return static_cast<NSOpenPanel*>((new NSOpenPanel)->autorelease());
}

NSInteger NSOpenPanel::runModalForDirectory_file_types(NSString* directory, NSString* file,
                                                       NSArray* types) {
    return run(false, mDirectories && !mFiles, directory, file, types);
}

NSInteger NSOpenPanel::runModal() {
    return run(false, mDirectories && !mFiles, mDirectory, mName, mTypes);
}

NSArray* NSOpenPanel::filenames() const {
    return mChosen ? NSArray::arrayWithObjects({mChosen}) : NSArray::arrayWithObjects({});
}
