#pragma once

// What the component tests share: the Grindvox component loaded from its bundle as a host
// loads it, a unit opened from it and driven with the host calls only, the host's buffers, an
// input bus fed through the render callback, and the effect's DSP called directly, the
// reference the rendered audio is held to.
#include "effect/Grindvox.h"

#include <AudioUnit/AudioUnit.h>

#include <vector>

namespace grindvox::test {

// The component of Grindvox.component, registered once per process; null (with a test
// failure) when the bundle does not load.
Component GrindvoxComponent();

// A time stamp with a valid sample time.
AudioTimeStamp SampleTime(Float64 sampleTime);

// The host's side of a render: one float buffer per channel and the buffer list that points
// at them. Everything is allocated up front.
class HostBuffers {
public:
    static constexpr int kMaxBuffers = 8;

    HostBuffers(int channels, UInt32 frames);

    // The list pointing at this object's buffers, each holding `frames` samples.
    AudioBufferList* List(UInt32 frames);
    // The same list with null data pointers: the unit chooses where the audio goes.
    AudioBufferList* NullList(UInt32 frames);
    // Channel c's audio after a render, wherever the list now points.
    const float* Out(int c) const { return static_cast<const float*>(mList.mBuffers[c].mData); }
    float* Own(int c) { return mData[c].data(); }
    int Channels() const { return static_cast<int>(mData.size()); }
    UInt32 Frames() const { return static_cast<UInt32>(mData[0].size()); }

private:
    struct ListRecord {
        UInt32 mNumberBuffers;
        AudioBuffer mBuffers[kMaxBuffers];
    };
    std::vector<std::vector<float>> mData;
    ListRecord mList;
};

// An input bus fed through the render callback with the test signal at the time stamp's
// sample time, one channel per buffer the unit asks for. Counts its calls and can fail them.
class CallbackInput {
public:
    AURenderCallbackStruct Callback() { return {Render, this}; }

    OSStatus mResult = noErr; // returned instead of audio when not noErr
    int mPulls = 0;
    Float64 mLastSampleTime = -1.0;
    UInt32 mLastBus = 0;
    UInt32 mLastBuffers = 0;
    std::vector<char>* mEvents = nullptr; // 'I' per call, when set

private:
    static OSStatus Render(void* self, AudioUnitRenderActionFlags* flags,
                           const AudioTimeStamp* timeStamp, UInt32 bus, UInt32 frames,
                           AudioBufferList* list);
};

// One Grindvox instance, opened from the component on construction and closed on destruction.
class GrindvoxUnit {
public:
    GrindvoxUnit();
    ~GrindvoxUnit();
    GrindvoxUnit(const GrindvoxUnit&) = delete;
    GrindvoxUnit& operator=(const GrindvoxUnit&) = delete;

    AudioUnit Unit() const { return mUnit; }
    // The component's own object behind the unit. It belongs to the component module's copy of
    // the code: call its virtual operations only.
    IPlugBase* Plug() const;

    OSStatus SetFormat(AudioUnitScope scope, int channels, double sampleRate = 44100.0);
    OSStatus SetMaxFrames(UInt32 frames);
    OSStatus SetSampleRate(double sampleRate);
    OSStatus SetInput(CallbackInput* input);
    OSStatus Connect(AudioUnit source); // MakeConnection of the source's bus 0 to input 0
    // What a host does before playing: formats on both sides, the input, the block size and
    // the sample rate, then Initialize.
    OSStatus Configure(int channels, CallbackInput* input, UInt32 maxFrames = 4096,
                       double sampleRate = 44100.0);

    OSStatus SetParameter(AudioUnitParameterID id, float value);
    float Parameter(AudioUnitParameterID id);
    OSStatus Render(AudioBufferList* list, UInt32 frames, Float64 sampleTime);

private:
    AudioUnit mUnit = nullptr;
};

// The effect's DSP chain called directly: the test signal converted from float to double,
// ProcessDoubleReplacing, the result converted back to float, as the adapter converts them.
// In mono the right input is silent, as the unit's unconnected second input is.
class DirectGrindvox {
public:
    explicit DirectGrindvox(double sampleRate = 44100.0);

    // As a host's SetParameter reaches the effect: clamped, then OnParamChange.
    void Set(int paramIdx, float value);
    // One block of the test signal from frame `start`; outR may be null in mono.
    void Render(int channels, long long start, int frames, float* outL, float* outR);

private:
    Grindvox mPlug;
    std::vector<double> mIn[2];
    std::vector<double> mOut[2];
};

} // namespace grindvox::test
