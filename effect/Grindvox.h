#pragma once

// The effect's source is compiled once per plug-in format, with that format's adapter as its
// base: GRINDVOX_LV2 selects the LV2 adapter, the Audio Unit one is the default.
#if defined(GRINDVOX_LV2)
#include "lv2/IPlugLV2.h"
using IPlug = IPlugLV2;
#else
#include "au/IPlugAU.h"
using IPlug = IPlugAU;
#endif

class TolvaDecimate;
class TolvaSampleReduct;
class TolvaSvf;

// The lo-fi effect. Each of two channels runs through a saturating, oversampled state-variable
// filter (low-, high- or band-pass), a quantiser ("Bits") and a sample-and-hold rate reducer
// ("Ratio"), mixed in one of four modes; "Parallel" adds back what the filter removed.
// Parameters reach the DSP blocks only at the start of a block.
//
// Owns its six DSP blocks; everything else (state, presets, host traffic) is the adapter's and
// the base's.
class Grindvox : public IPlug {
public:
    enum EParams {
        kFilter = 0,
        kCutoff,
        kResonance,
        kBits,
        kRatio,
        kMixMode,
        kParallel,
        kNumParams
    };
    enum EFilterType { kLowPass = 0, kHighPass = 1, kBandPass = 2 };
    enum EMixMode { kSerial = 0, kAverage = 1, kRing = 2, kDifference = 3 };
    // Slots of mWork: the left channel's value, the right channel's right after it.
    enum EWork {
        kFilteredL = 0,
        kRemainderL = 2,
        kQuantisedL = 4,
        kReducedL = 6,
        kMixedL = 8,
        kWorkSize = 10
    };

    explicit Grindvox(IPlugInstanceInfo instanceInfo);
    ~Grindvox() override;

    // Any thread; takes the mutex. Hands a changed sample rate to the filters, then clears the
    // reducers' and filters' states.
    void Reset() override;
    // Any thread; takes the mutex. Copies the parameter into the member the next block reads.
    void OnParamChange(int paramIdx) override;
    // Audio thread, no lock. Always two channels: in mono the second input is the silent
    // scratch buffer of the unconnected channel and the second output goes nowhere. A null
    // channel pointer leaves the block unprocessed.
    void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) override;

    const double* GetWork() const { return mWork; }

private:
    void setUpBlock();
    // Writes the selected filter output of both channels to mWork.
    void filterBoth(double* in, int filterType);
    // Everything after the filter for channel c (0 left, 1 right); returns its output sample.
    double degrade(int c, TolvaDecimate& decimate, TolvaSampleReduct& reduct, double in,
                   int mixMode, bool parallel);

    TolvaSvf* mSvfL = nullptr;
    TolvaSvf* mSvfR = nullptr;
    TolvaDecimate* mDecimateL = nullptr;
    TolvaDecimate* mDecimateR = nullptr;
    TolvaSampleReduct* mReductL = nullptr;
    TolvaSampleReduct* mReductR = nullptr;
    int mFilterType = kLowPass;
    int mOversampling = 4;
    double mCutoff = 11000.0;
    double mResonance = 0.0;
    int mBits = 16;
    int mRatio = 0;
    // The rate the filters were last given; the base's own rate is GetSampleRate().
    double mSampleRate = 44100.0;
    int mMixMode = kSerial;
    bool mParallel = false;
    double mWork[kWorkSize] = {};
};
