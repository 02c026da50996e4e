#pragma once

// Audio Units: components, properties, music devices and Carbon views.
#include <AudioUnit/AUComponent.h>
#include <AudioUnit/AudioUnitCarbonView.h>
#include <AudioUnit/AudioUnitProperties.h>
#include <AudioUnit/MusicDevice.h>
