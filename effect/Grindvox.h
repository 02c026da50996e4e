#pragma once

// The effect's source is compiled once per plug-in format, with that format's adapter as its
// base: GRINDVOX_LV2 selects the LV2 adapter, GRINDVOX_LV2_UI the adapter of the LV2 UI (the
// effect's parameters and editor on the host's UI thread), the Audio Unit one is the default.
#if defined(GRINDVOX_LV2_UI)
#include "lv2/IPlugLV2UI.h"
using IPlug = IPlugLV2UI;
#elif defined(GRINDVOX_LV2)
#include "lv2/IPlugLV2.h"
using IPlug = IPlugLV2;
#else
#include "au/IPlugAU.h"
using IPlug = IPlugAU;
#endif

#include <atomic>

class TolvaDecimate;
class TolvaSampleReduct;
class TolvaSvf;

// The lo-fi effect. Each of two channels runs through a saturating, oversampled state-variable
// filter (low-, high- or band-pass), a quantiser ("Bits") and a sample-and-hold rate reducer
// ("Ratio"), mixed in one of four modes; "Parallel" adds back what the filter removed.
// Parameters reach the DSP blocks only at the start of a block.
//
// Exact silence in gives exact silence out: once both inputs have been exactly 0 for
// kSilenceFrames frames (counted across blocks) and both filters have rung out, the outputs are
// held at 0 until the input moves again, so the quantiser's offset never reaches a silent
// output while a resonant tail still rings out whole.
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

    // Frames of silence in both inputs before the gate may close, and the level below which a
    // filter's tail has rung out (2^-24, about -144 dB): its selected output and both of its
    // states, so that a zero crossing of a tail still ringing does not count.
    static constexpr int kSilenceFrames = 64;
    static constexpr double kRungOut = 1.0 / 16777216.0;

    explicit Grindvox(IPlugInstanceInfo instanceInfo);
    ~Grindvox() override;

    // Any thread; takes the mutex. Hands a changed sample rate to the filters, then clears the
    // reducers' and filters' states; silence right after it is gated at once.
    void Reset() override;
    // Any thread, no lock needed. Publishes the parameter to the member the next block reads.
    void OnParamChange(int paramIdx) override;
    // Audio thread, no lock. Always two channels: in mono the second input is the silent
    // scratch buffer of the unconnected channel and the second output goes nowhere. A null
    // channel pointer leaves the block unprocessed.
    void ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) override;

    const double* GetWork() const { return mWork; }

private:
    void setUpBlock();
    // True when this frame's output is held at 0; counts the silent frames.
    bool gate(const double* in);
    bool rungOut(const TolvaSvf& svf, double filtered) const;
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
    int mOversampling = 4;
    // The rate the filters were last given; the base's own rate is GetSampleRate().
    double mSampleRate = 44100.0;
    // The parameters as the audio thread reads them, once per block. OnParamChange publishes
    // them from any thread without a lock; each value arrives whole, which is all a block
    // needs.
    std::atomic<int> mFilterType{kLowPass};
    std::atomic<double> mCutoff{11000.0};
    std::atomic<double> mResonance{0.0};
    std::atomic<int> mBits{16};
    std::atomic<int> mRatio{0};
    std::atomic<int> mMixMode{kSerial};
    std::atomic<bool> mParallel{false};
    // Audio thread only: consecutive frames of silence in both inputs, up to kSilenceFrames,
    // and whether the gate has closed on them.
    int mSilentFrames = kSilenceFrames;
    bool mGateClosed = true;
    double mWork[kWorkSize] = {};
};
