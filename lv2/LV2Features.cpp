#include "lv2/LV2Features.h"

#include <lv2/atom/atom.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include <cstdint>
#include <cstring>

namespace {

// An atom type an option's value may have, with the size such a value has.
struct AtomKind {
    const char* type;
    uint32_t size;
};

// The first option under key whose value is of one of the n kinds, with that kind's index in
// *kind; null when there is none.
const LV2_Options_Option* findOption(const LV2_Feature* const* features, const char* key,
                                     const AtomKind* kinds, int n, int* kind) {
    const auto* map = static_cast<const LV2_URID_Map*>(FindFeature(features, LV2_URID__map));
    const auto* options =
        static_cast<const LV2_Options_Option*>(FindFeature(features, LV2_OPTIONS__options));
    if (!map || !map->map || !options) return nullptr;
    const LV2_URID wanted = map->map(map->handle, key);
    LV2_URID types[2] = {};
    for (int k = 0; k < n; ++k)
        types[k] = map->map(map->handle, kinds[k].type);
    for (const LV2_Options_Option* o = options; o->key || o->value; ++o) {
        if (o->key != wanted || !o->value) continue;
        for (int k = 0; k < n; ++k) {
            if (o->type != types[k] || o->size != kinds[k].size) continue;
            *kind = k;
            return o;
        }
    }
    return nullptr;
}

} // namespace

const void* FindFeature(const LV2_Feature* const* features, const char* uri) {
    for (int i = 0; features && features[i]; ++i) {
        if (features[i]->URI && std::strcmp(features[i]->URI, uri) == 0) return features[i]->data;
    }
    return nullptr;
}

bool ReadIntegerOption(const LV2_Feature* const* features, const char* key, long long* value) {
    static const AtomKind kKinds[] = {{LV2_ATOM__Int, sizeof(int32_t)},
                                      {LV2_ATOM__Long, sizeof(int64_t)}};
    int kind = 0;
    const LV2_Options_Option* o = findOption(features, key, kKinds, 2, &kind);
    if (!o) return false;
    *value =
        kind == 0 ? *static_cast<const int32_t*>(o->value) : *static_cast<const int64_t*>(o->value);
    return true;
}

bool ReadRealOption(const LV2_Feature* const* features, const char* key, double* value) {
    static const AtomKind kKinds[] = {{LV2_ATOM__Float, sizeof(float)},
                                      {LV2_ATOM__Double, sizeof(double)}};
    int kind = 0;
    const LV2_Options_Option* o = findOption(features, key, kKinds, 2, &kind);
    if (!o) return false;
    *value =
        kind == 0 ? *static_cast<const float*>(o->value) : *static_cast<const double*>(o->value);
    return true;
}
