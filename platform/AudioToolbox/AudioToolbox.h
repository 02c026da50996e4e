#pragma once

// AudioToolbox: Audio Units together with the event listeners hosts use with them.
#include <AudioToolbox/AudioUnitUtilities.h>
#include <AudioUnit/AudioUnit.h>
#include <CoreAudio/CoreAudioTypes.h>
