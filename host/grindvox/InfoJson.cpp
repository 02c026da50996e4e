#include "host/grindvox/InfoListing.h"
#include "host/grindvox/JsonWriter.h"
#include "host/grindvox/Text.h"
#include "host/grindvox/UnitDriver.h"

#include <cstdio>

namespace {

void writeIdentity(const UnitDriver& unit, JsonWriter& json) {
    const UnitDriver::Identity& id = unit.GetIdentity();
    char version[32];
    std::snprintf(version, sizeof version, "%u.%u.%u", (id.version >> 16) & 0xffff,
                  (id.version >> 8) & 0xff, id.version & 0xff);
    json.Key("name").String(id.name);
    json.Key("manufacturer").String(id.manufacturer);
    json.Key("component").BeginObject();
    json.Key("type").String(FourCharCodeText(id.description.componentType));
    json.Key("subtype").String(FourCharCodeText(id.description.componentSubType));
    json.Key("manufacturer").String(FourCharCodeText(id.description.componentManufacturer));
    json.EndObject();
    json.Key("version").String(version);
    json.Key("versionNumber").Number(id.version);
    json.Key("bundle").String(id.bundlePath);
}

void writeChannels(const UnitDriver& unit, JsonWriter& json) {
    // -1 stands for "any number", as the unit reports it.
    json.Key("channels").BeginArray();
    for (const AUChannelInfo& c : unit.ChannelConfigurations()) {
        json.BeginObject();
        json.Key("in").Number(c.inChannels);
        json.Key("out").Number(c.outChannels);
        json.EndObject();
    }
    json.EndArray();
}

void writeParameter(const UnitDriver& unit, const UnitDriver::Parameter& p, JsonWriter& json) {
    json.BeginObject();
    json.Key("id").Number(p.id);
    json.Key("name").String(p.name);
    json.Key("unit").String(p.UnitLabel());
    json.Key("min").Float(p.minValue);
    json.Key("max").Float(p.maxValue);
    json.Key("default").Float(p.defaultValue);
    json.Key("value").Float(unit.GetParameter(p));
    json.Key("wholeNumbers").Bool(p.TakesWholeNumbers());
    json.Key("texts").BeginArray();
    for (const auto& [value, text] : p.texts) {
        json.BeginObject();
        json.Key("value").Float(value);
        json.Key("text").String(text);
        json.EndObject();
    }
    json.EndArray();
    json.EndObject();
}

} // namespace

std::string InfoJson(const UnitDriver& unit) {
    JsonWriter json;
    json.BeginObject();
    writeIdentity(unit, json);
    writeChannels(unit, json);
    json.Key("latencySeconds").Number(unit.LatencySeconds());
    json.Key("tailSeconds").Number(unit.TailSeconds());
    json.Key("parameters").BeginArray();
    for (const UnitDriver::Parameter& p : unit.Parameters())
        writeParameter(unit, p, json);
    json.EndArray();
    json.Key("presets").BeginArray();
    const SInt32 current = unit.CurrentPreset();
    for (const UnitDriver::Preset& preset : unit.FactoryPresets()) {
        json.BeginObject();
        json.Key("number").Number(preset.number);
        json.Key("name").String(preset.name);
        json.Key("current").Bool(preset.number == current);
        json.EndObject();
    }
    json.EndArray();
    json.Key("designedPresets").BeginArray();
    for (const UnitDriver::DesignedPreset& preset : unit.DesignedPresets())
        json.String(preset.name);
    json.EndArray();
    json.EndObject();
    return json.Text();
}
