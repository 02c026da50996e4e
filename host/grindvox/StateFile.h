#pragma once

#include "host/grindvox/ExitStatus.h"

#include <CoreFoundation/CoreFoundation.h>
#include <CoreServices/CoreServices.h>

#include <string>

// .aupreset files: a unit's ClassInfo dictionary (version, type, subtype, manufacturer, name,
// data) as an XML property list, the form macOS hosts read and write. Both directions go
// through the platform's property-list support.

// Writes `state` as XML to `path` through a temporary file renamed on success.
Failure SaveStateFile(const std::string& path, CFPropertyListRef state);

// Reads `path` and checks that it is a state of the component `expected` describes: a
// dictionary holding every key with a value of the right type and the component's own type,
// subtype and manufacturer. On success *state holds a dictionary the caller releases.
Failure LoadStateFile(const std::string& path, const ComponentDescription& expected,
                      CFPropertyListRef* state);
