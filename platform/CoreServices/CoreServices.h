#pragma once

// Core services: base types and errors, handles, the Component Manager and Gestalt.
#include <CoreServices/Components.h>
#include <CoreServices/Gestalt.h>
#include <CoreServices/MacErrors.h>
#include <CoreServices/MacMemory.h>
#include <MacTypes.h>
