// The audio path and the fast-dispatch parameter functions.
#include "au/IPlugAU.h"

#include "editor/IGraphics.h"
#include "plugin/Trace.h"

#include <cstring>

namespace {

constexpr int kMaxInputBuffers = 128;

// An AudioBufferList with room for kMaxInputBuffers buffers, on the stack.
struct InputBufferList {
    UInt32 mNumberBuffers;
    AudioBuffer mBuffers[kMaxInputBuffers];

    AudioBufferList* List() { return reinterpret_cast<AudioBufferList*>(this); }
};

void notify(WDL_PtrList<AURenderCallbackStruct>& notifiers, int count,
            AudioUnitRenderActionFlags flag, const AudioTimeStamp* timeStamp, UInt32 outputBus,
            UInt32 nFrames, AudioBufferList* bufferList) {
    for (int i = 0; i < count; ++i) {
        const AURenderCallbackStruct* notifier = notifiers.Get(i);
        if (!notifier) break;
        AudioUnitRenderActionFlags flags = flag;
        notifier->inputProc(notifier->inputProcRefCon, &flags, timeStamp, outputBus, nFrames,
                            bufferList);
    }
}

} // namespace

OSStatus IPlugAU::RenderProc(void* plug, AudioUnitRenderActionFlags* /*flags*/,
                             const AudioTimeStamp* timeStamp, UInt32 outputBus, UInt32 nFrames,
                             AudioBufferList* bufferList) {
    auto* self = static_cast<IPlugAU*>(plug);
    TRACE_CALL("%u:%u:%u", outputBus, bufferList ? bufferList->mNumberBuffers : 0, nFrames);
    BusChannels* bus = self->mOutputBusses.Get(static_cast<int>(outputBus));
    if (!timeStamp || !(timeStamp->mFlags & kAudioTimeStampSampleTimeValid) || !bus ||
        !bufferList || nFrames > static_cast<UInt32>(self->GetBlockSize())) {
        return kAudioUnitErr_InvalidPropertyValue;
    }

    const int nNotifiers = self->mRenderNotifiers.GetSize();
    notify(self->mRenderNotifiers, nNotifiers, kAudioUnitRenderAction_PreRender, timeStamp,
           outputBus, nFrames, bufferList);

    if (timeStamp->mSampleTime != self->mLastInputSampleTime) {
        AudioUnitRenderActionFlags pullFlags = 0;
        if (const OSStatus result = self->PullInputs(&pullFlags, timeStamp, nFrames)) return result;
        self->mLastInputSampleTime = timeStamp->mSampleTime;
    }

    self->BindOutputs(bus, bufferList, nFrames);
    if (self->mBypass) {
        self->PassThroughBuffers(0.0f, static_cast<int>(nFrames));
    } else {
        self->ProcessBuffers(0.0f, static_cast<int>(nFrames));
    }

    notify(self->mRenderNotifiers, nNotifiers, kAudioUnitRenderAction_PostRender, timeStamp,
           outputBus, nFrames, bufferList);
    return noErr;
}

// Pulls every connected input bus once and attaches its channels.
OSStatus IPlugAU::PullInputs(AudioUnitRenderActionFlags* flags, const AudioTimeStamp* timeStamp,
                             UInt32 nFrames) {
    for (int i = 0; i < mInputBusses.GetSize(); ++i) {
        const BusChannels* bus = mInputBusses.Get(i);
        const InputConnection* connection = mInputConnections.Get(i);
        if (!bus->mIsConnected) continue;

        // One buffer per host channel, but never more than the plug-in has channels from the
        // bus's first on: the scratch audio behind the buffers holds only those.
        int nBuffers = bus->mHostChannelCount;
        if (nBuffers > NInChannels() - bus->mFirstPlugChannel) {
            nBuffers = NInChannels() - bus->mFirstPlugChannel;
        }
        if (nBuffers > kMaxInputBuffers) nBuffers = kMaxInputBuffers;
        InputBufferList list;
        list.mNumberBuffers = static_cast<UInt32>(nBuffers);
        for (int c = 0; c < nBuffers; ++c) {
            list.mBuffers[c] = {1, nFrames * static_cast<UInt32>(sizeof(float)), nullptr};
        }
        *flags = 0;

        OSStatus result = noErr;
        switch (connection->mInputType) {
        case eRenderCallback: {
            float* scratch = mInputScratch.Get();
            for (int c = 0; c < nBuffers; ++c) {
                list.mBuffers[c].mData = scratch + (bus->mFirstPlugChannel + c) * nFrames;
            }
            result = connection->mRenderCallback.inputProc(
                connection->mRenderCallback.inputProcRefCon, flags, timeStamp,
                static_cast<UInt32>(i), nFrames, list.List());
            break;
        }
        case eDirectNoFastProc:
            result = AudioUnitRender(connection->mUpstreamUnit, flags, timeStamp,
                                     static_cast<UInt32>(connection->mUpstreamOutput), nFrames,
                                     list.List());
            break;
        case eDirectFastProc:
            result = connection->mUpstreamRenderProc(
                connection->mUpstreamInstance, flags, timeStamp,
                static_cast<UInt32>(connection->mUpstreamOutput), nFrames, list.List());
            break;
        default: break;
        }
        if (result != noErr) return result;

        for (int c = 0; c < nBuffers; ++c) {
            float* data = static_cast<float*>(list.mBuffers[c].mData);
            if (!data) {
                // An upstream that supplied no buffer gives silence, not the previous block.
                data = mInputScratch.Get() + (bus->mFirstPlugChannel + c) * nFrames;
                std::memset(data, 0, sizeof(float) * nFrames);
            }
            AttachInputBuffers(bus->mFirstPlugChannel + c, 1, &data, static_cast<int>(nFrames));
        }
    }
    return noErr;
}

// Connects as many of the bus's channels as the host passes buffers for, and attaches them.
// The binding is redone whenever the count of connected channels differs from the host's
// buffers, so a host that goes from stereo to mono disconnects the second channel even when the
// bus's format already said mono.
void IPlugAU::BindOutputs(BusChannels* bus, AudioBufferList* bufferList, UInt32 nFrames) {
    const UInt32 n = bufferList->mNumberBuffers;
    const UInt32 hostCount = static_cast<UInt32>(bus->mHostChannelCount);
    UInt32 m = n < hostCount ? n : hostCount;
    if (m > static_cast<UInt32>(bus->mPlugChannelCount)) {
        m = static_cast<UInt32>(bus->mPlugChannelCount);
    }

    int connected = 0;
    for (int c = 0; c < bus->mPlugChannelCount; ++c) {
        connected += IsOutChannelConnected(bus->mFirstPlugChannel + c);
    }
    if (!bus->mIsConnected || bus->mHostChannelCount != static_cast<int>(n) ||
        connected != static_cast<int>(m)) {
        const int rest = bus->mPlugChannelCount - static_cast<int>(m);
        SetOutputChannelConnections(bus->mFirstPlugChannel, static_cast<int>(m), true);
        SetOutputChannelConnections(bus->mFirstPlugChannel + static_cast<int>(m),
                                    rest > 0 ? rest : 0, false);
        bus->mIsConnected = true;
    }

    float* scratch = mOutputScratch.Get();
    for (UInt32 c = 0; c < n && c < m; ++c) {
        AudioBuffer& buffer = bufferList->mBuffers[c];
        if (!buffer.mData) buffer.mData = scratch + (bus->mFirstPlugChannel + c) * nFrames;
        float* data = static_cast<float*>(buffer.mData);
        AttachOutputBuffers(bus->mFirstPlugChannel + static_cast<int>(c), 1, &data);
    }
    // A buffer beyond the bound channels carries no audio, but a null one still gets silent
    // memory of its channel's: the host reads every buffer it passed, and must not read
    // through a null pointer after a render that succeeded.
    for (UInt32 c = m; c < n && c < static_cast<UInt32>(bus->mPlugChannelCount); ++c) {
        AudioBuffer& buffer = bufferList->mBuffers[c];
        if (buffer.mData) continue;
        float* silence = scratch + (bus->mFirstPlugChannel + c) * nFrames;
        std::memset(silence, 0, sizeof(float) * nFrames);
        buffer.mData = silence;
    }
}

OSStatus IPlugAU::GetParamProc(void* plug, AudioUnitParameterID paramID, AudioUnitScope scope,
                               AudioUnitElement /*element*/, AudioUnitParameterValue* value) {
    auto* self = static_cast<IPlugAU*>(plug);
    TRACE_CALL("%u:(%u:%s):%d", paramID, scope, AUScopeStr(scope), 0);
    if (scope != kAudioUnitScope_Global) return kAudioUnitErr_InvalidProperty;
    WDL_MutexLock lock(&self->mMutex);
    const IParam* param = self->GetParamByID(paramID);
    if (!param) return kAudioUnitErr_InvalidParameter;
    if (value) *value = static_cast<AudioUnitParameterValue>(param->mValue);
    return noErr;
}

OSStatus IPlugAU::SetParamProc(void* plug, AudioUnitParameterID paramID, AudioUnitScope scope,
                               AudioUnitElement /*element*/, AudioUnitParameterValue value,
                               UInt32 /*bufferOffset*/) {
    auto* self = static_cast<IPlugAU*>(plug);
    TRACE_CALL("%u:(%u:%s):%f", paramID, scope, AUScopeStr(scope), value);
    if (scope != kAudioUnitScope_Global) return kAudioUnitErr_InvalidProperty;
    WDL_MutexLock lock(&self->mMutex);
    IParam* param = self->GetParamByID(paramID);
    if (!param) return kAudioUnitErr_InvalidParameter;
    const int idx = IndexOf(paramID);
    param->Set(value);
    if (self->mGraphics) self->mGraphics->SetParameterFromPlug(idx, value, false);
    self->OnParamChange(idx);
    return noErr;
}

ComponentResult IPlugAU::GetProc(AudioUnitElement selector, UInt32* dataSize, void* data) {
    TRACE_CALL("%s:(%u:%s)", "", selector, AUSelectStr(static_cast<int>(selector)));
    void* function;
    switch (selector) {
    case kAudioUnitGetParameterSelect: function = reinterpret_cast<void*>(GetParamProc); break;
    case kAudioUnitSetParameterSelect: function = reinterpret_cast<void*>(SetParamProc); break;
    case kAudioUnitRenderSelect: function = reinterpret_cast<void*>(RenderProc); break;
    default: return kAudioUnitErr_InvalidElement;
    }
    *dataSize = sizeof(void*);
    if (data) *static_cast<void**>(data) = function;
    return noErr;
}
