#pragma once

#include "host/grindvox/ExitStatus.h"

#include <string>
#include <vector>

class UnitDriver;

// How the command line wants the unit set up before it renders or is listed: a starting point
// (a factory preset or a saved state file, or a bank file and then one of its programs), then
// single parameters on top of it, then the bypass switch. Plain data; the driver does the work
// through the unit's properties.
struct UnitSettings {
    struct Assignment {
        std::string name;  // as typed: a parameter name, matched without regard to case
        std::string value; // a number in the parameter's unit or one of its display texts
    };

    std::vector<Assignment> assignments;
    std::string preset; // a factory preset (or loaded bank's program) number or name; empty: none
    std::string stateFile; // an .aupreset, .fxp or .fxb file to load; empty: none
    std::string saveState; // a state file to write once the unit is set up, of the same kinds
    bool bypass = false;
};

// Applies the settings to an opened unit: every assignment is checked first, then the state
// file and the preset are applied, the assignments on top, then bypass. Stops at the first refusal:
// an unknown name, text or preset, or a value out of range, is a usage error; a state file
// that cannot be read or is refused is a failure. A state whose stored values the unit had to
// clamp loads, with a warning naming those parameters.
Failure ApplyUnitSettings(UnitDriver& unit, const UnitSettings& settings);

// Writes the unit's state to settings.saveState when one is named, in the kind its suffix names:
// the ClassInfo dictionary, the current program or every preset. With `noClobber` an existing
// file is refused.
Failure SaveUnitState(UnitDriver& unit, const UnitSettings& settings, bool noClobber);
