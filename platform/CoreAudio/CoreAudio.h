#pragma once

// CoreAudio's shared types (the hardware layer is not part of this platform).
#include <CoreAudio/CoreAudioTypes.h>
