#include "au/IPlugAU.h"

#include "au/AUDictionary.h"
#include "plugin/IMidiMsg.h"
#include "plugin/ITimeInfo.h"
#include "plugin/Trace.h"

#include <cstring>

namespace {

IPlugAU::BusChannels* newBus(int plugChannels, int firstChannel) {
    auto* bus = new IPlugAU::BusChannels;
    bus->mPlugChannelCount = plugChannels;
    bus->mFirstPlugChannel = firstChannel;
    return bus;
}

} // namespace

IPlugAU::IPlugAU(IPlugInstanceInfo instanceInfo, int nParams, const char* channelIOStr,
                 int nPresets, const char* effectName, const char* productName, const char* mfrName,
                 int vendorVersion, int uniqueID, int mfrID, int latency, bool plugDoesMidi,
                 bool plugDoesChunks, bool plugIsInst, int nSideChainChannels)
    : IPlugBase(nParams, channelIOStr, nPresets, effectName, productName, mfrName, vendorVersion,
                uniqueID, mfrID, latency, plugDoesMidi, plugDoesChunks, plugIsInst),
      mBundleIdent(instanceInfo.mBundleID),
      mViewFactoryClass(instanceInfo.mCocoaViewFactoryClassName) {
    TRACE_CALL("%s", GetEffectName());

    const int nIn = NInChannels();
    const int nOut = NOutChannels();
    if (nIn > 0 && nSideChainChannels > 0) {
        mInputBusses.Add(newBus(nIn - nSideChainChannels, 0));
        mInputBusses.Add(newBus(nSideChainChannels, nIn - nSideChainChannels));
    } else if (nIn > 0) {
        mInputBusses.Add(newBus(nIn, 0));
    }
    for (int i = 0; i < mInputBusses.GetSize(); ++i)
        mInputConnections.Add(new InputConnection);

    if (plugIsInst) {
        for (int first = 0; first < nOut; first += 2) {
            mOutputBusses.Add(newBus(nOut - first >= 2 ? 2 : 1, first));
        }
    } else {
        mOutputBusses.Add(newBus(nOut, 0));
    }

    AssessInputConnections();
    SizeScratch(kDefaultBlockSize);
    IPlugBase::SetBlockSize(kDefaultBlockSize);
}

IPlugAU::~IPlugAU() {
    WDL_DeleteAll(mRenderNotifiers);
    WDL_DeleteAll(mInputBusses);
    WDL_DeleteAll(mOutputBusses);
    WDL_DeleteAll(mInputConnections);
    WDL_DeleteAll(mListeners);
}

// ---- Busses ----

IPlugAU::BusChannels* IPlugAU::GetBus(AudioUnitScope scope, AudioUnitElement busIdx) {
    const int idx = IndexOf(busIdx);
    switch (scope) {
    case kAudioUnitScope_Input: return mInputBusses.Get(idx);
    case kAudioUnitScope_Output:
    case kAudioUnitScope_Global: return mOutputBusses.Get(idx);
    default: return nullptr;
    }
}

int IPlugAU::NHostChannelsConnected(WDL_PtrList<BusChannels>* busses, int excludeIdx) {
    bool anySet = false;
    int sum = 0;
    for (int i = 0; i < busses->GetSize(); ++i) {
        const int count = busses->Get(i)->mHostChannelCount;
        if (i == excludeIdx || count < 0) continue;
        anySet = true;
        sum += count;
    }
    return anySet ? sum : -1;
}

bool IPlugAU::CheckLegalIO() {
    const int nIn = NHostChannelsConnected(&mInputBusses, -1);
    const int nOut = NHostChannelsConnected(&mOutputBusses, -1);
    if (nIn == 0 && nOut == 0) return true;
    return LegalIO(nIn, nOut);
}

bool IPlugAU::CheckLegalIO(AudioUnitScope scope, int busIdx, int nChannels) {
    auto othersPlus = [&](WDL_PtrList<BusChannels>* busses) {
        const int others = NHostChannelsConnected(busses, busIdx);
        return (others > 0 ? others : 0) + nChannels;
    };
    if (scope == kAudioUnitScope_Input) {
        const int nOut = mUnitInitialized ? NHostChannelsConnected(&mOutputBusses, -1) : -1;
        return LegalIO(othersPlus(&mInputBusses), nOut);
    }
    const int nIn = mUnitInitialized ? NHostChannelsConnected(&mInputBusses, -1) : -1;
    return LegalIO(nIn, othersPlus(&mOutputBusses));
}

namespace {

const char* inputTypeName(IPlugAU::EAUInputType type) {
    switch (type) {
    case IPlugAU::eDirectFastProc: return "DirectFastProc";
    case IPlugAU::eDirectNoFastProc: return "DirectNoFastProc";
    case IPlugAU::eRenderCallback: return "RenderCallback";
    default: return "NotConnected";
    }
}

IPlugAU::EAUInputType inputTypeOf(const IPlugAU::InputConnection& c) {
    if (c.mUpstreamRenderProc && c.mUpstreamInstance) return IPlugAU::eDirectFastProc;
    if (c.mUpstreamUnit) return IPlugAU::eDirectNoFastProc;
    if (c.mRenderCallback.inputProc) return IPlugAU::eRenderCallback;
    return IPlugAU::eNotConnected;
}

} // namespace

void IPlugAU::AssessInputConnections() {
    WDL_MutexLock lock(&mMutex);
    SetInputChannelConnections(0, NInChannels(), false);
    for (int i = 0; i < mInputBusses.GetSize(); ++i) {
        BusChannels* bus = mInputBusses.Get(i);
        InputConnection* connection = mInputConnections.Get(i);
        connection->mInputType = inputTypeOf(*connection);
        bus->mIsConnected = connection->mInputType != eNotConnected;
        if (bus->mIsConnected) {
            if (bus->mHostChannelCount < 0) {
                TRACE_CALL("AssumeChannels:%d", bus->mPlugChannelCount);
                bus->mHostChannelCount = bus->mPlugChannelCount;
            }
            const int host = bus->mHostChannelCount;
            const int rest = bus->mPlugChannelCount - host;
            SetInputChannelConnections(bus->mFirstPlugChannel, host, true);
            SetInputChannelConnections(bus->mFirstPlugChannel + host, rest > 0 ? rest : 0, false);
        }
        TRACE_CALL("%d:%s:%d:%d:%d", i, inputTypeName(connection->mInputType),
                   bus->mFirstPlugChannel, bus->mPlugChannelCount, bus->mHostChannelCount);
    }
}

void IPlugAU::ClearConnections() {
    for (int i = 0; i < mInputBusses.GetSize(); ++i) {
        BusChannels* bus = mInputBusses.Get(i);
        bus->mIsConnected = false;
        bus->mHostChannelCount = -1;
        *mInputConnections.Get(i) = InputConnection();
    }
    for (int i = 0; i < mOutputBusses.GetSize(); ++i) {
        BusChannels* bus = mOutputBusses.Get(i);
        bus->mIsConnected = false;
        bus->mHostChannelCount = -1;
    }
}

void IPlugAU::MakeDefaultASBD(AudioStreamBasicDescription* asbd, double sampleRate, int nChannels,
                              bool interleaved) {
    std::memset(asbd, 0, sizeof *asbd);
    const UInt32 bytesPerSample = sizeof(AudioSampleType);
    asbd->mSampleRate = sampleRate;
    asbd->mFormatID = kAudioFormatLinearPCM;
    asbd->mFormatFlags = kAudioFormatFlagIsFloat | kAudioFormatFlagIsPacked;
    if (!interleaved) asbd->mFormatFlags |= kAudioFormatFlagIsNonInterleaved;
    const UInt32 frameBytes = interleaved ? bytesPerSample * nChannels : bytesPerSample;
    asbd->mBytesPerPacket = frameBytes;
    asbd->mFramesPerPacket = 1;
    asbd->mBytesPerFrame = frameBytes;
    asbd->mChannelsPerFrame = nChannels;
    asbd->mBitsPerChannel = 8 * bytesPerSample;
}

// ---- Host notifications ----

void SendAUEvent(AudioUnitEventType type, ComponentInstance instance, int paramIdx) {
    AudioUnitEvent event = {};
    event.mEventType = type;
    event.mArgument.mParameter.mAudioUnit = instance;
    event.mArgument.mParameter.mParameterID = static_cast<AudioUnitParameterID>(paramIdx);
    event.mArgument.mParameter.mScope = kAudioUnitScope_Global;
    event.mArgument.mParameter.mElement = 0;
    AUEventListenerNotify(nullptr, nullptr, &event);
}

void IPlugAU::BeginInformHostOfParamChange(int paramIdx) {
    TRACE_CALL("%d", paramIdx);
    SendAUEvent(kAudioUnitEvent_BeginParameterChangeGesture, mInstance, paramIdx);
}

void IPlugAU::InformHostOfParamChange(int paramIdx, double normalizedValue) {
    TRACE_CALL("%d:%f", paramIdx, normalizedValue);
    SendAUEvent(kAudioUnitEvent_ParameterValueChange, mInstance, paramIdx);
}

void IPlugAU::EndInformHostOfParamChange(int paramIdx) {
    TRACE_CALL("%d", paramIdx);
    SendAUEvent(kAudioUnitEvent_EndParameterChangeGesture, mInstance, paramIdx);
}

void IPlugAU::InformListeners(AudioUnitPropertyID propID, AudioUnitScope scope) {
    TRACE_CALL("%u", propID);
    for (int i = 0; i < mListeners.GetSize(); ++i) {
        const PropertyListenerRec* listener = mListeners.Get(i);
        if (listener->mPropID != propID) continue;
        listener->mListenerProc(listener->mProcArgs, mInstance, propID, scope, 0);
    }
}

void IPlugAU::InformHostOfProgramChange() {
    InformListeners(kAudioUnitProperty_PresentPreset, kAudioUnitScope_Global);
}

// ---- Host transport ----

double IPlugAU::GetTempo() {
    if (mHostCallbackInfo.beatAndTempoProc) {
        Float64 beat = 0.0, tempo = 0.0;
        mHostCallbackInfo.beatAndTempoProc(mHostCallbackInfo.hostUserData, &beat, &tempo);
        if (tempo > 0.0) mCachedTempo = tempo;
    }
    return mCachedTempo;
}

void IPlugAU::GetTimeSig(int* numerator, int* denominator) {
    if (!mHostCallbackInfo.musicalTimeLocationProc) return;
    UInt32 toNextBeat = 0, den = 0;
    Float32 num = 0.0f;
    Float64 downBeat = 0.0;
    mHostCallbackInfo.musicalTimeLocationProc(mHostCallbackInfo.hostUserData, &toNextBeat, &num,
                                              &den, &downBeat);
    *numerator = TruncateToInt(num);
    *denominator = static_cast<int>(den);
}

int IPlugAU::GetSamplePos() {
    if (!mHostCallbackInfo.transportStateProc) return 0;
    Boolean playing = false, changed = false, cycling = false;
    Float64 position = 0.0, cycleStart = 0.0, cycleEnd = 0.0;
    mHostCallbackInfo.transportStateProc(mHostCallbackInfo.hostUserData, &playing, &changed,
                                         &position, &cycling, &cycleStart, &cycleEnd);
    return TruncateToInt(position + 0.5);
}

void IPlugAU::GetTime(ITimeInfo* timeInfo) {
    void* user = mHostCallbackInfo.hostUserData;
    if (mHostCallbackInfo.beatAndTempoProc) {
        Float64 beat = 0.0, tempo = 0.0;
        mHostCallbackInfo.beatAndTempoProc(user, &beat, &tempo);
        if (tempo > 0.0) timeInfo->mTempoBPM = tempo;
        if (beat > 0.0) timeInfo->mBeatPosition = beat;
    }
    if (mHostCallbackInfo.transportStateProc) {
        Boolean playing = false, changed = false, cycling = false;
        Float64 position = 0.0, cycleStart = 0.0, cycleEnd = 0.0;
        mHostCallbackInfo.transportStateProc(user, &playing, &changed, &position, &cycling,
                                             &cycleStart, &cycleEnd);
        if (position > 0.0) timeInfo->mSamplePosition = position;
        if (cycleStart > 0.0) timeInfo->mLoopStartBeat = cycleStart;
        if (cycleEnd > 0.0) timeInfo->mLoopEndBeat = cycleEnd;
        timeInfo->mPlaying = playing;
        timeInfo->mLooping = cycling;
    }
    if (mHostCallbackInfo.musicalTimeLocationProc) {
        UInt32 toNextBeat = 0, den = 0;
        Float32 num = 0.0f;
        Float64 downBeat = 0.0;
        mHostCallbackInfo.musicalTimeLocationProc(user, &toNextBeat, &num, &den, &downBeat);
        timeInfo->mTimeSigNumerator = TruncateToInt(num);
        timeInfo->mTimeSigDenominator = static_cast<int>(den);
        if (downBeat > 0.0) timeInfo->mBarStartBeat = downBeat;
    }
}

int IPlugAU::GetHost() {
    if (mHost != -1) return mHost;
    CFBundleRef mainBundle = CFBundleGetMainBundle();
    CFStringRef identifier = mainBundle ? CFBundleGetIdentifier(mainBundle) : nullptr;
    WDL_TypedBuf<char> name;
    if (CopyUTF8(identifier, &name)) SetHost(name.Get(), 0);
    if (mHost == -1) SetHost("", 0);
    return mHost;
}

// ---- Block size, latency, MIDI, editor ----

void IPlugAU::SizeScratch(int blockSize) {
    auto size = [](WDL_TypedBuf<float>& scratch, int channels, int frames) {
        if (scratch.Resize(channels * frames) && channels * frames > 0) {
            std::memset(scratch.Get(), 0, sizeof(float) * channels * frames);
        }
    };
    size(mInputScratch, NInChannels(), blockSize);
    size(mOutputScratch, NOutChannels(), blockSize);
}

void IPlugAU::SetBlockSize(int blockSize) {
    TRACE_CALL("%d", blockSize);
    if (blockSize < 0) blockSize = 0;
    SizeScratch(blockSize);
    IPlugBase::SetBlockSize(blockSize);
    // The inputs' scratch audio was just cleared: the next render must pull its input again,
    // even at the sample time of the last pull.
    mLastInputSampleTime = -1.0;
    // A scratch buffer that could not grow holds fewer frames; the block size must not claim
    // more than either float scratch holds.
    const int inFrames = NInChannels() ? mInputScratch.GetSize() / NInChannels() : blockSize;
    const int outFrames = NOutChannels() ? mOutputScratch.GetSize() / NOutChannels() : blockSize;
    if (inFrames < mBlockSize) mBlockSize = inFrames;
    if (outFrames < mBlockSize) mBlockSize = outFrames;
}

void IPlugAU::SetLatency(int samples) {
    TRACE_CALL("%d", samples);
    InformListeners(kAudioUnitProperty_Latency, kAudioUnitScope_Global);
    IPlugBase::SetLatency(samples);
}

bool IPlugAU::SendMidiMsg(IMidiMsg* /*msg*/) {
    return false;
}

bool IPlugAU::SendMidiMsgs(WDL_TypedBuf<IMidiMsg>* msgs) {
    for (int i = 0; msgs && i < msgs->GetSize(); ++i)
        SendMidiMsg(msgs->Get() + i);
    return true;
}

void IPlugAU::ResizeGraphics(int /*width*/, int /*height*/) {}

void IPlugAU::HostSpecificInit() {}
