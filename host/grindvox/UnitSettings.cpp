#include "host/grindvox/UnitSettings.h"

#include "host/CFObject.h"
#include "host/grindvox/StateFile.h"
#include "host/grindvox/Text.h"
#include "host/grindvox/UnitDriver.h"

#include <cmath>
#include <cstring>

namespace {

// The values a state's data holds: one 64-bit float per parameter, in the order the unit lists
// its parameters. Empty when the data has another shape, so nothing can be said about it.
std::vector<double> storedValues(CFPropertyListRef state, size_t parameters) {
    if (!state || CFGetTypeID(state) != CFDictionaryGetTypeID()) return {};
    CFObject key(CreateCFString(kAUPresetDataKey));
    auto data = static_cast<CFDataRef>(
        CFDictionaryGetValue(static_cast<CFDictionaryRef>(state), key.Get()));
    if (!data || CFGetTypeID(data) != CFDataGetTypeID()) return {};
    if (static_cast<size_t>(CFDataGetLength(data)) != parameters * sizeof(double)) return {};
    std::vector<double> values(parameters);
    std::memcpy(values.data(), CFDataGetBytePtr(data), parameters * sizeof(double));
    return values;
}

// Names the parameters whose stored value the unit did not take as it was (out of range, or
// not a number), comparing the loaded data with the unit's own state after the load.
void reportClampedValues(const UnitDriver& unit, const std::string& path,
                         CFPropertyListRef loaded) {
    const std::vector<UnitDriver::Parameter>& parameters = unit.Parameters();
    const std::vector<double> stored = storedValues(loaded, parameters.size());
    std::string error;
    CFObject after(unit.CopyState(&error));
    const std::vector<double> taken = storedValues(after.Get(), parameters.size());
    if (stored.empty() || taken.empty()) return;
    std::string changed;
    for (size_t i = 0; i < parameters.size(); ++i) {
        if (std::memcmp(&stored[i], &taken[i], sizeof(double)) == 0) continue;
        const UnitDriver::Parameter& p = parameters[i];
        const std::string now = unit.DescribeValue(p, unit.GetParameter(p));
        changed += (changed.empty() ? "" : ", ") + p.name +
                   (std::isnan(stored[i]) ? " not a number, left at " + now
                                          : " " + FormatNumber(stored[i]) + " clamped to " + now);
    }
    if (!changed.empty())
        Warn("\"" + path + "\" held values out of the parameters' ranges: " + changed);
}

// A program or bank file goes to the unit as it is: the unit alone knows its layout.
Failure loadPresetFile(UnitDriver& unit, const std::string& path, bool bank) {
    std::string bytes;
    Failure failure = ReadPresetFile(path, &bytes);
    if (failure.Failed()) return failure;
    const OSStatus result = unit.RestorePresetFile(bank, bytes);
    if (result != noErr)
        return RunError("the unit refused the " + std::string(bank ? "bank" : "program") +
                        " in \"" + path + "\" (status " + std::to_string(result) +
                        ": it is not a whole " + (bank ? ".fxb bank" : ".fxp program") +
                        " of this unit)");
    return {};
}

Failure loadState(UnitDriver& unit, const std::string& path) {
    const StateFileKind kind = StateFileKindOf(path);
    if (kind != StateFileKind::PropertyList)
        return loadPresetFile(unit, path, kind == StateFileKind::Bank);
    CFPropertyListRef state = nullptr;
    Failure failure = LoadStateFile(path, unit.GetIdentity().description, &state);
    if (failure.Failed()) return failure;
    CFObject owned(state);
    const OSStatus result = unit.RestoreState(state);
    if (result != noErr)
        return RunError("the unit refused the state in \"" + path + "\" (status " +
                        std::to_string(result) + ": its data does not fit this unit)");
    reportClampedValues(unit, path, state);
    return {};
}

} // namespace

Failure ApplyUnitSettings(UnitDriver& unit, const UnitSettings& settings) {
    Failure failure;
    // Every assignment is judged before anything reaches the unit, so a refused one changes
    // nothing.
    struct Resolved {
        const UnitDriver::Parameter* parameter;
        float value;
    };
    std::vector<Resolved> resolved;
    for (const UnitSettings::Assignment& assignment : settings.assignments) {
        const UnitDriver::Parameter* parameter = unit.FindParameter(assignment.name);
        if (!parameter)
            return UsageError("unknown parameter \"" + assignment.name + "\"; the parameters are " +
                              unit.ParameterNames());
        float value = 0.0f;
        if ((failure = unit.ResolveValue(*parameter, assignment.value, &value)).Failed())
            return failure;
        resolved.push_back({parameter, value});
    }
    if (!settings.stateFile.empty() && (failure = loadState(unit, settings.stateFile)).Failed())
        return failure;
    if (!settings.preset.empty() && (failure = unit.SelectPreset(settings.preset)).Failed())
        return failure;

    for (const Resolved& r : resolved) {
        if ((failure = unit.SetParameter(*r.parameter, r.value)).Failed()) return failure;
    }
    if (settings.bypass) return unit.SetBypass(true);
    return {};
}

Failure SaveUnitState(UnitDriver& unit, const UnitSettings& settings, bool noClobber) {
    if (settings.saveState.empty()) return {};
    std::string error;
    const StateFileKind kind = StateFileKindOf(settings.saveState);
    if (kind != StateFileKind::PropertyList) {
        std::string bytes;
        if (!unit.CopyPresetFile(kind == StateFileKind::Bank, &bytes, &error))
            return RunError("cannot save the state to \"" + settings.saveState + "\": " + error);
        return SavePresetFile(settings.saveState, bytes, noClobber);
    }
    CFObject state(unit.CopyState(&error));
    if (!state.Get())
        return RunError("cannot save the state to \"" + settings.saveState + "\": " + error);
    return SaveStateFile(settings.saveState, state.Get(), noClobber);
}
