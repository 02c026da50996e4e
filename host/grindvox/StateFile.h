#pragma once

#include "host/grindvox/ExitStatus.h"

#include <CoreFoundation/CoreFoundation.h>
#include <CoreServices/CoreServices.h>

#include <cstddef>
#include <string>

// State files. .aupreset files hold a unit's ClassInfo dictionary (version, type, subtype,
// manufacturer, name, data) as an XML property list, the form macOS hosts read and write; both
// directions go through the platform's property-list support. .fxp and .fxb files hold a program
// or a bank of presets in the VST 2 layouts, bytes the unit itself reads and writes through
// properties of its own; here they are only carried.

// What a state file holds, told by its name's suffix in any case.
enum class StateFileKind {
    PropertyList, // ".aupreset", or any name but the two below
    Program,      // ".fxp"
    Bank,         // ".fxb"
};
StateFileKind StateFileKindOf(const std::string& path);

// The largest state file read; a unit's state is a few hundred bytes.
constexpr size_t kMaxStateFileBytes = 1024 * 1024;

// Writes `state` as XML to `path` as an output (OutputTarget.h) made final on success; with
// `noClobber` an existing file is refused.
Failure SaveStateFile(const std::string& path, CFPropertyListRef state, bool noClobber);

// Reads `path` (a file of at most kMaxStateFileBytes) and checks that it is a state of the
// component `expected` describes: a dictionary holding every key with a value of the right type and
// the component's own type, subtype and manufacturer. On success *state holds a dictionary the
// caller releases.
Failure LoadStateFile(const std::string& path, const ComponentDescription& expected,
                      CFPropertyListRef* state);

// Reads a program or bank file whole (at most kMaxStateFileBytes) into `bytes`.
Failure ReadPresetFile(const std::string& path, std::string* bytes);
// Writes a program or bank file's bytes to `path` as SaveStateFile writes.
Failure SavePresetFile(const std::string& path, const std::string& bytes, bool noClobber);
