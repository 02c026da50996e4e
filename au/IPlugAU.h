#pragma once

#include "containers/WDL_String.h"
#include "plugin/IPlugBase.h"

// What the component factory knows about the bundle an instance comes from: its reverse-domain
// identifier and the name of its Cocoa view factory class. The effect's constructor receives it
// by value.
struct IPlugInstanceInfo {
    WDL_String mBundleID{nullptr};
    WDL_String mCocoaViewFactoryClassName{nullptr};
};

// The adapter between the Audio Unit component interface and the plug-in base. The host side
// (entry and selector dispatch, properties and busses, render, parameters, state, views) is not
// built yet: for now the adapter constructs the base, keeps the bundle's names, sizes the
// channels' scratch buffers and answers the host-facing operations with nothing.
//
// Owns what the base owns; the effect derives from it.
class IPlugAU : public IPlugBase {
public:
    static constexpr int kDefaultBlockSize = 1024; // frames, until the host sets its own

    // Every argument but the instance information and the side-chain count goes to the base
    // unchanged. The side-chain count will shape the input busses.
    IPlugAU(IPlugInstanceInfo instanceInfo, int nParams, const char* channelIOStr, int nPresets,
            const char* effectName, const char* productName, const char* mfrName, int vendorVersion,
            int uniqueID, int mfrID, int latency, bool plugDoesMidi, bool plugDoesChunks,
            bool plugIsInst, int nSideChainChannels);
    ~IPlugAU() override;

    // Until the host adapter exists there is no host to inform or ask: these do nothing and
    // report no transport, no tempo and no MIDI.
    void BeginInformHostOfParamChange(int paramIdx) override;
    void InformHostOfParamChange(int paramIdx, double normalizedValue) override;
    void EndInformHostOfParamChange(int paramIdx) override;
    void InformHostOfProgramChange() override;
    int GetSamplePos() override;
    double GetTempo() override;
    // Leaves both outputs as the caller set them.
    void GetTimeSig(int* numerator, int* denominator) override;
    // Leaves the caller's defaults in place.
    void GetTime(ITimeInfo* timeInfo) override;
    void ResizeGraphics(int width, int height) override;
    void HostSpecificInit() override;
    // Returns false: nothing is sent.
    bool SendMidiMsg(IMidiMsg* msg) override;
    bool SendMidiMsgs(WDL_TypedBuf<IMidiMsg>* msgs) override;

    const char* GetBundleID() const { return mBundleIdent.Get(); }
    const char* GetViewFactoryClass() const { return mViewFactoryClass.Get(); }

protected:
    WDL_String mBundleIdent;
    WDL_String mViewFactoryClass;
};
