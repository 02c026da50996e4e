// The plug-in base's channels, buffers and processing: connecting channels, attaching the
// host's buffers, converting between float and double, and running the effect.
#include "plugin/IPlugBase.h"

#include "plugin/Trace.h"

#include <cfloat>
#include <cmath>
#include <cstring>

namespace {

void convert(const float* from, double* to, int n) {
    for (int i = 0; i < n; ++i)
        to[i] = from[i];
}

// A float as the host receives it. A result below the smallest normal float becomes a zero of
// the same sign: hosts and validators refuse subnormal output, and it slows the next
// plug-in in the host's chain to a crawl. NaN passes unchanged.
float toHostSample(float value) {
    return std::fabs(value) < FLT_MIN ? std::copysign(0.0f, value) : value;
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

void IPlugBase::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) {
    copyAndClear(inputs, NInChannels(), outputs, NOutChannels(), nFrames);
}

void IPlugBase::ProcessSingleReplacing(float** inputs, float** outputs, int nFrames) {
    copyAndClear(inputs, NInChannels(), outputs, NOutChannels(), nFrames);
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
        if (accumulate) {
            for (int s = 0; s < nFrames; ++s)
                to[s] = toHostSample(to[s] + static_cast<float>(from[s]));
        } else {
            for (int s = 0; s < nFrames; ++s)
                to[s] = toHostSample(static_cast<float>(from[s]));
        }
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
