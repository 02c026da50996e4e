#pragma once

#include "containers/WDL_PtrList.h"
#include "containers/WDL_String.h"
#include "containers/WDL_TypedBuf.h"
#include "plugin/IPlugBase.h"

#include <AudioToolbox/AudioToolbox.h>
#include <AudioUnit/AudioUnit.h>
#include <CoreFoundation/CoreFoundation.h>
#include <CoreServices/CoreServices.h>

// What the component factory knows about the bundle an instance comes from: its reverse-domain
// identifier and the name of its Cocoa view factory class. The effect's constructor receives it
// by value.
struct IPlugInstanceInfo {
    WDL_String mBundleID{nullptr};
    WDL_String mCocoaViewFactoryClassName{nullptr};
};

// The unit's own properties, in the range hosts leave to components; global scope, readable and
// writable, each a CFDataRef. Reading one gives the host a new data object, which it releases:
// the current program as a program file ("fxp") or every preset as a bank file ("fxb"). Setting
// one loads the file; a file the plug-in refuses answers kAudioUnitErr_InvalidPropertyValue and
// changes nothing.
enum {
    kIPlugAUProperty_ProgramFile = 64000,
    kIPlugAUProperty_BankFile = 64001,
};

// The adapter between the Audio Unit component interface and the plug-in base: the component
// entry that routes every selector under the plug-in's lock, the properties and busses a host
// configures, the render path that pulls input and runs the base's processing, the fast-dispatch
// parameter functions, host notifications, and the state dictionary.
//
// Owns its busses, input connections, listener and render-notify records and scratch audio, on
// top of what the base owns. The effect derives from it; the host owns the instance from Open
// to Close. The implementation is spread by concern: IPlugAU.cpp (construction, busses, host
// queries), IPlugAUEntry.cpp (selector dispatch), IPlugAUProperties.cpp, IPlugAURender.cpp and
// IPlugAUState.cpp.
class IPlugAU : public IPlugBase {
public:
    static constexpr int kDefaultBlockSize = 1024; // frames, until the host sets its own

    enum EAUInputType {
        eNotConnected = 0,
        eDirectFastProc = 1,
        eDirectNoFastProc = 2,
        eRenderCallback = 3,
    };

    struct BusChannels {
        bool mIsConnected = false;
        int mHostChannelCount = -1; // set through StreamFormat; -1 until then
        int mPlugChannelCount = 0;
        int mFirstPlugChannel = 0; // among the plug-in's input or output channels
    };

    // How one input bus is fed; all zero means not connected.
    struct InputConnection {
        void* mUpstreamInstance = nullptr; // the upstream component's storage, for its fast proc
        AudioUnit mUpstreamUnit = nullptr;
        int mUpstreamOutput = 0;
        AudioUnitRenderProc mUpstreamRenderProc = nullptr;
        AURenderCallbackStruct mRenderCallback = {nullptr, nullptr};
        EAUInputType mInputType = eNotConnected;
    };

    struct PropertyListenerRec {
        AudioUnitPropertyID mPropID;
        AudioUnitPropertyListenerProc mListenerProc;
        void* mProcArgs;
    };

    // Every argument but the instance information and the side-chain count goes to the base
    // unchanged; the side-chain count splits the input channels into two busses.
    IPlugAU(IPlugInstanceInfo instanceInfo, int nParams, const char* channelIOStr, int nPresets,
            const char* effectName, const char* productName, const char* mfrName, int vendorVersion,
            int uniqueID, int mfrID, int latency, bool plugDoesMidi, bool plugDoesChunks,
            bool plugIsInst, int nSideChainChannels);
    ~IPlugAU() override;

    // Any thread, possibly under the mutex. Post parameter events to the host's listeners; the
    // value is not sent, listeners read it back through GetParameter.
    void BeginInformHostOfParamChange(int paramIdx) override;
    void InformHostOfParamChange(int paramIdx, double normalizedValue) override;
    void EndInformHostOfParamChange(int paramIdx) override;
    // Calls the listeners of PresentPreset.
    void InformHostOfProgramChange() override;
    // Transport queries through the host's callbacks; none locks. Without callbacks: position 0,
    // the last positive tempo reported (120 at first), the time signature left untouched.
    int GetSamplePos() override;
    double GetTempo() override;
    void GetTimeSig(int* numerator, int* denominator) override;
    void GetTime(ITimeInfo* timeInfo) override;
    // Identifies the host from the main bundle's identifier on first use.
    int GetHost() override;
    void ResizeGraphics(int width, int height) override;
    void HostSpecificInit() override;
    // Also sizes the adapter's float scratch audio.
    void SetBlockSize(int blockSize) override;
    // Tells the Latency listeners first.
    void SetLatency(int samples) override;
    // There is no MIDI output: returns false and sends nothing.
    bool SendMidiMsg(IMidiMsg* msg) override;
    bool SendMidiMsgs(WDL_TypedBuf<IMidiMsg>* msgs) override;

    // The component entry: every selector, under the plug-in's lock but Open and Close. Returns
    // the Audio Unit status.
    static ComponentResult IPlugAUEntry(ComponentParameters* params, void* plug);
    // The Carbon view component's entry.
    static ComponentResult IPlugAUCarbonViewEntry(ComponentParameters* params, void* plug);

    // The fast-dispatch functions handed to hosts, with the platform's signatures and the
    // plug-in as their first argument. RenderProc takes no lock of its own; the parameter
    // functions take the mutex.
    static OSStatus RenderProc(void* plug, AudioUnitRenderActionFlags* flags,
                               const AudioTimeStamp* timeStamp, UInt32 outputBus, UInt32 nFrames,
                               AudioBufferList* bufferList);
    static OSStatus GetParamProc(void* plug, AudioUnitParameterID paramID, AudioUnitScope scope,
                                 AudioUnitElement element, AudioUnitParameterValue* value);
    static OSStatus SetParamProc(void* plug, AudioUnitParameterID paramID, AudioUnitScope scope,
                                 AudioUnitElement element, AudioUnitParameterValue value,
                                 UInt32 bufferOffset);

    // Calls the listeners registered for the property.
    void InformListeners(AudioUnitPropertyID propID, AudioUnitScope scope);

    const char* GetBundleID() const { return mBundleIdent.Get(); }
    const char* GetViewFactoryClass() const { return mViewFactoryClass.Get(); }

    // The adapter's one stream format: 32-bit float linear PCM.
    static void MakeDefaultASBD(AudioStreamBasicDescription* asbd, double sampleRate, int nChannels,
                                bool interleaved);

protected:
    // Property traffic, under the mutex. A null data pointer asks for size and writability only.
    ComponentResult GetProperty(AudioUnitPropertyID propID, AudioUnitScope scope,
                                AudioUnitElement element, UInt32* dataSize, Boolean* writable,
                                void* data);
    ComponentResult SetProperty(AudioUnitPropertyID propID, AudioUnitScope scope,
                                AudioUnitElement element, UInt32 dataSize, const void* data);

    // The state dictionary of the ClassInfo property; the caller owns what GetState makes.
    ComponentResult GetState(CFPropertyListRef* state);
    ComponentResult SetState(CFPropertyListRef state);
    // The program or bank file properties; the caller owns what GetPresetFile makes.
    ComponentResult GetPresetFile(bool bank, CFDataRef* file);
    ComponentResult SetPresetFile(bool bank, CFDataRef file);

    BusChannels* GetBus(AudioUnitScope scope, AudioUnitElement busIdx);
    // Sum of the host channel counts of the busses but excludeIdx, or -1 when none is set.
    static int NHostChannelsConnected(WDL_PtrList<BusChannels>* busses, int excludeIdx);
    bool CheckLegalIO();
    bool CheckLegalIO(AudioUnitScope scope, int busIdx, int nChannels);
    void AssessInputConnections();
    void ClearConnections();

    WDL_String mBundleIdent;
    WDL_String mViewFactoryClass;
    ComponentInstance mInstance = nullptr;
    bool mUnitInitialized = false;
    bool mBypass = false;
    double mLastInputSampleTime = -1.0;
    double mCachedTempo = 120.0;
    HostCallbackInfo mHostCallbackInfo = {};
    WDL_TypedBuf<float> mInputScratch{4096};
    WDL_TypedBuf<float> mOutputScratch{4096};
    WDL_PtrList<AURenderCallbackStruct> mRenderNotifiers{4096};
    AURenderCallbackStruct mMidiOutput = {nullptr, nullptr}; // no MIDI output; never filled
    WDL_PtrList<BusChannels> mInputBusses{4096};
    WDL_PtrList<BusChannels> mOutputBusses{4096};
    WDL_PtrList<InputConnection> mInputConnections{4096};
    WDL_PtrList<PropertyListenerRec> mListeners{4096};

private:
    // A host's element or parameter ID as a list index: -1 past the int range, so that every
    // list lookup with it answers null.
    static int IndexOf(UInt32 element) {
        return element > 0x7fffffffu ? -1 : static_cast<int>(element);
    }
    IParam* GetParamByID(AudioUnitParameterID paramID) const { return GetParam(IndexOf(paramID)); }

    ComponentResult Dispatch(ComponentParameters* params);
    ComponentResult GetProc(AudioUnitElement selector, UInt32* dataSize, void* data);
    ComponentResult ParameterInfo(AudioUnitElement paramIdx, UInt32 dataSize, void* data);
    ComponentResult FactoryPresets(void* data);
    ComponentResult SetStreamFormat(AudioUnitScope scope, AudioUnitElement element,
                                    const AudioStreamBasicDescription* format);
    ComponentResult MakeConnection(const AudioUnitConnection* connection);
    OSStatus PullInputs(AudioUnitRenderActionFlags* flags, const AudioTimeStamp* timeStamp,
                        UInt32 nFrames);
    void BindOutputs(BusChannels* bus, AudioBufferList* bufferList, UInt32 nFrames);
    void AddPropertyListener(const PropertyListenerRec& listener);
    void RemovePropertyListener(AudioUnitPropertyID propID, AudioUnitPropertyListenerProc proc,
                                bool matchUserData, void* userData);
    void RemoveRenderNotify(AURenderCallback proc);
    ComponentResult ScheduleParameters(const AudioUnitParameterEvent* events, UInt32 nEvents);
    void SizeScratch(int blockSize);
};

// The effect's factory, defined by the effect: a new instance for every Open.
IPlugAU* MakePlug();

// Posts a parameter event of any type to the host's listeners.
void SendAUEvent(AudioUnitEventType type, ComponentInstance instance, int paramIdx);
