#include "tests/au/SourceUnit.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace grindvox::test {

float TestSignal(int channel, long long frame) {
    const long long inCycle = frame % 8192;
    if (inCycle >= 3000 && inCycle < 3064) return 0.0f;
    if (channel == 0 && inCycle >= 5000 && inCycle < 5032) return 0.0f;

    // A linear sweep from 30 Hz to 15 kHz over every 8192 frames at 44.1 kHz (the right
    // channel sweeps down), plus white noise from an integer hash of the frame.
    const double t = static_cast<double>(inCycle) / 44100.0;
    const double span = 8192.0 / 44100.0;
    const double f0 = channel == 0 ? 30.0 : 15000.0;
    const double f1 = channel == 0 ? 15000.0 : 30.0;
    const double phase = 2.0 * 3.14159265358979323846 * (f0 * t + (f1 - f0) * t * t / (2.0 * span));
    std::uint64_t h = static_cast<std::uint64_t>(frame) * 2 + static_cast<std::uint64_t>(channel);
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdull;
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ull;
    h ^= h >> 33;
    const double noise = static_cast<double>(h >> 11) / 9007199254740992.0 - 0.5;
    return static_cast<float>((channel == 0 ? 0.6 : 0.5) * std::sin(phase) + 0.3 * noise);
}

// Reaches the private parts from the component's free functions.
struct SourceUnitAccess {
    static SourceUnit* Make(bool fast) { return new SourceUnit(fast); }
    static bool OffersFastDispatch(const SourceUnit& unit) { return unit.mOffersFastDispatch; }
    static OSStatus Render(SourceUnit& unit, const AudioTimeStamp* timeStamp, UInt32 bus,
                           UInt32 frames, AudioBufferList* list) {
        return unit.Render(timeStamp, bus, frames, list);
    }
};

namespace {

template <class T>
T slot(const ComponentParameters* params, int i) {
    const long value = params->params[i];
    if constexpr (std::is_pointer_v<T>) {
        return reinterpret_cast<T>(value);
    } else {
        return static_cast<T>(value);
    }
}

OSStatus fastRender(void* storage, AudioUnitRenderActionFlags* /*flags*/,
                    const AudioTimeStamp* timeStamp, UInt32 bus, UInt32 frames,
                    AudioBufferList* list) {
    auto* unit = static_cast<SourceUnit*>(storage);
    ++unit->mFastRenders;
    return SourceUnitAccess::Render(*unit, timeStamp, bus, frames, list);
}

OSStatus getProperty(SourceUnit& unit, AudioUnitPropertyID id, AudioUnitScope scope,
                     AudioUnitElement element, void* data, UInt32* size) {
    switch (id) {
    case kAudioUnitProperty_StreamFormat: {
        if (!unit.mAnswersStreamFormat || scope != kAudioUnitScope_Output || element != 0) {
            return kAudioUnitErr_InvalidProperty;
        }
        AudioStreamBasicDescription format = {};
        format.mSampleRate = unit.mSampleRate;
        format.mFormatID = kAudioFormatLinearPCM;
        format.mFormatFlags = kAudioFormatFlagsNativeFloatPacked | kAudioFormatFlagIsNonInterleaved;
        format.mBytesPerPacket = 4;
        format.mFramesPerPacket = 1;
        format.mBytesPerFrame = 4;
        format.mChannelsPerFrame = static_cast<UInt32>(unit.mChannels);
        format.mBitsPerChannel = 32;
        if (data && *size < sizeof format) return kAudioUnitErr_InvalidPropertyValue;
        *size = sizeof format;
        if (data) std::memcpy(data, &format, sizeof format);
        return noErr;
    }
    case kAudioUnitProperty_FastDispatch: {
        if (!SourceUnitAccess::OffersFastDispatch(unit) || element != kAudioUnitRenderSelect) {
            return kAudioUnitErr_InvalidProperty;
        }
        const AudioUnitRenderProc proc = fastRender;
        if (data && *size < sizeof proc) return kAudioUnitErr_InvalidPropertyValue;
        *size = sizeof proc;
        if (data) std::memcpy(data, &proc, sizeof proc);
        return noErr;
    }
    default: return kAudioUnitErr_InvalidProperty;
    }
}

ComponentResult sourceEntry(ComponentParameters* params, Handle storage) {
    auto* unit = reinterpret_cast<SourceUnit*>(storage);
    switch (params->what) {
    case kComponentOpenSelect: {
        auto instance = slot<ComponentInstance>(params, 1);
        ComponentDescription description = {};
        GetComponentInfo(reinterpret_cast<Component>(instance), &description, nullptr, nullptr,
                         nullptr);
        unit = SourceUnitAccess::Make(description.componentSubType == SourceUnit::kFastSubType);
        SetComponentInstanceStorage(instance, reinterpret_cast<Handle>(unit));
        return noErr;
    }
    case kComponentCloseSelect: delete unit; return noErr;
    default: break;
    }
    if (!unit) return badComponentSelector;

    switch (params->what) {
    case kAudioUnitInitializeSelect:
    case kAudioUnitUninitializeSelect:
    case kAudioUnitResetSelect: return noErr;
    case kAudioUnitGetPropertyInfoSelect: {
        UInt32 size = 0;
        const OSStatus result = getProperty(*unit, slot<AudioUnitPropertyID>(params, 1),
                                            slot<AudioUnitScope>(params, 2),
                                            slot<AudioUnitElement>(params, 3), nullptr, &size);
        if (auto* outSize = slot<UInt32*>(params, 4)) *outSize = size;
        if (auto* writable = slot<Boolean*>(params, 5)) *writable = false;
        return result;
    }
    case kAudioUnitGetPropertySelect: {
        auto* size = slot<UInt32*>(params, 5);
        if (!size) return kAudioUnitErr_InvalidPropertyValue;
        return getProperty(*unit, slot<AudioUnitPropertyID>(params, 1),
                           slot<AudioUnitScope>(params, 2), slot<AudioUnitElement>(params, 3),
                           slot<void*>(params, 4), size);
    }
    case kAudioUnitRenderSelect:
        ++unit->mEntryRenders;
        return SourceUnitAccess::Render(*unit, slot<const AudioTimeStamp*>(params, 2),
                                        slot<UInt32>(params, 3), slot<UInt32>(params, 4),
                                        slot<AudioBufferList*>(params, 5));
    default: return badComponentSelector;
    }
}

Component registerFlavour(OSType subType) {
    ComponentDescription description = {SourceUnit::kType, subType, SourceUnit::kManufacturer, 0,
                                        0};
    return RegisterComponent(&description, sourceEntry, 0, nullptr, nullptr, nullptr);
}

} // namespace

SourceUnit::SourceUnit(bool offersFastDispatch)
    : mOffersFastDispatch(offersFastDispatch), mOwnBuffers(kMaxFrames * kMaxChannels) {}

Component SourceUnit::Fast() {
    static Component component = registerFlavour(kFastSubType);
    return component;
}

Component SourceUnit::Plain() {
    static Component component = registerFlavour(kPlainSubType);
    return component;
}

SourceUnit* SourceUnit::Of(AudioUnit unit) {
    return reinterpret_cast<SourceUnit*>(GetComponentInstanceStorage(unit));
}

OSStatus SourceUnit::Render(const AudioTimeStamp* timeStamp, UInt32 outputBus, UInt32 nFrames,
                            AudioBufferList* bufferList) {
    if (!timeStamp || !bufferList || outputBus != 0) return kAudioUnitErr_InvalidPropertyValue;
    if (nFrames > kMaxFrames) return kAudioUnitErr_TooManyFramesToProcess;
    mLastSampleTime = timeStamp->mSampleTime;
    mLastFrames = nFrames;
    if (mRenderResult != noErr) return mRenderResult;

    const auto start = static_cast<long long>(timeStamp->mSampleTime);
    const UInt32 n = bufferList->mNumberBuffers;
    for (UInt32 c = 0; c < n && c < static_cast<UInt32>(mChannels); ++c) {
        AudioBuffer& buffer = bufferList->mBuffers[c];
        if (!buffer.mData) buffer.mData = &mOwnBuffers[c * kMaxFrames];
        buffer.mNumberChannels = 1;
        buffer.mDataByteSize = nFrames * sizeof(float);
        auto* out = static_cast<float*>(buffer.mData);
        for (UInt32 i = 0; i < nFrames; ++i)
            out[i] = TestSignal(static_cast<int>(c), start + i);
    }
    return noErr;
}

} // namespace grindvox::test
