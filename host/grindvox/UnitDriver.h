#pragma once

#include "host/ComponentBundle.h"
#include "host/grindvox/ExitStatus.h"

#include <AudioUnit/AudioUnit.h>
#include <CoreFoundation/CoreFoundation.h>

#include <string>
#include <utility>
#include <vector>

// Properties of the Grindvox unit's own, in the range Audio Units keep for themselves: the
// current program as a program file ("fxp") and every preset as a bank file ("fxb"), each a
// CFDataRef in the global scope, readable and writable. A file the unit refuses is answered with
// kAudioUnitErr_InvalidPropertyValue and changes nothing.
enum : AudioUnitPropertyID {
    kGrindvoxProperty_ProgramFile = 64000,
    kGrindvoxProperty_BankFile = 64001,
};

// One instance of the Grindvox component, driven the way a host drives an Audio Unit: the
// bundle loaded and registered, the instance opened with OpenAComponent, and from then on
// nothing but AudioUnitGetProperty / SetProperty / GetParameter / SetParameter / Initialize /
// Reset / Render. Everything it knows about the unit it has read through properties. Owns the
// instance and closes it on destruction; the bundle stays loaded for the process.
class UnitDriver {
public:
    static constexpr int kMaxChannels = 8;

    struct Identity {
        std::string name;         // "Grindvox"
        std::string manufacturer; // "Tolva_Sonics"
        std::string bundlePath;
        ComponentDescription description = {};
        UInt32 version = 0; // the unit's packed version, 0x00MMmmbb
    };

    struct Parameter {
        AudioUnitParameterID id = 0;
        std::string name;
        AudioUnitParameterUnit unit = kAudioUnitParameterUnit_Generic;
        std::string unitName; // the label of a custom unit ("Hz"); empty otherwise
        float minValue = 0.0f;
        float maxValue = 0.0f;
        float defaultValue = 0.0f; // the value the unit reported when it was opened
        // The display texts and the values they stand for, in the unit's order.
        std::vector<std::pair<float, std::string>> texts;

        // Indexed and boolean parameters take whole numbers only.
        bool TakesWholeNumbers() const;
        // "indexed", "boolean", "Hz", a custom unit's label, else "generic".
        std::string UnitLabel() const;
    };

    struct Preset {
        SInt32 number = 0;
        std::string name;
    };

    // A designed preset the bundle ships as an .aupreset file in Contents/Resources/Presets,
    // named after its file.
    struct DesignedPreset {
        std::string name;
        std::string path;
    };

    UnitDriver() = default;
    ~UnitDriver();
    UnitDriver(const UnitDriver&) = delete;
    UnitDriver& operator=(const UnitDriver&) = delete;

    // Loads the bundle at `bundlePath` (DefaultComponentPath() when empty), opens an instance
    // and reads its parameter list. A failure names the bundle and the reason.
    Failure Open(const std::string& bundlePath = "");

    const Identity& GetIdentity() const { return mIdentity; }
    // The open instance, for what a host does beside the properties (its editor's view).
    AudioUnit Unit() const { return mUnit; }
    const std::vector<Parameter>& Parameters() const { return mParameters; }
    // By name, exactly or else ignoring case; null when no parameter has that name.
    const Parameter* FindParameter(const std::string& name) const;
    // "Filter, Cutoff, ..." for messages.
    std::string ParameterNames() const;

    // Turns what the user typed into a value of `parameter`: one of its display texts
    // (exactly, through ParameterValueFromString, or else ignoring case) or a number in its
    // unit. A text that matches nothing, or a number outside the range or not whole where
    // whole numbers are needed, is a usage error that says what is allowed; nothing is clamped.
    Failure ResolveValue(const Parameter& parameter, const std::string& text, float* value) const;
    Failure SetParameter(const Parameter& parameter, float value);
    float GetParameter(const Parameter& parameter) const;
    // The value as a user reads it: its display text, or the number with its unit.
    std::string DescribeValue(const Parameter& parameter, float value) const;
    // "Filter=LPF Cutoff=11000 Hz ..." with the current values.
    std::string DescribeSettings() const;

    std::vector<Preset> FactoryPresets() const;
    // The number of the preset the unit reports as current (after a bank, one of its programs);
    // -1 when it reports none.
    SInt32 CurrentPreset() const;
    // Sorted by name; none when the bundle has no such folder.
    std::vector<DesignedPreset> DesignedPresets() const;
    // A factory preset by number or by name, else a designed preset by name (each exactly, or
    // else ignoring case), whose file is loaded as a state; an unknown one is a usage error
    // listing both kinds.
    Failure SelectPreset(const std::string& numberOrName);

    std::vector<AUChannelInfo> ChannelConfigurations() const;
    // Whether some configuration takes `channels` in and gives as many out.
    bool SupportsChannels(int channels) const;
    // "1 in, 1 out or 2 in, 2 out".
    std::string ChannelConfigurationText() const;
    double LatencySeconds() const;
    double TailSeconds() const;

    // The ClassInfo dictionary (the caller owns it), or null with the reason.
    CFPropertyListRef CopyState(std::string* error) const;
    // Hands a dictionary to ClassInfo; the unit's status comes back.
    OSStatus RestoreState(CFPropertyListRef state);
    Failure SetBypass(bool bypass);
    // The current program (or, with `bank`, every preset) as file bytes; false with the reason.
    bool CopyPresetFile(bool bank, std::string* bytes, std::string* error) const;
    // Hands file bytes to the unit; its status comes back.
    OSStatus RestorePresetFile(bool bank, const std::string& bytes);

    // Prepares a render: stream formats of `channels` non-interleaved float channels at
    // `sampleRate` on input and output, the sample rate, the largest block, the input callback,
    // then AudioUnitInitialize and AudioUnitReset.
    Failure Configure(double sampleRate, int channels, int maxFrames);
    // One block: `input` and `output` hold `channels` planar buffers of `frames` samples. The
    // unit pulls `input` through its render callback; time stamps advance block by block.
    Failure Render(const float* const* input, float* const* output, UInt32 frames);

private:
    static OSStatus inputCallback(void* refCon, AudioUnitRenderActionFlags* flags,
                                  const AudioTimeStamp* timeStamp, UInt32 bus, UInt32 frames,
                                  AudioBufferList* data);
    Failure readIdentity(const ComponentBundle::Entry& entry);
    Failure readParameters();
    Failure loadDesignedPreset(const DesignedPreset& preset);
    Failure setProperty(AudioUnitPropertyID id, AudioUnitScope scope, const void* data, UInt32 size,
                        const char* what);

    ComponentBundle mBundle;
    AudioUnit mUnit = nullptr;
    Identity mIdentity;
    std::vector<Parameter> mParameters;
    int mChannels = 0;
    Float64 mSampleTime = 0.0;
    const float* const* mPendingInput = nullptr;
};
