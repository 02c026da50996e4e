#include "editor/IGraphicsMac.h"

#include "editor/DisplayScale.h"
#include "editor/IGraphicsCarbon.h"
#include "editor/IGraphicsCocoa.h"
#include "editor/IGraphicsMacBitmap_p.h"
#include "plugin/Trace.h"

#include <AppKit/AppKit.h>
#include <CoreGraphics/CGContext.h>
#include <CoreServices/CoreServices.h>

#include <cmath>
#include <cstring>
#include <string>
#include <strings.h>

namespace {

// Factors from this one up get the doubled editor; below it the plain one reads better than a
// blurred one and a half.
constexpr double kDoubleFrom = 1.5;

NSString* Str(const char* text) {
    return NSString::stringWithUTF8String(text ? text : "");
}

// The allowed extensions of a space-separated list, empty pieces left out.
NSArray* SplitTypes(const char* extensions) {
    NSMutableArray* types = NSMutableArray::array();
    std::string text = extensions ? extensions : "", piece;
    for (char c : text + " ") {
        if (c != ' ') {
            piece += c;
        } else if (!piece.empty()) {
            types->addObject(Str(piece.c_str()));
            piece.clear();
        }
    }
    return types;
}

// The bundle's resource for the file name of a PNG, or null.
LICE_IBitmap* LoadImgFromResourceOSX(const char* bundleID, const char* name) {
    if (!name) return nullptr;
    const char* dot = strrchr(name, '.');
    const char* ext = dot ? dot + 1 : name;
    if (strcasecmp(ext, "png") != 0) return nullptr;
    NSBundle* bundle = NSBundle::bundleWithIdentifier(Str(bundleID));
    if (!bundle) return nullptr;
    NSString* resource = Str(name)->lastPathComponent()->stringByDeletingPathExtension();
    NSString* path = bundle->pathForResource_ofType(resource, Str("png"));
    if (!path || path->length() == 0) return nullptr;
    return LoadPNGFile(path->UTF8String());
}

} // namespace

IGraphicsMac* MakeGraphics(IPlugBase* plug, int w, int h, int fps, const char* bundleID) {
    IGraphicsMac* graphics = new IGraphicsMac(plug, w, h, fps);
    graphics->SetBundleID(bundleID);
    return graphics;
}

IGraphicsMac::IGraphicsMac(IPlugBase* plug, int w, int h, int refreshFPS)
    : IGraphics(plug, w, h, refreshFPS) {
    NSApplicationLoad();
}

IGraphicsMac::~IGraphicsMac() {
    if (mHostNSWindow) {
        RemoveSubWindow();
    } else {
        CloseWindow();
    }
    DeleteSysBitmap(mScaledBitmap);
}

int IGraphicsMac::GetUserOSVersion() {
    SInt32 version = 0;
    Gestalt(gestaltSystemVersion, &version);
    TRACE_CALL("%x", static_cast<unsigned>(version));
    return version;
}

bool IGraphicsMac::DrawScreen(IRECT* rect) {
    if (!mDrawBitmap) return false;
    LICE_SysBitmap* shown = mDrawBitmap;
    if (mDisplayScale > 1) {
        if (!mScaledBitmap) return false;
        ScaleSysBitmapArea(mScaledBitmap, mDrawBitmap, mDisplayScale,
                           rect ? *rect : IRECT(0, 0, mWidth, mHeight));
        shown = mScaledBitmap;
    }
    const int w = mWidth * mDisplayScale, h = mHeight * mDisplayScale;
    if (!mGraphicsCocoa && mGraphicsCarbon) {
        CGContextRef port = mGraphicsCarbon->GetCGContext();
        if (!port) return false;
        CGContextSaveGState(port);
        CGContextTranslateCTM(port, mGraphicsCarbon->ContentXOffset() * mDisplayScale,
                              mGraphicsCarbon->ContentYOffset() * mDisplayScale);
        // The draw event flipped the pane's context to the editor's top-down rows; an image is
        // placed by Quartz's bottom-up ones.
        CGContextTranslateCTM(port, 0, h);
        CGContextScaleCTM(port, 1, -1);
        bool drawn = DrawSysBitmapInto(shown, port, w, h);
        CGContextRestoreGState(port);
        return drawn;
    }
    if (!mGraphicsCocoa) return false;
    NSGraphicsContext* current = NSGraphicsContext::currentContext();
    if (!current) return false;
    NSGraphicsContext* wrapped =
        NSGraphicsContext::graphicsContextWithGraphicsPort_flipped(current->graphicsPort(), YES);
    return DrawSysBitmapInto(shown, wrapped ? wrapped->graphicsPort() : nullptr, w, h);
}

void IGraphicsMac::ForceEndUserEdit() {
    if (mGraphicsCocoa) mGraphicsCocoa->endUserInput();
    if (mGraphicsCarbon) mGraphicsCarbon->EndUserInput(false);
}

void* IGraphicsMac::GetWindow() {
    if (mGraphicsCocoa) return mGraphicsCocoa;
    return mGraphicsCarbon ? mGraphicsCarbon->GetView() : nullptr;
}

void IGraphicsMac::Resize(int w, int h) {
    // The entry's control is about to be deleted with the others.
    ForceEndUserEdit();
    IGraphics::Resize(w, h);
    if (mDrawBitmap) ResizeSysBitmap(mDrawBitmap, w, h);
    const int s = mDisplayScale;
    if (mScaledBitmap) ResizeSysBitmap(mScaledBitmap, w * s, h * s);
    if (mGraphicsCocoa) mGraphicsCocoa->setFrameSize(NSMakeSize(w * s, h * s));
    if (mGraphicsCarbon) mGraphicsCarbon->Resize(w * s, h * s);
}

IPopupMenu* IGraphicsMac::CreateIPopupMenu(IPopupMenu* menu, IRECT* areaRect) {
    ReleaseMouseCapture();
    if (!mGraphicsCocoa && mGraphicsCarbon)
        return mGraphicsCarbon->CreateIPopupMenu(menu, areaRect);
    if (!mGraphicsCocoa || !areaRect) return nullptr;
    return mGraphicsCocoa->createIPopupMenu(
        menu, ToNSRect(DeviceRect(*areaRect, mDisplayScale), mHeight * mDisplayScale));
}

void IGraphicsMac::CreateTextEntry(IControl* control, IText* text, IRECT* textRect, const char* str,
                                   IParam* param) {
    if (!text || !textRect) return;
    if (!mGraphicsCocoa && mGraphicsCarbon) {
        mGraphicsCarbon->CreateTextEntry(control, text, textRect, str, param);
        return;
    }
    if (!mGraphicsCocoa) return;
    mGraphicsCocoa->createTextEntry(
        control, param, text, str,
        ToNSRect(DeviceRect(*textRect, mDisplayScale), mHeight * mDisplayScale));
}

void IGraphicsMac::HostPath(WDL_String* path) {
    NSAutoreleasePool* pool = new NSAutoreleasePool();
    NSBundle* bundle = NSBundle::bundleWithIdentifier(Str(mBundleID.Get()));
    NSString* executable = bundle ? bundle->executablePath() : nil;
    if (executable) path->Set(executable->UTF8String());
    pool->drain();
}

void IGraphicsMac::PluginPath(WDL_String* path) {
    NSAutoreleasePool* pool = new NSAutoreleasePool();
    NSBundle* bundle = NSBundle::bundleWithIdentifier(Str(mBundleID.Get()));
    if (bundle) {
        path->Set(bundle->bundlePath()->stringByDeletingLastPathComponent()->UTF8String());
        path->Append("/");
    }
    pool->drain();
}

void IGraphicsMac::PromptForFile(WDL_String* filename, EFileAction action, WDL_String* dir,
                                 const char* extensions) {
    if (!filename || !dir) return;
    if (!WindowIsOpen()) {
        filename->Set("");
        return;
    }
    NSAutoreleasePool* pool = new NSAutoreleasePool();
    NSString* defaultName = Str(filename->Get());
    if (!dir->GetLength()) dir->Set("~/Desktop");
    NSString* defaultDir = Str(dir->Get());
    filename->Set("");
    NSArray* types = SplitTypes(extensions);
    NSString* chosen = nil;
    if (action == kFileSave) {
        NSSavePanel* panel = NSSavePanel::savePanel();
        panel->setAllowedFileTypes(types);
        panel->setAllowsOtherFileTypes(NO);
        if (panel->runModalForDirectory_file(defaultDir, defaultName) == NSOKButton)
            chosen = panel->filename();
    } else {
        NSOpenPanel* panel = NSOpenPanel::openPanel();
        panel->setCanChooseFiles(YES);
        panel->setCanChooseDirectories(NO);
        panel->setResolvesAliases(YES);
        if (panel->runModalForDirectory_file_types(defaultDir, defaultName, types) == NSOKButton)
            chosen = panel->filename();
    }
    if (chosen) {
        filename->Set(chosen->UTF8String());
        dir->Set(chosen->stringByDeletingLastPathComponent()->UTF8String());
        dir->Append("/");
    }
    pool->drain();
}

bool IGraphicsMac::OpenURL(const char* url, const char*, const char*, const char*) {
    if (!url) return false;
    NSAutoreleasePool* pool = new NSAutoreleasePool();
    NSURL* address =
        strstr(url, "http") ? NSURL::URLWithString(Str(url)) : NSURL::fileURLWithPath(Str(url));
    bool opened = address && NSWorkspace::sharedWorkspace()->openURL(address);
    pool->drain();
    return opened;
}

int IGraphicsMac::ChooseDisplayScale() {
    const double factor = mScaleFactor > 0 ? mScaleFactor : GrindvoxAppKit_BackingScaleFactor();
    mDisplayScale = factor >= kDoubleFrom ? 2 : 1;
    DeleteSysBitmap(mScaledBitmap);
    mScaledBitmap = nullptr;
    if (mDisplayScale == 1) return mDisplayScale;
    mScaledBitmap = NewSysBitmap(mWidth * mDisplayScale, mHeight * mDisplayScale);
    // Without the enlarged picture the plain editor is still usable.
    if (!mScaledBitmap) mDisplayScale = 1;
    return mDisplayScale;
}

void* IGraphicsMac::OpenWindow(void* parentView) {
    CloseWindow();
    ChooseDisplayScale();
    mGraphicsCocoa = new IGraphicsCocoa_vGrindvox_au(this);
    if (parentView) static_cast<NSView*>(parentView)->addSubview(mGraphicsCocoa);
    return mGraphicsCocoa;
}

void* IGraphicsMac::OpenWindow(void* window, void* parentControl) {
    CloseWindow();
    ChooseDisplayScale();
    auto* host = new IGraphicsCarbon(this, static_cast<OpaqueWindowPtr*>(window),
                                     static_cast<OpaqueControlRef*>(parentControl));
    if (!host->GetView()) {
        delete host;
        return nullptr;
    }
    mGraphicsCarbon = host;
    return host->GetView();
}

void IGraphicsMac::ViewRemoved(IGraphicsCocoa_vGrindvox_au* view) {
    if (view != mGraphicsCocoa) return;
    CloseWindow();
}

void IGraphicsMac::CloseWindow() {
    // The embedding host stops its timer before anything it points at goes.
    IGraphicsCarbon* host = mGraphicsCarbon;
    mGraphicsCarbon = nullptr;
    delete host;
    IGraphicsCocoa_vGrindvox_au* view = mGraphicsCocoa;
    if (!view) return;
    // Timer and text entry go first, so nothing reaches the controls once the view is gone.
    view->killTimer();
    view->endUserInput();
    mGraphicsCocoa = nullptr;
    if (view->graphics() == this) {
        view->unbind();
        view->removeFromSuperview();
    }
    // The reference taken when the view was made.
    view->release();
}

void IGraphicsMac::AttachSubWindow(void* hostWindowRef) {
    if (mHostNSWindow) RemoveSubWindow();
    NSAutoreleasePool* pool = new NSAutoreleasePool();
    NSWindow* host = new NSWindow(hostWindowRef);
    host->setCanHide(YES);
    host->setReleasedWhenClosed(NO); // this context holds it until RemoveSubWindow
    NSRect frame = host->frame();
    // The child is sized for the scale its view will open with.
    const int w = mWidth * ChooseDisplayScale(), h = mHeight * mDisplayScale;
    double offset = 0;
    if (frame.size.width > w) offset = std::floor((frame.size.width - w) * 0.5);
    NSRect content = NSMakeRect(frame.origin.x + offset, frame.origin.y, w, h);
    CustomCocoaWindow_vGrindvox_au* child = new CustomCocoaWindow_vGrindvox_au(
        content, NSBorderlessWindowMask, NSBackingStoreBuffered, NO);
    child->setOpaque(YES);
    child->setCanHide(YES);
    child->setHasShadow(NO);
    child->setReleasedWhenClosed(NO);
    OpenWindow(child->contentView());
    host->addChildWindow_ordered(child, NSWindowAbove);
    host->orderFront(nil);
    child->performSelector_withObject_afterDelay(NSSelector(&NSWindow::orderFront), nil, 0.5);
    mHostNSWindow = host;
    mChildWindow = child;
    pool->drain();
}

void IGraphicsMac::RemoveSubWindow() {
    if (!mHostNSWindow) {
        CloseWindow();
        return;
    }
    NSAutoreleasePool* pool = new NSAutoreleasePool();
    NSWindow* host = mHostNSWindow;
    NSWindow* child = mChildWindow;
    mHostNSWindow = nullptr;
    mChildWindow = nullptr;
    CloseWindow();
    child->orderOut(nil);
    host->orderOut(nil);
    host->removeChildWindow(child);
    child->close();
    host->close();
    child->release();
    host->release();
    pool->drain();
}

LICE_IBitmap* IGraphicsMac::OSLoadBitmap(int, const char* name) {
    NSAutoreleasePool* pool = new NSAutoreleasePool();
    LICE_IBitmap* bitmap = LoadImgFromResourceOSX(mBundleID.Get(), name);
    pool->drain();
    return bitmap;
}
