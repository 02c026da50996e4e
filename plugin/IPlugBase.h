#pragma once

#include "containers/WDL_Mutex.h"
#include "containers/WDL_PtrList.h"
#include "containers/WDL_String.h"
#include "containers/WDL_TypedBuf.h"
#include "plugin/ByteChunk.h"
#include "plugin/IParam.h"
#include "plugin/IPreset.h"

class IGraphics;
struct IMidiMsg;
struct IRECT;
struct ITimeInfo;

// The host-independent base of every plug-in: its identity, parameters, legal channel
// configurations, one record per input and output channel with the buffers that connect the
// host's audio to the effect, and the recursive mutex that serialises parameter, state and
// editor traffic. Processing always runs in double precision on non-interleaved channels: float
// host buffers are converted through per-channel scratch buffers.
//
// Owns its parameters, channel records and the attached editor. A host adapter derives from it
// and supplies the host-facing operations; the effect derives from the adapter.
class IPlugBase {
public:
    struct ChannelIO {
        int mIn;
        int mOut;
    };
    struct InChannel {
        bool mConnected = false;
        double** mSrc = nullptr; // this channel's slot in mInData
        WDL_TypedBuf<double> mScratchBuf{4096};
    };
    struct OutChannel {
        bool mConnected = false;
        double** mDest = nullptr; // this channel's slot in mOutData
        float* mFDest = nullptr;  // host buffer that results are converted into
        WDL_TypedBuf<double> mScratchBuf{4096};
    };

    static constexpr int kNameSize = 128; // names keep 127 characters

    // channelIOStr lists the legal configurations as "in-out" tokens separated by spaces, for
    // example "1-1 2-2". The does-MIDI flag is accepted and not stored.
    IPlugBase(int nParams, const char* channelIOStr, int nPresets, const char* effectName,
              const char* productName, const char* mfrName, int vendorVersion, int uniqueID,
              int mfrID, int latency, bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst);
    virtual ~IPlugBase();
    IPlugBase(const IPlugBase&) = delete;
    IPlugBase& operator=(const IPlugBase&) = delete;

    // The hooks an effect overrides. "Under the lock" means the caller already holds the
    // plug-in's recursive mutex (the adapters' dispatch does for every host call but render);
    // taking it again is allowed, blocking on anything else is not.

    // Any thread, under the lock or not (takes it). The effect clears its processing state:
    // filters, holds, anything a host's restart must not hear.
    virtual void Reset();
    // Any thread, under the lock. The effect copies parameter paramIdx (always a valid index)
    // into its own state; the audio thread may be reading that state without the lock.
    virtual void OnParamChange(int paramIdx);
    // Audio thread, no lock, no allocation. inputs/outputs hold NInChannels()/NOutChannels()
    // channel pointers of nFrames doubles (nFrames ≤ GetBlockSize()); the base owns them and
    // they may alias. The default copies input i to output i and clears the outputs beyond the
    // inputs.
    virtual void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames);
    // Audio thread; as above for float channels. Not called by the adapters, which process in
    // double.
    virtual void ProcessSingleReplacing(float** inputs, float** outputs, int nFrames);
    // Main thread, under the lock: the editor's window opened or closed.
    virtual void OnGUIOpen() {}
    virtual void OnGUIClose() {}
    // Main thread, no lock: called from the editor's timer.
    virtual void OnIdle() {}
    // Host thread (takes the lock): processing starts (Initialize) or stops (Uninitialize).
    virtual void OnActivate(bool active);
    // Audio thread, no lock. The message is the caller's. The default hands it on to
    // SendMidiMsg.
    virtual void ProcessMidiMsg(IMidiMsg* msg);
    // Any thread. Writes "" into name (32 bytes, the caller's) and returns false: the effect
    // names no notes.
    virtual bool MidiNoteName(int noteNumber, char* name);
    // Any thread (takes the lock). The plug-in's whole state, for plug-ins that keep more than
    // their parameter values; the default is the parameter blob. Serialize appends to the
    // caller's chunk and returns false when the chunk could not grow; Unserialize returns the
    // position after the state, or -1 when the chunk ended early.
    virtual bool SerializeState(ByteChunk* chunk);
    virtual int UnserializeState(ByteChunk* chunk, int startPos);

    // Host-facing operations the adapter supplies.

    // Any thread, possibly under the lock. A control's gesture begins, moves and ends; the
    // value is normalised to 0..1. Never called on the audio thread.
    virtual void BeginInformHostOfParamChange(int paramIdx) = 0;
    virtual void InformHostOfParamChange(int paramIdx, double normalizedValue) = 0;
    virtual void EndInformHostOfParamChange(int paramIdx) = 0;
    // Any thread, under the lock: the current preset changed from the plug-in's side.
    virtual void InformHostOfProgramChange() = 0;
    // Audio thread or any, no lock. The host's transport: the sample position of the block,
    // its tempo in beats per minute (0 or less when unknown), its time signature (the outputs
    // are left untouched when unknown) and the whole time record (the caller's).
    virtual int GetSamplePos() = 0;
    virtual double GetTempo() = 0;
    virtual void GetTimeSig(int* numerator, int* denominator) = 0;
    virtual void GetTime(ITimeInfo* timeInfo) = 0;
    // Any thread. The host's identity (a HostLookup code, 0 when unknown); adapters may find it
    // on first use.
    virtual int GetHost() { return mHost; }
    // Main thread, under the lock: the editor asks the host for a new view size in pixels.
    virtual void ResizeGraphics(int width, int height) = 0;
    // Main thread: the user resized the editor's window to the rectangle (the caller's).
    virtual void UserResizedWindow(IRECT* /*rect*/) {}
    // Main thread: true when the plug-in shows its own about box for the host.
    virtual bool HostRequestingAboutBox() { return false; }
    // Host thread, once, right after the plug-in is made (no lock yet): host-specific
    // adjustments.
    virtual void HostSpecificInit() = 0;

    // Main thread, under the lock or not (takes it). Takes ownership of the editor and pushes
    // every parameter's value into it; a null editor is ignored.
    virtual void AttachGraphics(IGraphics* graphics);
    // Host thread, under the lock, never the audio thread: it allocates. Sizes every channel's
    // scratch buffer to blockSize frames and clears it; a buffer that cannot grow keeps the
    // block size at what every buffer holds.
    virtual void SetBlockSize(int blockSize);
    // Host thread, under the lock: the processing delay in samples the host is told about.
    virtual void SetLatency(int samples) { mLatency = samples; }
    // Audio thread, no lock. Sends MIDI to the host; false when it cannot. The messages are
    // the caller's.
    virtual bool SendMidiMsg(IMidiMsg* msg) = 0;
    virtual bool SendMidiMsgs(WDL_TypedBuf<IMidiMsg>* msgs) = 0;
    // Any thread (takes the lock). Appends every parameter's plain value as a double, in index
    // order. Unserialize reads them back clamped into range (never rounded to the step), tells
    // the effect about every parameter, and returns the position after the last value or -1
    // when the chunk ended early (the first missing value reads as 0, the later ones are kept).
    virtual bool SerializeParams(ByteChunk* chunk);
    virtual int UnserializeParams(ByteChunk* chunk, int startPos);
    // Any thread, under the lock. Shows every parameter's plain value in the editor, if one is
    // attached.
    virtual void RedrawParamControls();
    // Any thread, under the lock. Every slot's name, initialised flag and, for initialised
    // slots, its blob, appended to the caller's chunk. Unserialize loads the slots, then
    // restores the current preset; returns the position after the last slot read, or -1.
    virtual bool SerializePresets(ByteChunk* chunk);
    virtual int UnserializePresets(ByteChunk* chunk, int startPos);
    // Any thread, under the lock: the host restored a preset; the effect may refresh what it
    // derives from the parameters.
    virtual void PresetsChangedByHost() {}

    IParam* GetParam(int idx) const { return mParams.Get(idx); }
    IGraphics* GetGUI() const { return mGraphics; }
    int NParams() const { return mParams.GetSize(); }
    int NPresets() const { return mPresets.GetSize(); }
    int NInChannels() const { return mInChannels.GetSize(); }
    int NOutChannels() const { return mOutChannels.GetSize(); }
    int NChannelIO() const { return mChannelIO.GetSize(); }
    const ChannelIO* GetChannelIO(int idx) const { return mChannelIO.Get(idx); }

    const char* GetEffectName() const { return mEffectName; }
    const char* GetProductName() const { return mProductName; }
    const char* GetMfrName() const { return mMfrName; }
    int GetUniqueID() const { return mUniqueID; }
    int GetMfrID() const { return mMfrID; }
    int GetVersion() const { return mVersion; }
    bool DoesStateChunks() const { return mStateChunks; }
    bool IsInst() const { return mIsInst; }
    double GetSampleRate() const { return mSampleRate; }
    int GetBlockSize() const { return mBlockSize; }
    int GetLatency() const { return mLatency; }
    int GetCurrentPresetIdx() const { return mCurrentPresetIdx; }

    // The packed version, or major × 10000 + minor × 100 + fix when decimal is set.
    int GetEffectVersion(bool decimal) const;
    void GetEffectVersionStr(char* buffer) const;
    // Identifies the host first (through GetHost), then answers its version.
    int GetHostVersion(bool decimal);
    void GetHostVersionStr(char* buffer) const;
    // Recognises the host from its name or bundle identifier.
    void SetHost(const char* host, int version);

    void SetSampleRate(double sampleRate) { mSampleRate = sampleRate; }
    // mSampleRate × 60 / tempo, or 0 while the host reports no tempo.
    double GetSamplesPerBeat();

    // True when some configuration matches; a negative count matches any.
    bool LegalIO(int nIn, int nOut) const;
    void LimitToStereoIO();
    bool IsInChannelConnected(int chIdx) const;
    bool IsOutChannelConnected(int chIdx) const;
    // Channels idx up to idx + n (within the channel count). An unconnected channel's slot points
    // at its own scratch buffer; an input that becomes unconnected reads silence.
    void SetInputChannelConnections(int idx, int n, bool connected);
    void SetOutputChannelConnections(int idx, int n, bool connected);

    // Audio thread. Each takes the next host pointer for every connected channel from idx up to
    // idx + n; unconnected channels consume none. Float inputs are converted into the scratch
    // buffers, so nFrames must not exceed the block size.
    void AttachInputBuffers(int idx, int n, double** ppData, int nFrames);
    void AttachInputBuffers(int idx, int n, float** ppData, int nFrames);
    void AttachOutputBuffers(int idx, int n, double** ppData);
    void AttachOutputBuffers(int idx, int n, float** ppData);

    // Audio thread, no lock. Runs the effect on the attached buffers; the float forms convert the
    // connected outputs into the host's buffers, replacing or adding to what they hold.
    void ProcessBuffers(double sampleType, int nFrames);
    void ProcessBuffers(float sampleType, int nFrames);
    void ProcessBuffersAccumulating(float sampleType, int nFrames);
    // Copies inputs to outputs instead of running the effect.
    void PassThroughBuffers(double sampleType, int nFrames);
    void PassThroughBuffers(float sampleType, int nFrames);

    // OnParamChange for every parameter in index order.
    void OnParamReset();
    // Main thread: a control changed a parameter. Sets it, tells the host, tells the effect.
    void SetParameterFromGUI(int idx, double normalizedValue);
    // Tells the host every parameter's current value; takes the mutex.
    void DirtyParameters();

    WDL_Mutex* GetMutex() { return &mMutex; }

    // Presets. The Make… operations fill the next uninitialised slot and answer false (changing
    // nothing) when every slot is initialised; names keep 255 characters.
    const char* GetPresetName(int idx) const;
    static IPreset* GetNextUninitializedPreset(WDL_PtrList<IPreset>* presets);
    // Fills up to nPresets slots with the current state; a null name gives "Empty".
    void MakeDefaultPreset(const char* name, int nPresets);
    void EnsureDefaultPreset();
    // One variadic value per parameter in index order: an int for Boolean, integer and
    // enumerated parameters, a double for double ones. Stored unclamped.
    bool MakePreset(const char* name, ...);
    // nParamsNamed (index, value) pairs typed as for MakePreset; the parameters not named keep
    // their current values.
    bool MakePresetFromNamedParams(const char* name, int nParamsNamed, ...);
    bool MakePresetFromChunk(const char* name, ByteChunk* chunk);
    // Decodes base64 text into a zero-filled blob of sizeOfChunk bytes.
    bool MakePresetFromBlob(const char* name, const char* blob, int sizeOfChunk);
    void PruneUninitializedPresets();
    // "user preset N", N one more than the slots already named so; buffer holds
    // IPreset::kNameSize bytes.
    static void MakeDefaultUserPresetName(WDL_PtrList<IPreset>* presets, char* buffer);
    // Loads a slot's values and makes it current. An uninitialised slot is first filled with
    // the current state under a "user preset" name. False for an index outside the list.
    bool RestorePreset(int idx);
    bool RestorePreset(const char* name);
    // Stores the current state in the current slot, renaming it when a name is given.
    void ModifyCurrentPreset(const char* name = nullptr);

    // Preset files in the VST 2 program ("fxp") and bank ("fxb") layouts: big-endian fields,
    // each value as its normalised single-precision float, or, for a plug-in that keeps state
    // chunks, the state blob (program) or the presets blob (bank). Any thread (takes the lock).
    //
    // The Save…Chunk forms append a whole file to the caller's chunk and answer false when it
    // could not grow. The Load…Chunk forms take a whole file (the caller's) and check all of it
    // before changing anything: identity, counts, exact length, finite values. A refused file
    // leaves parameters, presets and the current preset as they were. A program replaces the
    // current preset; a bank fills the slots in order (programs beyond the last slot are checked
    // but not loaded) and selects its current program when the effect has that slot.
    bool SaveProgramAsFXPChunk(ByteChunk* chunk);
    bool SaveBankAsFXBChunk(ByteChunk* chunk);
    bool LoadProgramFromFXPChunk(const ByteChunk* chunk);
    bool LoadBankFromFXBChunk(const ByteChunk* chunk);
    // The same on files. A save writes a new file and puts it in the old one's place only once
    // it is whole, so a failed save keeps the old file. Files over kMaxPresetFileSize are
    // refused unread.
    static constexpr int kMaxPresetFileSize = 16 << 20; // bytes
    bool SaveProgramAsFXPFile(const char* path);
    bool SaveBankAsFXBFile(const char* path);
    bool LoadProgramFromFXPFile(const char* path);
    bool LoadBankFromFXBFile(const char* path);
    // The same through the attached editor's file dialog, main thread: it starts in mPresetDir
    // (which it updates) and offers defaultName for a save. False without an editor, when the
    // user cancels, or as the file forms answer.
    bool SaveProgramAsFXP(const char* defaultName);
    bool SaveBankAsFXB(const char* defaultName);
    bool LoadProgramFromFXP();
    bool LoadBankFromFXB();
    // Developer aids, any thread: one line of source text that recreates the current preset,
    // through MakePresetFromNamedParams with the current values (names holds one enumerator
    // name per parameter) or through MakePresetFromBlob with the current slot's blob. False when
    // the file cannot be written, a name is missing or there is no current preset.
    bool DumpPresetSrcCode(const char* path, const char* const* names);
    bool DumpPresetBlob(const char* path);

protected:
    void ConvertOutputs(int nFrames, bool accumulate);

    WDL_PtrList<ChannelIO> mChannelIO{4096};
    WDL_Mutex mMutex;
    char mEffectName[kNameSize] = {};
    char mProductName[kNameSize] = {};
    char mMfrName[kNameSize] = {};
    int mUniqueID;
    int mMfrID;
    int mVersion; // 0xVVVVRRMM
    int mHost = -1;
    int mHostVersion = 0;
    bool mStateChunks;
    bool mIsInst;
    double mSampleRate = 44100.0;
    int mBlockSize = 0; // frames; the size of every scratch buffer
    int mLatency;
    WDL_String mPresetDir;
    WDL_PtrList<IParam> mParams{4096};
    IGraphics* mGraphics = nullptr;
    WDL_PtrList<IPreset> mPresets{4096};
    int mCurrentPresetIdx = 0;
    WDL_TypedBuf<double*> mInData{4096};
    WDL_TypedBuf<double*> mOutData{4096};
    WDL_PtrList<InChannel> mInChannels{4096};
    WDL_PtrList<OutChannel> mOutChannels{4096};
};
