#pragma once

#include "plugin/IPlugBase.h"

#include <lv2/ui/ui.h>

#include <cstdint>

// What the UI module's instantiate learned from the host, for the effect's constructor to hand
// to the adapter. The functions and handles are the host's and outlive the instance.
struct IPlugInstanceInfo {
    LV2UI_Write_Function mWriteFunction = nullptr;
    LV2UI_Controller mController = nullptr;
    const LV2UI_Touch* mTouch = nullptr;   // null when the host offers no ui:touch
    const LV2UI_Resize* mResize = nullptr; // null when the host offers no ui:resize
    // The identifier the editor finds its pictures by; the module registers the bundle under it.
    const char* mBundleID = "";
};

// The adapter between an LV2 UI and the plug-in base: the effect made on the host's UI thread
// for its parameters and its editor, processing nothing. The editor's changes go to the host as
// writes of the control ports (port i carries parameter i, in its own units), gestures as
// ui:touch; the host's port values come back through PortEvent and reach the editor without
// being sent back.
//
// Owns nothing of the host's. The effect derives from it; the UI module's instantiate makes it
// and its cleanup deletes it. Every call comes from the host's UI thread.
class IPlugLV2UI : public IPlugBase {
public:
    // Every argument but the instance information goes to the base unchanged.
    IPlugLV2UI(IPlugInstanceInfo instanceInfo, int nParams, const char* channelIOStr, int nPresets,
               const char* effectName, const char* productName, const char* mfrName,
               int vendorVersion, int uniqueID, int mfrID, int latency, bool plugDoesMidi,
               bool plugDoesChunks, bool plugIsInst, int nSideChainChannels);
    ~IPlugLV2UI() override;

    const char* GetBundleID() const { return mBundleID; }

    // A control port's new value from the host, as a float in the port's units; anything else
    // (another port, another format, NaN) is ignored.
    void PortEvent(uint32_t port, uint32_t bufferSize, uint32_t format, const void* buffer);

    void BeginInformHostOfParamChange(int paramIdx) override;
    void InformHostOfParamChange(int paramIdx, double normalizedValue) override;
    void EndInformHostOfParamChange(int paramIdx) override;
    // Asks the host for the editor's new size (in the window's device pixels), when it offers
    // ui:resize.
    void ResizeGraphics(int width, int height) override;

    // A UI knows nothing of programs, transport or MIDI output: these answer neutrally.
    void InformHostOfProgramChange() override {}
    int GetSamplePos() override { return 0; }
    double GetTempo() override { return 0.0; }
    void GetTimeSig(int* /*numerator*/, int* /*denominator*/) override {}
    void GetTime(ITimeInfo* /*timeInfo*/) override {}
    void HostSpecificInit() override {}
    bool SendMidiMsg(IMidiMsg* /*msg*/) override { return false; }
    bool SendMidiMsgs(WDL_TypedBuf<IMidiMsg>* /*msgs*/) override { return false; }

private:
    void Touch(int paramIdx, bool grabbed);

    LV2UI_Write_Function mWriteFunction;
    LV2UI_Controller mController;
    const LV2UI_Touch* mTouch;
    const LV2UI_Resize* mResize;
    const char* mBundleID;
};
