// The LV2 DSP module's front door: the stereo and the mono plug-in, each making the effect with
// the LV2 adapter as its base. The module exports only lv2_descriptor.
#include "effect/Grindvox.h"

#define GRINDVOX_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// Users' sessions keep these for ever: never change them.
constexpr const char* kStereoURI = "http://tolvasonics.com/plugins/grindvox";
constexpr const char* kMonoURI = "http://tolvasonics.com/plugins/grindvox-mono";

template <int nChannels>
LV2_Handle instantiate(const LV2_Descriptor* /*descriptor*/, double sampleRate,
                       const char* /*bundlePath*/, const LV2_Feature* const* features) {
    if (!(sampleRate > 0.0)) return nullptr;
    IPlugInstanceInfo info;
    info.mSampleRate = sampleRate;
    info.mFeatures = features;
    info.mNAudioChannels = nChannels;
    auto* plug = new Grindvox(info);
    if (!plug->IsReady()) {
        delete plug;
        return nullptr;
    }
    // The filters learn the host's rate now, as an Audio Unit's do when it is initialised.
    plug->Reset();
    return plug;
}

const LV2_Descriptor kDescriptors[] = {
    {kStereoURI, instantiate<2>, IPlugLV2::ConnectPort, IPlugLV2::Activate, IPlugLV2::Run,
     IPlugLV2::Deactivate, IPlugLV2::Cleanup, IPlugLV2::ExtensionData},
    {kMonoURI, instantiate<1>, IPlugLV2::ConnectPort, IPlugLV2::Activate, IPlugLV2::Run,
     IPlugLV2::Deactivate, IPlugLV2::Cleanup, IPlugLV2::ExtensionData},
};

} // namespace

GRINDVOX_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
    return index < sizeof kDescriptors / sizeof kDescriptors[0] ? &kDescriptors[index] : nullptr;
}
