#pragma once

// A plain LV2 UI host, written against the LV2 UI headers alone, as the hosts musicians use are:
// it loads the UI module of a bundle folder with dlopen, gives it a parent X window of its own
// connection, records what the UI writes, touches and asks to resize, and calls the UI's idle
// interface from its loop. Input reaches the UI through XTest; pixels are read back with
// XGetImage. One per UI instance; the module stays loaded for the rest of the process.
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include <X11/Xlib.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class UiHost {
public:
    struct Write {
        uint32_t port;
        float value;
    };
    struct Touch {
        uint32_t port;
        bool grabbed;
    };

    // scaleFactor 0 offers no ui:scaleFactor option; parentX, parentY place the parent window
    // on the screen (out of any window manager's hands).
    UiHost(const std::string& bundle, float scaleFactor = 0.0f, int parentX = 0, int parentY = 0);
    ~UiHost();
    UiHost(const UiHost&) = delete;
    UiHost& operator=(const UiHost&) = delete;

    // Instantiates the UI for the stereo plug-in; false with the reason in Error().
    bool Instantiate();
    // Calls the UI's cleanup (once).
    void Cleanup();
    // Destroys the parent window, as a host closing its window first does.
    void DestroyParent();

    // Calls the UI's idle function for about this long, as a host's timer would.
    void Idle(double seconds = 0.2);
    void PortEvent(uint32_t port, float value);

    // Pointer input in the pane's own coordinates, through XTest, then idle time.
    void Click(int x, int y);
    void Drag(int x, int y, int dx, int dy);

    // The pane's pixel (0xRRGGBB), read back from the X server.
    unsigned long Pixel(int x, int y);
    // The pane's pixels in a rectangle, row by row.
    std::vector<unsigned long> Pixels(int x, int y, int w, int h);
    // The pane's size and parent as the X server knows them.
    bool PaneGeometry(int* w, int* h, Window* parent);

    Display* XDisplay() const { return mDisplay; }
    Window Parent() const { return mParent; }
    Window Pane() const { return mPane; }
    const std::string& Error() const { return mError; }

    std::vector<Write> writes;
    std::vector<Touch> touches;
    std::vector<std::pair<int, int>> resizes;

private:
    static void WriteFunction(LV2UI_Controller controller, uint32_t port, uint32_t size,
                              uint32_t protocol, const void* buffer);
    static uint32_t Map(LV2_URID_Map_Handle handle, const char* uri);
    static int Resize(LV2UI_Feature_Handle handle, int width, int height);
    static void TouchFunction(LV2UI_Feature_Handle handle, uint32_t port, bool grabbed);

    std::string mBundle;
    float mScaleFactor;
    Display* mDisplay = nullptr;
    Window mParent = 0;
    Window mPane = 0;
    const LV2UI_Descriptor* mDescriptor = nullptr;
    LV2UI_Handle mHandle = nullptr;
    const LV2UI_Idle_Interface* mIdle = nullptr;
    std::map<std::string, uint32_t> mUrids;
    static constexpr int kFeatures = 6;
    LV2_URID_Map mMap = {};
    LV2UI_Resize mResize = {};
    LV2UI_Touch mTouch = {};
    LV2_Options_Option mOptions[2] = {};
    LV2_Feature mFeatureData[kFeatures] = {};
    const LV2_Feature* mFeatures[kFeatures + 1] = {};
    std::string mError;
};
