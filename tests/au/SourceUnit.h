#pragma once

// A tiny generator component for tests, registered with the Component Manager in the test
// process: one output bus that plays the test signal (TestSignal, by absolute sample time), a
// StreamFormat it reports and accepts, and, in one of its two flavours, its render function
// through FastDispatch. A unit connected to it through MakeConnection pulls it either way, so
// both direct input paths run between two real components.
//
// It fills the buffers a caller gives it and points null ones at its own. Each instance owns its
// state and those buffers; tests read the counters through Of().
#include <AudioUnit/AudioUnit.h>

#include <vector>

namespace grindvox::test {

// The signal every test input plays: a sine sweep with noise, different in each channel, as a
// pure function of the channel and the absolute frame, so that any stretch of it can be made
// again. Frames 3000..3063 of every 8192 are exact silence in both channels, frames
// 5000..5031 in the left channel only.
float TestSignal(int channel, long long frame);

class SourceUnit {
public:
    static constexpr OSType kType = kAudioUnitType_Generator;
    static constexpr OSType kFastSubType = 'gSrF';  // offers its render function
    static constexpr OSType kPlainSubType = 'gSrP'; // is only reached through its entry
    static constexpr OSType kManufacturer = 'GvTs';
    static constexpr UInt32 kMaxFrames = 8192;
    static constexpr int kMaxChannels = 2;

    // The two flavours, registered on first use.
    static Component Fast();
    static Component Plain();
    // The state behind an open instance of either flavour.
    static SourceUnit* Of(AudioUnit unit);

    // What the unit does; tests change it between calls.
    int mChannels = 2;
    double mSampleRate = 44100.0;
    bool mAnswersStreamFormat = true;
    OSStatus mRenderResult = noErr; // returned from every render when not noErr

    // What it saw.
    int mEntryRenders = 0;
    int mFastRenders = 0;
    Float64 mLastSampleTime = -1.0;
    UInt32 mLastFrames = 0;

private:
    friend struct SourceUnitAccess;
    explicit SourceUnit(bool offersFastDispatch);

    OSStatus Render(const AudioTimeStamp* timeStamp, UInt32 outputBus, UInt32 nFrames,
                    AudioBufferList* bufferList);

    bool mOffersFastDispatch;
    std::vector<float> mOwnBuffers;
};

} // namespace grindvox::test
