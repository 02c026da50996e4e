#include "tests/au/GrindvoxHost.h"

#include "host/ComponentBundle.h"
#include "tests/au/SourceUnit.h"
#include "tests/support/GrindvoxReference.h"

#include <gtest/gtest.h>

#include <string>

namespace grindvox::test {

Component GrindvoxComponent() {
    static ComponentBundle bundle;
    static Component component = [] {
        std::string error;
        if (!bundle.Load(GRINDVOX_BUNDLE, &error)) {
            ADD_FAILURE() << error;
            return Component(nullptr);
        }
        return bundle.Find(kAudioUnitType_Effect);
    }();
    return component;
}

AudioTimeStamp SampleTime(Float64 sampleTime) {
    AudioTimeStamp stamp = {};
    stamp.mSampleTime = sampleTime;
    stamp.mFlags = kAudioTimeStampSampleTimeValid;
    return stamp;
}

// ---- HostBuffers ----

HostBuffers::HostBuffers(int channels, UInt32 frames)
    : mData(static_cast<size_t>(channels), std::vector<float>(frames, 0.0f)), mList() {}

AudioBufferList* HostBuffers::List(UInt32 frames) {
    mList.mNumberBuffers = static_cast<UInt32>(mData.size());
    for (size_t c = 0; c < mData.size(); ++c) {
        mList.mBuffers[c] = {1, frames * static_cast<UInt32>(sizeof(float)), mData[c].data()};
    }
    return reinterpret_cast<AudioBufferList*>(&mList);
}

AudioBufferList* HostBuffers::NullList(UInt32 frames) {
    AudioBufferList* list = List(frames);
    for (size_t c = 0; c < mData.size(); ++c)
        mList.mBuffers[c].mData = nullptr;
    return list;
}

// ---- CallbackInput ----

OSStatus CallbackInput::Render(void* self, AudioUnitRenderActionFlags* /*flags*/,
                               const AudioTimeStamp* timeStamp, UInt32 bus, UInt32 frames,
                               AudioBufferList* list) {
    auto* input = static_cast<CallbackInput*>(self);
    ++input->mPulls;
    input->mLastSampleTime = timeStamp->mSampleTime;
    input->mLastBus = bus;
    input->mLastBuffers = list->mNumberBuffers;
    if (input->mEvents) input->mEvents->push_back('I');
    if (input->mResult != noErr) return input->mResult;
    const auto start = static_cast<long long>(timeStamp->mSampleTime);
    for (UInt32 c = 0; c < list->mNumberBuffers; ++c) {
        auto* out = static_cast<float*>(list->mBuffers[c].mData);
        for (UInt32 i = 0; i < frames; ++i)
            out[i] = TestSignal(static_cast<int>(c), start + i);
    }
    return noErr;
}

// ---- GrindvoxUnit ----

GrindvoxUnit::GrindvoxUnit() {
    if (Component component = GrindvoxComponent()) {
        EXPECT_EQ(OpenAComponent(component, &mUnit), noErr);
    }
}

GrindvoxUnit::~GrindvoxUnit() {
    if (mUnit) CloseComponent(mUnit);
}

IPlugBase* GrindvoxUnit::Plug() const {
    return reinterpret_cast<IPlugAU*>(GetComponentInstanceStorage(mUnit));
}

OSStatus GrindvoxUnit::SetFormat(AudioUnitScope scope, int channels, double sampleRate) {
    AudioStreamBasicDescription format = {};
    format.mSampleRate = sampleRate;
    format.mFormatID = kAudioFormatLinearPCM;
    format.mFormatFlags = kAudioFormatFlagsNativeFloatPacked | kAudioFormatFlagIsNonInterleaved;
    format.mBytesPerPacket = 4;
    format.mFramesPerPacket = 1;
    format.mBytesPerFrame = 4;
    format.mChannelsPerFrame = static_cast<UInt32>(channels);
    format.mBitsPerChannel = 32;
    return AudioUnitSetProperty(mUnit, kAudioUnitProperty_StreamFormat, scope, 0, &format,
                                sizeof format);
}

OSStatus GrindvoxUnit::SetMaxFrames(UInt32 frames) {
    return AudioUnitSetProperty(mUnit, kAudioUnitProperty_MaximumFramesPerSlice,
                                kAudioUnitScope_Global, 0, &frames, sizeof frames);
}

OSStatus GrindvoxUnit::SetSampleRate(double sampleRate) {
    const Float64 rate = sampleRate;
    return AudioUnitSetProperty(mUnit, kAudioUnitProperty_SampleRate, kAudioUnitScope_Global, 0,
                                &rate, sizeof rate);
}

OSStatus GrindvoxUnit::SetInput(CallbackInput* input) {
    const AURenderCallbackStruct callback =
        input ? input->Callback() : AURenderCallbackStruct{nullptr, nullptr};
    return AudioUnitSetProperty(mUnit, kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input,
                                0, &callback, sizeof callback);
}

OSStatus GrindvoxUnit::Connect(AudioUnit source) {
    const AudioUnitConnection connection = {source, 0, 0};
    return AudioUnitSetProperty(mUnit, kAudioUnitProperty_MakeConnection, kAudioUnitScope_Input, 0,
                                &connection, sizeof connection);
}

OSStatus GrindvoxUnit::Configure(int channels, CallbackInput* input, UInt32 maxFrames,
                                 double sampleRate) {
    if (OSStatus r = SetFormat(kAudioUnitScope_Input, channels, sampleRate)) return r;
    if (OSStatus r = SetFormat(kAudioUnitScope_Output, channels, sampleRate)) return r;
    if (input) {
        if (OSStatus r = SetInput(input)) return r;
    }
    if (OSStatus r = SetMaxFrames(maxFrames)) return r;
    if (OSStatus r = SetSampleRate(sampleRate)) return r;
    return AudioUnitInitialize(mUnit);
}

OSStatus GrindvoxUnit::SetParameter(AudioUnitParameterID id, float value) {
    return AudioUnitSetParameter(mUnit, id, kAudioUnitScope_Global, 0, value, 0);
}

float GrindvoxUnit::Parameter(AudioUnitParameterID id) {
    AudioUnitParameterValue value = -12345.0f;
    EXPECT_EQ(AudioUnitGetParameter(mUnit, id, kAudioUnitScope_Global, 0, &value), noErr);
    return value;
}

OSStatus GrindvoxUnit::Render(AudioBufferList* list, UInt32 frames, Float64 sampleTime) {
    AudioUnitRenderActionFlags flags = 0;
    const AudioTimeStamp stamp = SampleTime(sampleTime);
    return AudioUnitRender(mUnit, &flags, &stamp, 0, frames, list);
}

// ---- DirectGrindvox ----

DirectGrindvox::DirectGrindvox(double sampleRate) : mPlug(IPlugInstanceInfo{}) {
    mPlug.SetSampleRate(sampleRate);
    mPlug.Reset();
}

void DirectGrindvox::Set(int paramIdx, float value) {
    mPlug.GetParam(paramIdx)->Set(value);
    mPlug.OnParamChange(paramIdx);
}

void DirectGrindvox::Render(int channels, long long start, int frames, float* outL, float* outR) {
    for (int c = 0; c < 2; ++c) {
        mIn[c].assign(static_cast<size_t>(frames), 0.0);
        mOut[c].assign(static_cast<size_t>(frames), 0.0);
    }
    for (int i = 0; i < frames; ++i) {
        mIn[0][i] = static_cast<double>(TestSignal(0, start + i));
        if (channels == 2) mIn[1][i] = static_cast<double>(TestSignal(1, start + i));
    }
    double* ins[2] = {mIn[0].data(), mIn[1].data()};
    double* outs[2] = {mOut[0].data(), mOut[1].data()};
    mPlug.ProcessDoubleReplacing(ins, outs, frames);
    for (int i = 0; i < frames; ++i) {
        outL[i] = reference::toHostFloat(mOut[0][i]);
        if (outR) outR[i] = reference::toHostFloat(mOut[1][i]);
    }
}

} // namespace grindvox::test
