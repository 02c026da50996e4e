#include "tests/lv2/LilvHost.h"

#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>

#include <cstdlib>
#include <cstring>

namespace grindvox::test {

LilvWorld* SharedWorld() {
    static LilvWorld* world = [] {
        setenv("LV2_PATH", GRINDVOX_LV2_PATH, 1);
        LilvWorld* w = lilv_world_new();
        lilv_world_load_all(w);
        return w;
    }();
    return world;
}

const LilvPlugin* FindPlugin(const char* uri) {
    LilvWorld* world = SharedWorld();
    LilvNode* node = lilv_new_uri(world, uri);
    const LilvPlugin* plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), node);
    lilv_node_free(node);
    return plugin;
}

uint32_t UridMap::Map(const char* uri) {
    for (size_t i = 0; i < mUris.size(); ++i) {
        if (mUris[i] == uri) return static_cast<uint32_t>(i + 1);
    }
    mUris.emplace_back(uri);
    return static_cast<uint32_t>(mUris.size());
}

uint32_t LilvHost::mapURI(void* handle, const char* uri) {
    return static_cast<UridMap*>(handle)->Map(uri);
}

LilvHost::LilvHost(const char* uri, double sampleRate, int maxBlockLength) {
    const LilvPlugin* plugin = FindPlugin(uri);
    if (!plugin) return;
    mChannels = std::strcmp(uri, kMonoURI) == 0 ? 1 : 2;

    const LV2_Feature* const* offered = nullptr;
    if (maxBlockLength > 0) {
        mMaxBlockLength = maxBlockLength;
        mMap = {&mUrids, mapURI};
        mOptions[0] = {LV2_OPTIONS_INSTANCE,
                       0,
                       mUrids.Map(LV2_BUF_SIZE__maxBlockLength),
                       sizeof(int32_t),
                       mUrids.Map(LV2_ATOM__Int),
                       &mMaxBlockLength};
        mMapFeature = {LV2_URID__map, &mMap};
        mOptionsFeature = {LV2_OPTIONS__options, mOptions};
        mFeatures[0] = &mMapFeature;
        mFeatures[1] = &mOptionsFeature;
        offered = mFeatures;
    }
    mInstance = lilv_plugin_instantiate(plugin, sampleRate, offered);
    if (!mInstance) return;
    for (int i = 0; i < kNumControls; ++i) {
        lilv_instance_connect_port(mInstance, static_cast<uint32_t>(i), &mControls[i]);
    }
    lilv_instance_activate(mInstance);
}

LilvHost::~LilvHost() {
    if (!mInstance) return;
    lilv_instance_deactivate(mInstance);
    lilv_instance_free(mInstance);
}

void LilvHost::Connect(int c, const float* in, float* out) {
    const uint32_t first = kNumControls;
    lilv_instance_connect_port(mInstance, first + static_cast<uint32_t>(c), const_cast<float*>(in));
    lilv_instance_connect_port(mInstance, first + static_cast<uint32_t>(mChannels + c), out);
}

} // namespace grindvox::test
