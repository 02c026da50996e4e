#pragma once

// A small LV2 host for the tests, built on lilv: it finds grindvox.lv2 through LV2_PATH, as
// every host does, and runs one instance with float buffers the test fills. A host that offers
// a maximum block length also offers the URID map and options features it comes through.

#include <lilv/lilv.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <string>
#include <vector>

namespace grindvox::test {

constexpr const char* kStereoURI = "http://tolvasonics.com/plugins/grindvox";
constexpr const char* kMonoURI = "http://tolvasonics.com/plugins/grindvox-mono";
constexpr int kNumControls = 7;

// One lilv world holding the build's bundle; the process shares it.
LilvWorld* SharedWorld();
const LilvPlugin* FindPlugin(const char* uri);

// Maps URIs to consecutive IDs, as a host's urid:map does.
class UridMap {
public:
    uint32_t Map(const char* uri);
    const std::vector<std::string>& Uris() const { return mUris; }

private:
    std::vector<std::string> mUris;
};

class LilvHost {
public:
    // maxBlockLength 0: no features at all, as lv2apply instantiates.
    LilvHost(const char* uri, double sampleRate, int maxBlockLength = 0);
    ~LilvHost();
    LilvHost(const LilvHost&) = delete;
    LilvHost& operator=(const LilvHost&) = delete;

    bool Ok() const { return mInstance != nullptr; }
    int Channels() const { return mChannels; }
    LilvInstance* Instance() { return mInstance; }

    void SetControl(int idx, float value) { mControls[idx] = value; }
    // Connects channel c's ports to the caller's buffers (which may be the same memory).
    void Connect(int c, const float* in, float* out);
    void Run(uint32_t nFrames) { lilv_instance_run(mInstance, nFrames); }

    // Processes whole signals (one vector per channel) in runs of `run` frames, applying
    // `change(frame)` before each run.
    template <class Change>
    void Render(const std::vector<std::vector<float>>& in, std::vector<std::vector<float>>& out,
                int run, Change change) {
        const int frames = static_cast<int>(in[0].size());
        for (int c = 0; c < mChannels; ++c)
            out[c].assign(static_cast<size_t>(frames), 0.0f);
        for (int done = 0; done < frames; done += run) {
            change(done);
            const int n = frames - done < run ? frames - done : run;
            for (int c = 0; c < mChannels; ++c)
                Connect(c, in[c].data() + done, out[c].data() + done);
            Run(static_cast<uint32_t>(n));
        }
    }

private:
    static uint32_t mapURI(void* handle, const char* uri);

    LilvInstance* mInstance = nullptr;
    int mChannels = 0;
    float mControls[kNumControls] = {};
    UridMap mUrids;
    // The features offered; the plug-in may keep pointers into them while it lives.
    int32_t mMaxBlockLength = 0;
    LV2_URID_Map mMap = {};
    LV2_Options_Option mOptions[2] = {};
    LV2_Feature mMapFeature = {};
    LV2_Feature mOptionsFeature = {};
    const LV2_Feature* mFeatures[3] = {};
};

} // namespace grindvox::test
