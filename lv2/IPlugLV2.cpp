#include "lv2/IPlugLV2.h"

#include "lv2/LV2Features.h"

#include "plugin/Trace.h"

#include <lv2/buf-size/buf-size.h>

#include <cmath>
#include <cstring>

namespace {

// The longest run the host promises (bufsz:maxBlockLength), or 0 when it does not say.
long maxBlockLength(const LV2_Feature* const* features) {
    long long length = 0;
    if (!ReadIntegerOption(features, LV2_BUF_SIZE__maxBlockLength, &length)) return 0;
    return static_cast<long>(length);
}

int blockSizeFor(long hostMaximum) {
    if (hostMaximum <= 0) return IPlugLV2::kDefaultBlockSize;
    if (hostMaximum > IPlugLV2::kMaxBlockSize) return IPlugLV2::kMaxBlockSize;
    return static_cast<int>(hostMaximum);
}

} // namespace

IPlugLV2::IPlugLV2(IPlugInstanceInfo instanceInfo, int nParams, const char* channelIOStr,
                   int nPresets, const char* effectName, const char* productName,
                   const char* mfrName, int vendorVersion, int uniqueID, int mfrID, int latency,
                   bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst,
                   int /*nSideChainChannels*/)
    : IPlugBase(nParams, channelIOStr, nPresets, effectName, productName, mfrName, vendorVersion,
                uniqueID, mfrID, latency, plugDoesMidi, plugDoesChunks, plugIsInst) {
    TRACE_CALL("%s:%d", GetEffectName(), instanceInfo.mNAudioChannels);
    int nAudio = instanceInfo.mNAudioChannels;
    if (nAudio > NInChannels()) nAudio = NInChannels();
    if (nAudio > NOutChannels()) nAudio = NOutChannels();
    if (nAudio > 2) nAudio = 2;
    mNAudio = nAudio > 0 ? nAudio : 0;

    const int n = NParams();
    if (mControls.Resize(n) && mApplied.Resize(n)) {
        for (int i = 0; i < n; ++i) {
            mControls.Get()[i] = nullptr;
            mApplied.Get()[i] = NAN;
        }
    }

    SetSampleRate(instanceInfo.mSampleRate);
    IPlugBase::SetBlockSize(blockSizeFor(maxBlockLength(instanceInfo.mFeatures)));
    if (mControls.GetSize() != n || mApplied.GetSize() != n) IPlugBase::SetBlockSize(0);
    // The plug-in's channels beyond the ports read silence and write into scratch memory, as an
    // Audio Unit's unconnected channels do: a mono instance runs the same effect as a stereo one
    // fed silence on the right.
    SetInputChannelConnections(0, mNAudio, true);
    SetInputChannelConnections(mNAudio, NInChannels() - mNAudio, false);
    SetOutputChannelConnections(0, mNAudio, true);
    SetOutputChannelConnections(mNAudio, NOutChannels() - mNAudio, false);
}

IPlugLV2::~IPlugLV2() = default;

void IPlugLV2::ConnectPort(LV2_Handle instance, uint32_t port, void* data) {
    auto* self = static_cast<IPlugLV2*>(instance);
    const uint32_t nControls = static_cast<uint32_t>(self->mControls.GetSize());
    const uint32_t nAudio = static_cast<uint32_t>(self->mNAudio);
    if (port < nControls) {
        self->mControls.Get()[port] = static_cast<const float*>(data);
    } else if (port < nControls + nAudio) {
        self->mAudioIn[port - nControls] = static_cast<float*>(data);
    } else if (port < nControls + 2 * nAudio) {
        self->mAudioOut[port - nControls - nAudio] = static_cast<float*>(data);
    }
}

void IPlugLV2::Activate(LV2_Handle instance) {
    static_cast<IPlugLV2*>(instance)->Reset();
}

void IPlugLV2::Run(LV2_Handle instance, uint32_t nFrames) {
    auto* self = static_cast<IPlugLV2*>(instance);
    self->ApplyControls();
    self->Process(nFrames);
}

void IPlugLV2::Deactivate(LV2_Handle /*instance*/) {}

void IPlugLV2::Cleanup(LV2_Handle instance) {
    delete static_cast<IPlugLV2*>(instance);
}

const void* IPlugLV2::ExtensionData(const char* /*uri*/) {
    return nullptr;
}

void IPlugLV2::ApplyControls() {
    const float* const* controls = mControls.Get();
    float* applied = mApplied.Get();
    for (int i = 0; i < mControls.GetSize(); ++i) {
        if (!controls[i]) continue;
        const float value = *controls[i];
        // A NaN from the host is no value at all: the parameter keeps the one it has.
        if (std::isnan(value) || value == applied[i]) continue;
        applied[i] = value;
        GetParam(i)->Set(value);
        OnParamChange(i);
    }
}

void IPlugLV2::Process(uint32_t nFrames) {
    for (int c = 0; c < mNAudio; ++c) {
        if (!mAudioIn[c] || !mAudioOut[c]) return;
    }
    const uint32_t block = static_cast<uint32_t>(GetBlockSize());
    if (block == 0 || mNAudio == 0) return;
    for (uint32_t done = 0; done < nFrames;) {
        const uint32_t n = nFrames - done < block ? nFrames - done : block;
        float* in[2] = {mAudioIn[0] + done, mNAudio > 1 ? mAudioIn[1] + done : nullptr};
        float* out[2] = {mAudioOut[0] + done, mNAudio > 1 ? mAudioOut[1] + done : nullptr};
        // Inputs are converted before any output is written, so in-place ports work.
        AttachInputBuffers(0, mNAudio, in, static_cast<int>(n));
        AttachOutputBuffers(0, mNAudio, out);
        ProcessBuffers(0.0f, static_cast<int>(n));
        done += n;
    }
}
