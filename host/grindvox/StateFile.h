#pragma once

#include "host/grindvox/ExitStatus.h"

#include <CoreFoundation/CoreFoundation.h>
#include <CoreServices/CoreServices.h>

#include <cstddef>
#include <string>

// .aupreset files: a unit's ClassInfo dictionary (version, type, subtype, manufacturer, name,
// data) as an XML property list, the form macOS hosts read and write. Both directions go
// through the platform's property-list support.

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
