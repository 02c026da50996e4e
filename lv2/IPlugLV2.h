#pragma once

#include "containers/WDL_TypedBuf.h"
#include "plugin/IPlugBase.h"

#include <lv2/core/lv2.h>

#include <cstdint>

// What the module's instantiate knows about the instance the host asks for. The effect's
// constructor receives it by value and hands it to the adapter.
struct IPlugInstanceInfo {
    double mSampleRate = 44100.0;
    // The host's feature array (may be null); read during construction only.
    const LV2_Feature* const* mFeatures = nullptr;
    // Audio ports per direction: 2 for the stereo plug-in, 1 for the mono one.
    int mNAudioChannels = 2;
};

// The adapter between the LV2 plug-in interface and the plug-in base. Ports come in a fixed
// order: one control port per parameter (port i carries parameter i, in its own units), then
// the audio inputs, then the audio outputs. `Run` reads the control ports, hands changed values
// to the effect and processes through the base's float path in pieces of at most the block
// size, so a host may run any number of frames; it allocates and locks nothing.
//
// Owns its port table and, through the base, the scratch audio; the ports' memory is the
// host's. The effect derives from it; the module's instantiate makes it and cleanup deletes it.
class IPlugLV2 : public IPlugBase {
public:
    // Frames processed per piece when the host does not say how long its runs get.
    static constexpr int kDefaultBlockSize = 4096;
    // A host's maxBlockLength beyond this is processed in pieces of this size instead.
    static constexpr int kMaxBlockSize = 65536;

    // Every argument but the instance information goes to the base unchanged; the side-chain
    // count must be 0 (LV2 has no busses here).
    IPlugLV2(IPlugInstanceInfo instanceInfo, int nParams, const char* channelIOStr, int nPresets,
             const char* effectName, const char* productName, const char* mfrName,
             int vendorVersion, int uniqueID, int mfrID, int latency, bool plugDoesMidi,
             bool plugDoesChunks, bool plugIsInst, int nSideChainChannels);
    ~IPlugLV2() override;

    // The LV2 descriptor's operations, with the interface's signatures and the plug-in as the
    // handle. Instantiation is the module's (it makes the effect); the rest is here.

    // Any thread, before the first run and between runs. Ports past the last are ignored.
    static void ConnectPort(LV2_Handle instance, uint32_t port, void* data);
    // Instantiation thread: clears the effect's processing state.
    static void Activate(LV2_Handle instance);
    // Audio thread. No lock, no allocation; any frame count.
    static void Run(LV2_Handle instance, uint32_t nFrames);
    static void Deactivate(LV2_Handle instance);
    // Instantiation thread: deletes the plug-in.
    static void Cleanup(LV2_Handle instance);
    // Any thread: no extension is offered, so always null.
    static const void* ExtensionData(const char* uri);

    // Checks what the constructor could not report: true when the scratch audio could be had.
    // The module's instantiate returns null for an instance that fails it.
    bool IsReady() const { return GetBlockSize() > 0; }
    int NAudioChannels() const { return mNAudio; }

    // The host side of a DSP module knows nothing of gestures, programs, transport or MIDI
    // output: these answer neutrally and tell nobody.
    void BeginInformHostOfParamChange(int /*paramIdx*/) override {}
    void InformHostOfParamChange(int /*paramIdx*/, double /*normalizedValue*/) override {}
    void EndInformHostOfParamChange(int /*paramIdx*/) override {}
    void InformHostOfProgramChange() override {}
    int GetSamplePos() override { return 0; }
    double GetTempo() override { return 0.0; }
    void GetTimeSig(int* /*numerator*/, int* /*denominator*/) override {}
    void GetTime(ITimeInfo* /*timeInfo*/) override {}
    void ResizeGraphics(int /*width*/, int /*height*/) override {}
    void HostSpecificInit() override {}
    bool SendMidiMsg(IMidiMsg* /*msg*/) override { return false; }
    bool SendMidiMsgs(WDL_TypedBuf<IMidiMsg>* /*msgs*/) override { return false; }

private:
    // Hands every control port whose value changed since the last run to the effect.
    void ApplyControls();
    void Process(uint32_t nFrames);

    int mNAudio;
    WDL_TypedBuf<const float*> mControls{64};
    // The value each control port held when last applied; NaN until the first run.
    WDL_TypedBuf<float> mApplied{64};
    float* mAudioIn[2] = {nullptr, nullptr};
    float* mAudioOut[2] = {nullptr, nullptr};
};
