#include "effect/Grindvox.h"

#include "effect/GrindvoxEditor.h"
#include "effect/TolvaDecimate.h"
#include "effect/TolvaSampleReduct.h"
#include "effect/TolvaSvf.h"
#include "plugin/Trace.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kNumPresets = 10;
constexpr int kVersion = GRINDVOX_VERSION; // 0xMMMMmmpp, from the build

constexpr int kUniqueID = 'gRvx';
constexpr int kMfrID = 'GrVo';

void addDisplayTexts(IParam* param, const char* const* texts, int n) {
    for (int i = 0; i < n; ++i)
        param->SetDisplayText(i, texts[i]);
}

} // namespace

Grindvox::Grindvox(IPlugInstanceInfo instanceInfo)
    : IPlug(instanceInfo, kNumParams, "1-1 2-2", kNumPresets, "Grindvox", "", "Tolva_Sonics",
            kVersion, kUniqueID, kMfrID, 0, false, false, false, 0) {
    TRACE_CALL("%s", GetEffectName());
    mSvfL = new TolvaSvf(mCutoff.load(), mResonance.load(), mSampleRate, mOversampling);
    mSvfR = new TolvaSvf(mCutoff.load(), mResonance.load(), mSampleRate, mOversampling);
    mDecimateL = new TolvaDecimate;
    mDecimateR = new TolvaDecimate;
    mReductL = new TolvaSampleReduct;
    mReductR = new TolvaSampleReduct;

    static const char* const kFilterTexts[] = {"LPF", "HPF", "BPF"};
    static const char* const kMixModeTexts[] = {">", "+", "x", "-"};

    GetParam(kFilter)->InitInt("Filter", kLowPass, kLowPass, kBandPass);
    addDisplayTexts(GetParam(kFilter), kFilterTexts, 3);
    GetParam(kCutoff)->InitDouble("Cutoff", 11000.0, 20.0, 11000.0, 1.0, "Hz");
    // Most of the knob's travel goes to the low frequencies, where the ear resolves more.
    GetParam(kCutoff)->SetShape(3.0);
    GetParam(kResonance)->InitDouble("Resonance", 0.0, 0.0, 1.9, 0.001);
    GetParam(kBits)->InitInt("Bits", 16, 1, 16);
    GetParam(kRatio)->InitInt("Ratio", 0, 0, 64);
    GetParam(kMixMode)->InitInt("Mix Mode", kSerial, kSerial, kDifference);
    addDisplayTexts(GetParam(kMixMode), kMixModeTexts, 4);
    GetParam(kParallel)->InitBool("Parallel", false);

#if !defined(GRINDVOX_LV2)
    // The Audio Unit and the LV2 UI module carry the editor; the LV2 DSP module carries none
    // (the host loads the UI module for it).
    if (IGraphics* graphics = MakeGrindvoxGraphics(this, GetBundleID())) {
        LayOutGrindvoxEditor(graphics, this);
        AttachGraphics(graphics);
    }
#endif

    MakeDefaultPreset("Init", kNumPresets);
}

Grindvox::~Grindvox() {
    delete mSvfL;
    delete mSvfR;
    delete mDecimateL;
    delete mDecimateR;
    delete mReductL;
    delete mReductR;
}

void Grindvox::Reset() {
    TRACE_CALL("%s", GetEffectName());
    WDL_MutexLock lock(&mMutex);
    if (GetSampleRate() != mSampleRate) {
        mSampleRate = GetSampleRate();
        mSvfL->setSamplerate(mSampleRate);
        mSvfR->setSamplerate(mSampleRate);
    }
    mReductL->reset();
    mReductR->reset();
    mSvfL->reset();
    mSvfR->reset();
    mSilentFrames = kSilenceFrames;
    mGateClosed = true;
}

void Grindvox::OnParamChange(int paramIdx) {
    TRACE_CALL("%d", paramIdx);
    const IParam* param = GetParam(paramIdx);
    if (!param) return;
    const double value = param->Value();
    constexpr auto relaxed = std::memory_order_relaxed;
    switch (paramIdx) {
    case kFilter: mFilterType.store(TruncateToInt(value), relaxed); break;
    case kCutoff: mCutoff.store(value, relaxed); break;
    case kResonance: mResonance.store(value, relaxed); break;
    case kBits: mBits.store(TruncateToInt(value), relaxed); break;
    case kRatio: mRatio.store(TruncateToInt(value), relaxed); break;
    case kMixMode: mMixMode.store(TruncateToInt(value), relaxed); break;
    case kParallel: mParallel.store(value != 0.0, relaxed); break;
    default: break;
    }
}

void Grindvox::setUpBlock() {
    constexpr auto relaxed = std::memory_order_relaxed;
    // "Cutoff" reaches 11 kHz at every rate; above half the filters' rate the oversampled
    // filter's coefficient leaves its stable range, so the filters stop at Nyquist.
    const double cutoff = std::min(mCutoff.load(relaxed), 0.5 * mSampleRate);
    const double resonance = mResonance.load(relaxed);
    const int ratio = mRatio.load(relaxed);
    const int bits = mBits.load(relaxed);
    for (TolvaSvf* svf : {mSvfL, mSvfR}) {
        svf->setCutoff(cutoff);
        svf->setResonance(resonance);
        svf->calc();
    }
    mReductL->update(ratio);
    mReductR->update(ratio);
    mDecimateL->setBits(bits);
    mDecimateR->setBits(bits);
}

bool Grindvox::gate(const double* in) {
    if (in[0] != 0.0 || in[1] != 0.0) {
        mSilentFrames = 0;
        mGateClosed = false;
        return false;
    }
    if (mSilentFrames < kSilenceFrames) ++mSilentFrames;
    if (!mGateClosed && mSilentFrames == kSilenceFrames) {
        mGateClosed = rungOut(*mSvfL, mWork[kFilteredL]) && rungOut(*mSvfR, mWork[kFilteredL + 1]);
    }
    return mGateClosed;
}

bool Grindvox::rungOut(const TolvaSvf& svf, double filtered) const {
    return std::fabs(filtered) < kRungOut && std::fabs(svf.low) < kRungOut &&
           std::fabs(svf.band) < kRungOut;
}

void Grindvox::filterBoth(double* in, int filterType) {
    double* filtered = &mWork[kFilteredL];
    TolvaSvf::processPair(*mSvfL, &in[0], *mSvfR, &in[1], &filtered[0], &filtered[1]);
    switch (filterType) {
    case kHighPass:
        filtered[0] = mSvfL->getHpf();
        filtered[1] = mSvfR->getHpf();
        break;
    case kBandPass:
        filtered[0] = mSvfL->getBpf();
        filtered[1] = mSvfR->getBpf();
        break;
    default: break; // low-pass, as processPair left it
    }
}

double Grindvox::degrade(int c, TolvaDecimate& decimate, TolvaSampleReduct& reduct, double in,
                         int mixMode, bool parallel) {
    double& filtered = mWork[kFilteredL + c];
    double& remainder = mWork[kRemainderL + c];
    double& quantised = mWork[kQuantisedL + c];
    double& reduced = mWork[kReducedL + c];
    double& mixed = mWork[kMixedL + c];

    remainder = in - filtered;
    quantised = decimate.process(&filtered);
    // In series the reducer holds the quantised signal; in the other modes it runs beside the
    // quantiser on the filtered signal and the two are combined.
    switch (mixMode) {
    case kSerial:
        reduced = reduct.process(&quantised);
        mixed = reduced;
        break;
    case kAverage:
        reduced = reduct.process(&filtered);
        mixed = 0.5 * quantised + 0.5 * reduced;
        break;
    case kRing:
        reduced = reduct.process(&filtered);
        mixed = quantised * reduced;
        break;
    case kDifference:
        reduced = reduct.process(&filtered);
        mixed = quantised - reduced;
        break;
    default: break; // no mode of that number: reduced and mixed keep their values
    }
    return parallel ? remainder + mixed : mixed;
}

void Grindvox::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) {
    if (!inputs || !outputs) return;
    const double* inL = inputs[0];
    const double* inR = inputs[1];
    double* outL = outputs[0];
    double* outR = outputs[1];
    if (!inL || !inR || !outL || !outR) return;

    // The members are read once, here: a parameter that changes during the block waits for the
    // next one.
    constexpr auto relaxed = std::memory_order_relaxed;
    const int filterType = mFilterType.load(relaxed);
    const int mixMode = mMixMode.load(relaxed);
    const bool parallel = mParallel.load(relaxed);
    setUpBlock();

    for (int i = 0; i < nFrames; ++i) {
        // Both inputs are read before either output is written, so in-place buffers work.
        double in[2] = {inL[i], inR[i]};
        filterBoth(in, filterType);
        const double left = degrade(0, *mDecimateL, *mReductL, in[0], mixMode, parallel);
        const double right = degrade(1, *mDecimateR, *mReductR, in[1], mixMode, parallel);
        const bool silent = gate(in);
        outL[i] = silent ? 0.0 : left;
        outR[i] = silent ? 0.0 : right;
    }
}
