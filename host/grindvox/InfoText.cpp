#include "host/grindvox/InfoListing.h"
#include "host/grindvox/Text.h"
#include "host/grindvox/UnitDriver.h"

#include <cstdarg>
#include <cstdio>

namespace {

// printf into a string.
void append(std::string* text, const char* format, ...) __attribute__((format(printf, 2, 3)));
void append(std::string* text, const char* format, ...) {
    char line[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    *text += line;
}

void appendParameters(const UnitDriver& unit, std::string* text) {
    append(text, "parameters (%zu)\n", unit.Parameters().size());
    for (const UnitDriver::Parameter& p : unit.Parameters()) {
        append(text, "  %2u  %-10s  %-8s  range %g to %g, default %s, now %s\n", p.id,
               p.name.c_str(), p.UnitLabel().c_str(), p.minValue, p.maxValue,
               unit.DescribeValue(p, p.defaultValue).c_str(),
               unit.DescribeValue(p, unit.GetParameter(p)).c_str());
        if (p.texts.empty()) continue;
        std::string texts;
        for (const auto& [value, display] : p.texts)
            append(&texts, "%s%g \"%s\"", texts.empty() ? "" : ", ", value, display.c_str());
        *text += "      texts: " + texts + "\n";
    }
}

void appendPresets(const UnitDriver& unit, std::string* text) {
    const std::vector<UnitDriver::Preset> presets = unit.FactoryPresets();
    const SInt32 current = unit.CurrentPreset();
    append(text, "factory presets (%zu)\n", presets.size());
    for (const UnitDriver::Preset& preset : presets)
        append(text, "  %2d  \"%s\"%s\n", static_cast<int>(preset.number), preset.name.c_str(),
               preset.number == current ? "  (current)" : "");
    const std::vector<UnitDriver::DesignedPreset> designed = unit.DesignedPresets();
    append(text, "designed presets (%zu), by name\n", designed.size());
    for (const UnitDriver::DesignedPreset& preset : designed)
        append(text, "      \"%s\"\n", preset.name.c_str());
}

} // namespace

std::string InfoText(const UnitDriver& unit) {
    const UnitDriver::Identity& id = unit.GetIdentity();
    std::string text;
    append(&text, "%s by %s\n", id.name.c_str(), id.manufacturer.c_str());
    append(&text, "  component  type '%s', subtype '%s', manufacturer '%s'\n",
           FourCharCodeText(id.description.componentType).c_str(),
           FourCharCodeText(id.description.componentSubType).c_str(),
           FourCharCodeText(id.description.componentManufacturer).c_str());
    append(&text, "  version    %u.%u.%u (0x%08X)\n", (id.version >> 16) & 0xffff,
           (id.version >> 8) & 0xff, id.version & 0xff, id.version);
    text += "  bundle     " + id.bundlePath + "\n";
    text += "  channels   " + unit.ChannelConfigurationText() + "\n";
    append(&text, "  latency    %g s, tail %g s\n", unit.LatencySeconds(), unit.TailSeconds());
    appendParameters(unit, &text);
    appendPresets(unit, &text);
    return text;
}
