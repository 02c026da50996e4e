#include "effect/Grindvox.h"

#include "effect/TolvaDecimate.h"
#include "effect/TolvaSampleReduct.h"
#include "effect/TolvaSvf.h"
#include "plugin/Trace.h"

namespace {

constexpr int kNumPresets = 10;
constexpr int kVersion = 0x00010100; // 1.1.0

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
    mSvfL = new TolvaSvf(mCutoff, mResonance, mSampleRate, mOversampling);
    mSvfR = new TolvaSvf(mCutoff, mResonance, mSampleRate, mOversampling);
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
}

void Grindvox::OnParamChange(int paramIdx) {
    TRACE_CALL("%d", paramIdx);
    WDL_MutexLock lock(&mMutex);
    const IParam* param = GetParam(paramIdx);
    if (!param) return;
    const double value = param->Value();
    switch (paramIdx) {
    case kFilter: mFilterType = TruncateToInt(value); break;
    case kCutoff: mCutoff = value; break;
    case kResonance: mResonance = value; break;
    case kBits: mBits = TruncateToInt(value); break;
    case kRatio: mRatio = TruncateToInt(value); break;
    case kMixMode: mMixMode = TruncateToInt(value); break;
    case kParallel: mParallel = value != 0.0; break;
    default: break;
    }
}

void Grindvox::setUpBlock() {
    mSvfL->setCutoff(mCutoff);
    mSvfL->setResonance(mResonance);
    mSvfL->calc();
    mSvfR->setCutoff(mCutoff);
    mSvfR->setResonance(mResonance);
    mSvfR->calc();
    mReductL->update(mRatio);
    mReductR->update(mRatio);
    mDecimateL->setBits(mBits);
    mDecimateR->setBits(mBits);
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
    const int filterType = mFilterType;
    const int mixMode = mMixMode;
    const bool parallel = mParallel;
    setUpBlock();

    for (int i = 0; i < nFrames; ++i) {
        // Both inputs are read before either output is written, so in-place buffers work.
        double in[2] = {inL[i], inR[i]};
        filterBoth(in, filterType);
        const double left = degrade(0, *mDecimateL, *mReductL, in[0], mixMode, parallel);
        const double right = degrade(1, *mDecimateR, *mReductR, in[1], mixMode, parallel);
        // A frame of exact silence stays silent, however the filters ring.
        const bool silent = in[0] == 0.0 && in[1] == 0.0;
        outL[i] = silent ? 0.0 : left;
        outR[i] = silent ? 0.0 : right;
    }
}
