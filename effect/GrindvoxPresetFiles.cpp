// Build tool: writes the designed presets in both shipped forms, the LV2 bundle's presets.ttl
// and one .aupreset file per preset for the component's resources. The .aupreset data is the
// effect's own parameter blob, so the files load exactly as states the unit saved itself.
//
// Usage: grindvox_preset_files PRESETS_TTL AUPRESET_FOLDER
#include "au/AUDictionary.h"
#include "effect/Grindvox.h"
#include "effect/GrindvoxPresets.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

static_assert(GrindvoxPreset::kNumValues == Grindvox::kNumParams, "a value for each parameter");

// The control ports' symbols, in parameter order, as the plug-in descriptions declare them.
const char* const kPortSymbols[Grindvox::kNumParams] = {"filter", "cutoff",   "resonance", "bits",
                                                        "ratio",  "mix_mode", "parallel"};

const char* const kPluginURIs = "<http://tolvasonics.com/plugins/grindvox>, "
                                "<http://tolvasonics.com/plugins/grindvox-mono>";

bool writeFile(const std::string& path, const void* bytes, size_t size) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

// A Turtle decimal that reads back as the same double, in its shortest form, always with a
// point.
std::string decimal(double value) {
    char text[64];
    std::snprintf(text, sizeof text, "%.15g", value);
    if (std::strtod(text, nullptr) != value) std::snprintf(text, sizeof text, "%.17g", value);
    std::string s = text;
    if (s.find_first_of(".e") == std::string::npos) s += ".0";
    return s;
}

// Sets the preset's values; false when one lies outside its parameter's range or is not exact
// as a float (an LV2 host's control port would then carry another value than the .aupreset).
bool apply(Grindvox& plug, const GrindvoxPreset& preset) {
    for (int i = 0; i < Grindvox::kNumParams; ++i) {
        IParam* param = plug.GetParam(i);
        if (static_cast<double>(static_cast<float>(preset.mValues[i])) != preset.mValues[i]) {
            std::fprintf(stderr, "preset \"%s\": %s %.17g is not exact as a float\n", preset.mName,
                         param->GetNameForHost(), preset.mValues[i]);
            return false;
        }
        param->Set(preset.mValues[i]);
        if (param->Value() != preset.mValues[i]) {
            std::fprintf(stderr, "preset \"%s\": %s %g is out of range\n", preset.mName,
                         param->GetNameForHost(), preset.mValues[i]);
            return false;
        }
        plug.OnParamChange(i);
    }
    return true;
}

std::string turtleFor(const GrindvoxPreset& preset) {
    std::string ttl = "<" + std::string(kGrindvoxPresetURIBase) + preset.mLabel + ">\n";
    ttl += "    a pset:Preset ;\n";
    ttl += std::string("    lv2:appliesTo ") + kPluginURIs + " ;\n";
    ttl += std::string("    rdfs:label \"") + preset.mName + "\" ;\n";
    ttl += "    lv2:port";
    for (int i = 0; i < Grindvox::kNumParams; ++i) {
        ttl += std::string(i ? " , [\n" : " [\n") + "        lv2:symbol \"" + kPortSymbols[i] +
               "\" ;\n        pset:value " + decimal(preset.mValues[i]) + "\n    ]";
    }
    return ttl + " .\n";
}

bool writeAUPreset(Grindvox& plug, const GrindvoxPreset& preset, const std::string& folder) {
    ByteChunk chunk;
    if (!plug.SerializeParams(&chunk)) return false;
    CFMutableDictionaryRef dict = CFDictionaryCreateMutable(
        nullptr, 0, &kCFTypeDictionaryKeyCallBacks, &kCFTypeDictionaryValueCallBacks);
    if (!dict) return false;
    PutSInt32InDict(dict, "version", plug.GetEffectVersion(false));
    PutSInt32InDict(dict, "type", static_cast<SInt32>(kAudioUnitType_Effect));
    PutSInt32InDict(dict, "subtype", plug.GetUniqueID());
    PutSInt32InDict(dict, "manufacturer", plug.GetMfrID());
    PutStrInDict(dict, "name", preset.mName);
    PutDataInDict(dict, "data", &chunk);
    CFDataRef xml =
        CFPropertyListCreateData(nullptr, dict, kCFPropertyListXMLFormat_v1_0, 0, nullptr);
    CFRelease(dict);
    if (!xml) return false;
    const std::string path = folder + "/" + preset.mName + ".aupreset";
    const bool written =
        writeFile(path, CFDataGetBytePtr(xml), static_cast<size_t>(CFDataGetLength(xml)));
    CFRelease(xml);
    if (!written) std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return written;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: grindvox_preset_files PRESETS_TTL AUPRESET_FOLDER\n");
        return 2;
    }
    Grindvox plug{IPlugInstanceInfo{}};
    std::string ttl = "# Written by the build from the designed presets.\n"
                      "@prefix lv2:  <http://lv2plug.in/ns/lv2core#> .\n"
                      "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
                      "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n";
    for (int i = 0; i < NumGrindvoxPresets(); ++i) {
        const GrindvoxPreset& preset = *GetGrindvoxPreset(i);
        if (!apply(plug, preset) || !writeAUPreset(plug, preset, argv[2])) return 1;
        ttl += "\n" + turtleFor(preset);
    }
    if (!writeFile(argv[1], ttl.data(), ttl.size())) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
