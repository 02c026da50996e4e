#include "plugin/IPlugBase.h"

#include "editor/IGraphics.h"
#include "plugin/Trace.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

void copyName(char (&field)[IPlugBase::kNameSize], const char* text) {
    field[0] = 0;
    if (!text) return;
    std::strncpy(field, text, IPlugBase::kNameSize - 1);
    field[IPlugBase::kNameSize - 1] = 0;
}

// Reads a decimal count as "%d" would; a field that cannot be read stays 0, and counts beyond
// the int range are held at its limits.
int readCount(const char*& p) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(p, &end, 10);
    if (end == p) return 0;
    p = end;
    if (value > 0x7fffffffL) return 0x7fffffff;
    if (value < -0x7fffffffL - 1) return -0x7fffffff - 1;
    return static_cast<int>(value);
}

// One "in-out" token at p.
IPlugBase::ChannelIO parseChannelIO(const char* p) {
    IPlugBase::ChannelIO io{0, 0};
    const char* start = p;
    io.mIn = readCount(p);
    if (p != start && *p == '-') {
        ++p;
        io.mOut = readCount(p);
    }
    return io;
}

template <class From, class To>
void convert(const From* from, To* to, int n) {
    for (int i = 0; i < n; ++i)
        to[i] = static_cast<To>(from[i]);
}

template <class T>
void copyAndClear(T** inputs, int nIn, T** outputs, int nOut, int nFrames) {
    if (nFrames <= 0) return;
    const size_t bytes = static_cast<size_t>(nFrames) * sizeof(T);
    for (int i = 0; i < nOut; ++i) {
        if (!outputs[i]) continue;
        if (i < nIn && inputs[i]) {
            if (inputs[i] != outputs[i]) std::memmove(outputs[i], inputs[i], bytes);
        } else {
            std::memset(outputs[i], 0, bytes);
        }
    }
}

} // namespace

IPlugBase::IPlugBase(int nParams, const char* channelIOStr, int nPresets, const char* effectName,
                     const char* productName, const char* mfrName, int vendorVersion, int uniqueID,
                     int mfrID, int latency, bool /*plugDoesMidi*/, bool plugDoesChunks,
                     bool plugIsInst)
    : mUniqueID(uniqueID), mMfrID(mfrID), mVersion(vendorVersion), mStateChunks(plugDoesChunks),
      mIsInst(plugIsInst), mLatency(latency), mPresetDir(nullptr) {
    TRACE_CALL("%s:%s", effectName ? effectName : "", CurrentTime());

    for (int i = 0; i < nParams; ++i)
        mParams.Add(new IParam);
    for (int i = 0; i < nPresets; ++i)
        mPresets.Add(new IPreset);

    copyName(mEffectName, effectName);
    copyName(mProductName, productName);
    copyName(mMfrName, mfrName);

    int nInputs = 0, nOutputs = 0;
    for (const char* p = channelIOStr; p;) {
        const ChannelIO io = parseChannelIO(p);
        mChannelIO.Add(new ChannelIO(io));
        if (io.mIn > nInputs) nInputs = io.mIn;
        if (io.mOut > nOutputs) nOutputs = io.mOut;
        p = std::strchr(p, ' ');
        if (p) ++p;
    }

    double** inSlots = mInData.Resize(nInputs);
    double** outSlots = mOutData.Resize(nOutputs);
    for (int i = 0; i < nInputs; ++i) {
        InChannel* channel = mInChannels.Add(new InChannel);
        channel->mSrc = inSlots + i;
        *channel->mSrc = nullptr;
    }
    for (int i = 0; i < nOutputs; ++i) {
        OutChannel* channel = mOutChannels.Add(new OutChannel);
        channel->mDest = outSlots + i;
        *channel->mDest = nullptr;
    }
}

IPlugBase::~IPlugBase() {
    TRACE_CALL("%s", mEffectName);
    delete mGraphics;
    for (int i = 0; i < mParams.GetSize(); ++i)
        delete mParams.Get(i);
    for (int i = 0; i < mPresets.GetSize(); ++i)
        delete mPresets.Get(i);
    for (int i = 0; i < mChannelIO.GetSize(); ++i)
        delete mChannelIO.Get(i);
    for (int i = 0; i < mInChannels.GetSize(); ++i)
        delete mInChannels.Get(i);
    for (int i = 0; i < mOutChannels.GetSize(); ++i)
        delete mOutChannels.Get(i);
}

void IPlugBase::Reset() {
    TRACE_CALL("%s", mEffectName);
    WDL_MutexLock lock(&mMutex);
}

void IPlugBase::OnParamChange(int paramIdx) {
    TRACE_CALL("%d", paramIdx);
    WDL_MutexLock lock(&mMutex);
}

void IPlugBase::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) {
    copyAndClear(inputs, NInChannels(), outputs, NOutChannels(), nFrames);
}

void IPlugBase::ProcessSingleReplacing(float** inputs, float** outputs, int nFrames) {
    copyAndClear(inputs, NInChannels(), outputs, NOutChannels(), nFrames);
}

void IPlugBase::OnActivate(bool active) {
    TRACE_CALL("%d", active);
    WDL_MutexLock lock(&mMutex);
}

void IPlugBase::ProcessMidiMsg(IMidiMsg* msg) {
    SendMidiMsg(msg);
}

bool IPlugBase::MidiNoteName(int /*noteNumber*/, char* name) {
    if (name) name[0] = 0;
    return false;
}

void IPlugBase::AttachGraphics(IGraphics* graphics) {
    if (!graphics) return;
    WDL_MutexLock lock(&mMutex);
    for (int i = 0; i < NParams(); ++i) {
        graphics->SetParameterFromPlug(i, GetParam(i)->GetNormalized(), true);
    }
    graphics->PrepDraw();
    mGraphics = graphics;
}

void IPlugBase::RedrawParamControls() {
    if (!mGraphics) return;
    for (int i = 0; i < NParams(); ++i) {
        mGraphics->SetParameterFromPlug(i, GetParam(i)->mValue, false);
    }
}

namespace {

// Resizes one channel's scratch buffer and clears it. A slot that read or wrote the old scratch
// memory (every unconnected channel, and connected ones fed through float conversion) follows
// it to the new block; a slot bound to a host's own buffer is left alone.
void resizeScratch(WDL_TypedBuf<double>& scratch, double** slot, bool connected, int frames) {
    const bool follows = !connected || *slot == scratch.Get();
    scratch.Resize(frames);
    if (scratch.GetSize() > 0) {
        std::memset(scratch.Get(), 0, static_cast<size_t>(scratch.GetSize()) * sizeof(double));
    }
    if (follows) *slot = scratch.Get();
}

} // namespace

void IPlugBase::SetBlockSize(int blockSize) {
    TRACE_CALL("%d", blockSize);
    if (blockSize < 0) blockSize = 0;
    if (blockSize == mBlockSize) return;

    // A buffer that cannot grow keeps its old size; the block size then never claims more than
    // every scratch buffer holds.
    int frames = blockSize;
    for (int i = 0; i < NInChannels(); ++i) {
        InChannel* channel = mInChannels.Get(i);
        resizeScratch(channel->mScratchBuf, channel->mSrc, channel->mConnected, blockSize);
        if (channel->mScratchBuf.GetSize() < frames) frames = channel->mScratchBuf.GetSize();
    }
    for (int i = 0; i < NOutChannels(); ++i) {
        OutChannel* channel = mOutChannels.Get(i);
        resizeScratch(channel->mScratchBuf, channel->mDest, channel->mConnected, blockSize);
        if (channel->mScratchBuf.GetSize() < frames) frames = channel->mScratchBuf.GetSize();
    }
    mBlockSize = frames;
}

double IPlugBase::GetSamplesPerBeat() {
    const double tempo = GetTempo();
    return tempo > 0.0 ? mSampleRate * 60.0 / tempo : 0.0;
}

bool IPlugBase::LegalIO(int nIn, int nOut) const {
    bool legal = false;
    for (int i = 0; i < NChannelIO() && !legal; ++i) {
        const ChannelIO* io = mChannelIO.Get(i);
        legal = (nIn < 0 || nIn == io->mIn) && (nOut < 0 || nOut == io->mOut);
    }
    TRACE_CALL("%d:%d:%s", nIn, nOut, legal ? "legal" : "illegal");
    return legal;
}

void IPlugBase::LimitToStereoIO() {
    if (NInChannels() > 2) SetInputChannelConnections(2, NInChannels() - 2, false);
    if (NOutChannels() > 2) SetOutputChannelConnections(2, NOutChannels() - 2, true);
}

bool IPlugBase::IsInChannelConnected(int chIdx) const {
    const InChannel* channel = mInChannels.Get(chIdx);
    return channel && channel->mConnected;
}

bool IPlugBase::IsOutChannelConnected(int chIdx) const {
    const OutChannel* channel = mOutChannels.Get(chIdx);
    return channel && channel->mConnected;
}

void IPlugBase::SetInputChannelConnections(int idx, int n, bool connected) {
    const int end = idx + n < NInChannels() ? idx + n : NInChannels();
    for (int i = idx < 0 ? 0 : idx; i < end; ++i) {
        InChannel* channel = mInChannels.Get(i);
        const bool wasConnected = channel->mConnected;
        channel->mConnected = connected;
        if (connected) continue;
        *channel->mSrc = channel->mScratchBuf.Get();
        // The scratch buffer may still hold the last converted block; an input that goes quiet
        // must read silence.
        if (wasConnected && channel->mScratchBuf.GetSize() > 0) {
            std::memset(channel->mScratchBuf.Get(), 0,
                        static_cast<size_t>(channel->mScratchBuf.GetSize()) * sizeof(double));
        }
    }
}

void IPlugBase::SetOutputChannelConnections(int idx, int n, bool connected) {
    const int end = idx + n < NOutChannels() ? idx + n : NOutChannels();
    for (int i = idx < 0 ? 0 : idx; i < end; ++i) {
        OutChannel* channel = mOutChannels.Get(i);
        channel->mConnected = connected;
        if (!connected) *channel->mDest = channel->mScratchBuf.Get();
    }
}

void IPlugBase::AttachInputBuffers(int idx, int n, double** ppData, int /*nFrames*/) {
    const int end = idx + n < NInChannels() ? idx + n : NInChannels();
    for (int i = idx < 0 ? 0 : idx; i < end; ++i) {
        InChannel* channel = mInChannels.Get(i);
        if (channel->mConnected) *channel->mSrc = *ppData++;
    }
}

void IPlugBase::AttachInputBuffers(int idx, int n, float** ppData, int nFrames) {
    const int end = idx + n < NInChannels() ? idx + n : NInChannels();
    for (int i = idx < 0 ? 0 : idx; i < end; ++i) {
        InChannel* channel = mInChannels.Get(i);
        if (!channel->mConnected) continue;
        double* scratch = channel->mScratchBuf.Get();
        convert(*ppData++, scratch, nFrames);
        *channel->mSrc = scratch;
    }
}

void IPlugBase::AttachOutputBuffers(int idx, int n, double** ppData) {
    const int end = idx + n < NOutChannels() ? idx + n : NOutChannels();
    for (int i = idx < 0 ? 0 : idx; i < end; ++i) {
        OutChannel* channel = mOutChannels.Get(i);
        if (channel->mConnected) *channel->mDest = *ppData++;
    }
}

void IPlugBase::AttachOutputBuffers(int idx, int n, float** ppData) {
    const int end = idx + n < NOutChannels() ? idx + n : NOutChannels();
    for (int i = idx < 0 ? 0 : idx; i < end; ++i) {
        OutChannel* channel = mOutChannels.Get(i);
        if (!channel->mConnected) continue;
        *channel->mDest = channel->mScratchBuf.Get();
        channel->mFDest = *ppData++;
    }
}

void IPlugBase::ConvertOutputs(int nFrames, bool accumulate) {
    for (int i = 0; i < NOutChannels(); ++i) {
        const OutChannel* channel = mOutChannels.Get(i);
        if (!channel->mConnected || !channel->mFDest) continue;
        const double* from = *channel->mDest;
        float* to = channel->mFDest;
        if (!accumulate) {
            convert(from, to, nFrames);
            continue;
        }
        for (int s = 0; s < nFrames; ++s)
            to[s] += static_cast<float>(from[s]);
    }
}

void IPlugBase::ProcessBuffers(double /*sampleType*/, int nFrames) {
    ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), nFrames);
}

void IPlugBase::ProcessBuffers(float /*sampleType*/, int nFrames) {
    ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), nFrames);
    ConvertOutputs(nFrames, false);
}

void IPlugBase::ProcessBuffersAccumulating(float /*sampleType*/, int nFrames) {
    ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), nFrames);
    ConvertOutputs(nFrames, true);
}

void IPlugBase::PassThroughBuffers(double /*sampleType*/, int nFrames) {
    copyAndClear(mInData.Get(), NInChannels(), mOutData.Get(), NOutChannels(), nFrames);
}

void IPlugBase::PassThroughBuffers(float /*sampleType*/, int nFrames) {
    PassThroughBuffers(0.0, nFrames);
    ConvertOutputs(nFrames, false);
}

void IPlugBase::OnParamReset() {
    for (int i = 0; i < NParams(); ++i)
        OnParamChange(i);
}

void IPlugBase::SetParameterFromGUI(int idx, double normalizedValue) {
    TRACE_CALL("%d:%f", idx, normalizedValue);
    WDL_MutexLock lock(&mMutex);
    IParam* param = GetParam(idx);
    if (!param) return;
    param->SetNormalized(normalizedValue);
    InformHostOfParamChange(idx, normalizedValue);
    OnParamChange(idx);
}

void IPlugBase::DirtyParameters() {
    WDL_MutexLock lock(&mMutex);
    for (int i = 0; i < NParams(); ++i)
        InformHostOfParamChange(i, GetParam(i)->GetNormalized());
}
