#include "host/grindvox/Commands.h"
#include "host/grindvox/Text.h"
#include "host/grindvox/UnitDriver.h"

#include <cstdio>
#include <string>

namespace {

const char* unitName(const UnitDriver::Parameter& p) {
    switch (p.unit) {
    case kAudioUnitParameterUnit_Indexed: return "indexed";
    case kAudioUnitParameterUnit_Boolean: return "boolean";
    case kAudioUnitParameterUnit_Hertz: return "Hz";
    case kAudioUnitParameterUnit_CustomUnit: return p.unitName.c_str();
    default: return "generic";
    }
}

void printParameters(const UnitDriver& unit) {
    std::printf("parameters (%zu)\n", unit.Parameters().size());
    for (const UnitDriver::Parameter& p : unit.Parameters()) {
        std::printf("  %2u  %-10s  %-8s  range %g to %g, default %s, now %s\n", p.id,
                    p.name.c_str(), unitName(p), p.minValue, p.maxValue,
                    unit.DescribeValue(p, p.defaultValue).c_str(),
                    unit.DescribeValue(p, unit.GetParameter(p)).c_str());
        if (p.texts.empty()) continue;
        std::string texts;
        for (const auto& [value, text] : p.texts) {
            char entry[96];
            std::snprintf(entry, sizeof entry, "%s%g \"%s\"", texts.empty() ? "" : ", ", value,
                          text.c_str());
            texts += entry;
        }
        std::printf("      texts: %s\n", texts.c_str());
    }
}

void printPresets(const UnitDriver& unit) {
    const std::vector<UnitDriver::Preset> presets = unit.FactoryPresets();
    std::printf("factory presets (%zu)\n", presets.size());
    for (const UnitDriver::Preset& preset : presets)
        std::printf("  %2d  \"%s\"\n", static_cast<int>(preset.number), preset.name.c_str());
}

} // namespace

Failure RunInfo(const Invocation& invocation) {
    UnitDriver unit;
    Failure failure = unit.Open();
    if (failure.Failed() || (failure = ApplyUnitSettings(unit, invocation.unit)).Failed())
        return failure;

    const UnitDriver::Identity& id = unit.GetIdentity();
    std::printf("%s by %s\n", id.name.c_str(), id.manufacturer.c_str());
    std::printf("  component  type '%s', subtype '%s', manufacturer '%s'\n",
                FourCharCodeText(id.description.componentType).c_str(),
                FourCharCodeText(id.description.componentSubType).c_str(),
                FourCharCodeText(id.description.componentManufacturer).c_str());
    std::printf("  version    %u.%u.%u (0x%08X)\n", (id.version >> 16) & 0xffff,
                (id.version >> 8) & 0xff, id.version & 0xff, id.version);
    std::printf("  bundle     %s\n", id.bundlePath.c_str());
    std::printf("  channels   %s\n", unit.ChannelConfigurationText().c_str());
    std::printf("  latency    %g s, tail %g s\n", unit.LatencySeconds(), unit.TailSeconds());
    printParameters(unit);
    printPresets(unit);
    return SaveUnitState(unit, invocation.unit);
}
