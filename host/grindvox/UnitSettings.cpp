#include "host/grindvox/UnitSettings.h"

#include "host/CFObject.h"
#include "host/grindvox/StateFile.h"
#include "host/grindvox/UnitDriver.h"

namespace {

Failure loadState(UnitDriver& unit, const std::string& path) {
    CFPropertyListRef state = nullptr;
    Failure failure = LoadStateFile(path, unit.GetIdentity().description, &state);
    if (failure.Failed()) return failure;
    CFObject owned(state);
    const OSStatus result = unit.RestoreState(state);
    if (result != noErr)
        return RunError("the unit refused the state in \"" + path + "\" (status " +
                        std::to_string(result) + ": its data does not fit this unit)");
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

Failure SaveUnitState(UnitDriver& unit, const UnitSettings& settings) {
    if (settings.saveState.empty()) return {};
    std::string error;
    CFObject state(unit.CopyState(&error));
    if (!state.Get())
        return RunError("cannot save the state to \"" + settings.saveState + "\": " + error);
    return SaveStateFile(settings.saveState, state.Get());
}
