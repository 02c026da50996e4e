#pragma once

// Reading what an LV2 host offers at instantiation: its features by URI, and its options (found
// through its URID map) as numbers. Shared by the DSP module's adapter and the UI module.
#include <lv2/core/lv2.h>

// The data of the host's feature with this URI, or null when it does not offer it (or offers no
// features at all).
const void* FindFeature(const LV2_Feature* const* features, const char* uri);

// The host's first option under key given as an atom:Int or atom:Long (of its proper size);
// false, with nothing written, when the host offers no URID map, no options or no such option.
bool ReadIntegerOption(const LV2_Feature* const* features, const char* key, long long* value);
// The same for an option given as an atom:Float or atom:Double.
bool ReadRealOption(const LV2_Feature* const* features, const char* key, double* value);
