#include "host/grindvox/UnitDriver.h"

#include "host/CFObject.h"
#include "host/grindvox/StateFile.h"
#include "host/grindvox/Text.h"

#include <dirent.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace {

// A buffer list with room for every channel the driver renders; its head has the layout of
// AudioBufferList, which the unit reads through a pointer to that type.
struct ChannelBufferList {
    UInt32 mNumberBuffers;
    AudioBuffer mBuffers[UnitDriver::kMaxChannels];

    AudioBufferList* List() { return reinterpret_cast<AudioBufferList*>(this); }
};
static_assert(offsetof(ChannelBufferList, mBuffers) == offsetof(AudioBufferList, mBuffers),
              "the buffer list must keep AudioBufferList's layout");

std::string status(OSStatus result) {
    return "status " + std::to_string(result);
}

template <typename T>
OSStatus getGlobal(AudioUnit unit, AudioUnitPropertyID id, AudioUnitElement element, T* out) {
    UInt32 size = sizeof(T);
    return AudioUnitGetProperty(unit, id, kAudioUnitScope_Global, element, out, &size);
}

} // namespace

bool UnitDriver::Parameter::TakesWholeNumbers() const {
    return unit == kAudioUnitParameterUnit_Indexed || unit == kAudioUnitParameterUnit_Boolean;
}

std::string UnitDriver::Parameter::UnitLabel() const {
    switch (unit) {
    case kAudioUnitParameterUnit_Indexed: return "indexed";
    case kAudioUnitParameterUnit_Boolean: return "boolean";
    case kAudioUnitParameterUnit_Hertz: return "Hz";
    case kAudioUnitParameterUnit_CustomUnit: return unitName;
    default: return "generic";
    }
}

UnitDriver::~UnitDriver() {
    if (!mUnit) return;
    AudioUnitUninitialize(mUnit);
    CloseComponent(mUnit);
}

Failure UnitDriver::Open(const std::string& bundlePath) {
    const std::string path = bundlePath.empty() ? DefaultComponentPath() : bundlePath;
    std::string error;
    if (!mBundle.Load(path, &error))
        return RunError("cannot load the Grindvox component from \"" + path + "\": " + error +
                        " (set GRINDVOX_COMPONENT to the Grindvox.component folder)");
    const ComponentBundle::Entry* entry = nullptr;
    for (const ComponentBundle::Entry& candidate : mBundle.Components()) {
        if (candidate.description.componentType == kAudioUnitType_Effect) entry = &candidate;
    }
    if (!entry) return RunError("\"" + path + "\" holds no audio effect component");
    const OSErr opened = OpenAComponent(entry->component, &mUnit);
    if (opened != noErr || !mUnit) {
        mUnit = nullptr;
        return RunError("the component in \"" + path + "\" refused to open (" + status(opened) +
                        ")");
    }
    mIdentity.bundlePath = path;
    Failure failure = readIdentity(*entry);
    if (failure.Failed()) return failure;

    // Tell the unit who hosts it, as hosts do; a unit that does not care may refuse.
    AUHostIdentifier host = {CFSTR("grindvox"), {0, 0, 0x10, 1}};
    AudioUnitSetProperty(mUnit, kAudioUnitProperty_AUHostIdentifier, kAudioUnitScope_Global, 0,
                         &host, sizeof host);
    return readParameters();
}

Failure UnitDriver::readIdentity(const ComponentBundle::Entry& entry) {
    const OSErr info = GetComponentInfo(reinterpret_cast<Component>(mUnit), &mIdentity.description,
                                        nullptr, nullptr, nullptr);
    if (info != noErr)
        return RunError("cannot read the unit's component description (" + status(info) + ")");
    mIdentity.version = static_cast<UInt32>(CallComponentVersion(mUnit));
    // Component names read "Manufacturer: Name".
    const size_t colon = entry.name.find(": ");
    mIdentity.manufacturer = colon == std::string::npos ? "" : entry.name.substr(0, colon);
    mIdentity.name = colon == std::string::npos ? entry.name : entry.name.substr(colon + 2);
    return {};
}

Failure UnitDriver::readParameters() {
    UInt32 size = 0;
    Boolean writable = false;
    OSStatus result = AudioUnitGetPropertyInfo(mUnit, kAudioUnitProperty_ParameterList,
                                               kAudioUnitScope_Global, 0, &size, &writable);
    if (result != noErr) return RunError("the unit lists no parameters (" + status(result) + ")");
    std::vector<AudioUnitParameterID> ids(size / sizeof(AudioUnitParameterID));
    if (!ids.empty()) {
        result = AudioUnitGetProperty(mUnit, kAudioUnitProperty_ParameterList,
                                      kAudioUnitScope_Global, 0, ids.data(), &size);
        if (result != noErr)
            return RunError("the unit lists no parameters (" + status(result) + ")");
    }
    mParameters.clear();
    for (AudioUnitParameterID id : ids) {
        AudioUnitParameterInfo info = {};
        result = getGlobal(mUnit, kAudioUnitProperty_ParameterInfo, id, &info);
        if (result != noErr)
            return RunError("the unit describes no parameter " + std::to_string(id) + " (" +
                            status(result) + ")");
        Parameter p;
        p.id = id;
        p.name = info.cfNameString ? Utf8(info.cfNameString) : std::string(info.name);
        p.unit = info.unit;
        p.unitName = Utf8(info.unitName);
        p.minValue = info.minValue;
        p.maxValue = info.maxValue;
        p.defaultValue = info.defaultValue;
        if (info.flags & kAudioUnitParameterFlag_CFNameRelease) {
            if (info.cfNameString) CFRelease(info.cfNameString);
            if (info.unitName) CFRelease(info.unitName);
        }

        // The texts come from ParameterValueStrings, the value each stands for from
        // ParameterValueFromString, so the listing is the unit's own mapping.
        CFArrayRef strings = nullptr;
        if (getGlobal(mUnit, kAudioUnitProperty_ParameterValueStrings, id, &strings) == noErr) {
            CFObject owned(strings);
            for (CFIndex i = 0; owned.Is(CFArrayGetTypeID()) && i < CFArrayGetCount(strings); ++i) {
                auto text = static_cast<CFStringRef>(CFArrayGetValueAtIndex(strings, i));
                AudioUnitParameterValueFromString lookup = {
                    id, text, std::numeric_limits<float>::quiet_NaN()};
                if (getGlobal(mUnit, kAudioUnitProperty_ParameterValueFromString, 0, &lookup) !=
                        noErr ||
                    std::isnan(lookup.outValue))
                    continue;
                p.texts.emplace_back(lookup.outValue, Utf8(text));
            }
        }
        mParameters.push_back(p);
    }
    return {};
}

const UnitDriver::Parameter* UnitDriver::FindParameter(const std::string& name) const {
    for (const Parameter& p : mParameters) {
        if (p.name == name) return &p;
    }
    for (const Parameter& p : mParameters) {
        if (EqualIgnoringCase(p.name, name)) return &p;
    }
    return nullptr;
}

std::string UnitDriver::ParameterNames() const {
    std::string names;
    for (const Parameter& p : mParameters)
        names += (names.empty() ? "" : ", ") + p.name;
    return names;
}

Failure UnitDriver::ResolveValue(const Parameter& p, const std::string& text, float* value) const {
    if (!p.texts.empty()) {
        CFObject string(CreateCFString(text));
        AudioUnitParameterValueFromString lookup = {p.id, string.As<CFStringRef>(),
                                                    std::numeric_limits<float>::quiet_NaN()};
        if (string.Get() &&
            getGlobal(mUnit, kAudioUnitProperty_ParameterValueFromString, 0, &lookup) == noErr &&
            !std::isnan(lookup.outValue)) {
            *value = lookup.outValue;
            return {};
        }
        for (const auto& [textValue, display] : p.texts) {
            if (!EqualIgnoringCase(display, text)) continue;
            *value = textValue;
            return {};
        }
    }

    const std::string unit = p.unitName.empty() ? "" : " " + p.unitName;
    const std::string range = FormatNumber(p.minValue) + " to " + FormatNumber(p.maxValue) + unit;
    double number = 0.0;
    if (!ReadNumber(text, &number)) {
        if (p.texts.empty())
            return UsageError("\"" + text + "\" is not a value of " + p.name + ": it takes a " +
                              "number from " + range);
        std::string texts;
        for (const auto& [textValue, display] : p.texts)
            texts += (texts.empty() ? "" : ", ") + display + " (" + FormatNumber(textValue) + ")";
        return UsageError("\"" + text + "\" is not a setting of " + p.name + "; its settings are " +
                          texts);
    }
    const float asFloat = static_cast<float>(number);
    if (asFloat < p.minValue || asFloat > p.maxValue)
        return UsageError(p.name + "=" + text + " is out of range: " + p.name + " takes " + range);
    if (p.TakesWholeNumbers() && number != std::floor(number))
        return UsageError(p.name + "=" + text + " is not a whole number: " + p.name +
                          " takes whole numbers from " + range);
    *value = asFloat;
    return {};
}

Failure UnitDriver::SetParameter(const Parameter& p, float value) {
    const OSStatus result = AudioUnitSetParameter(mUnit, p.id, kAudioUnitScope_Global, 0, value, 0);
    if (result != noErr)
        return RunError("the unit refused " + p.name + "=" + FormatNumber(value) + " (" +
                        status(result) + ")");
    return {};
}

float UnitDriver::GetParameter(const Parameter& p) const {
    AudioUnitParameterValue value = 0.0f;
    AudioUnitGetParameter(mUnit, p.id, kAudioUnitScope_Global, 0, &value);
    return value;
}

std::string UnitDriver::DescribeValue(const Parameter& p, float value) const {
    for (const auto& [textValue, display] : p.texts) {
        if (textValue == std::trunc(value)) return display;
    }
    return FormatNumber(value) + (p.unitName.empty() ? "" : " " + p.unitName);
}

std::string UnitDriver::DescribeSettings() const {
    std::string text;
    for (const Parameter& p : mParameters)
        text += (text.empty() ? "" : ", ") + p.name + " " + DescribeValue(p, GetParameter(p));
    return text;
}

std::vector<UnitDriver::Preset> UnitDriver::FactoryPresets() const {
    std::vector<Preset> presets;
    CFArrayRef array = nullptr;
    if (getGlobal(mUnit, kAudioUnitProperty_FactoryPresets, 0, &array) != noErr) return presets;
    CFObject owned(array);
    if (!owned.Is(CFArrayGetTypeID())) return presets;
    for (CFIndex i = 0; i < CFArrayGetCount(array); ++i) {
        auto preset = static_cast<const AUPreset*>(CFArrayGetValueAtIndex(array, i));
        if (preset) presets.push_back({preset->presetNumber, Utf8(preset->presetName)});
    }
    return presets;
}

SInt32 UnitDriver::CurrentPreset() const {
    AUPreset preset = {-1, nullptr};
    if (getGlobal(mUnit, kAudioUnitProperty_PresentPreset, 0, &preset) != noErr) return -1;
    if (preset.presetName) CFRelease(preset.presetName);
    return preset.presetNumber;
}

namespace {

constexpr const char* kPresetSuffix = ".aupreset";

// The first preset named `name` exactly, else ignoring case; null when none is.
template <class PresetList>
const typename PresetList::value_type* findByName(const PresetList& presets,
                                                  const std::string& name) {
    for (const auto& preset : presets) {
        if (preset.name == name) return &preset;
    }
    for (const auto& preset : presets) {
        if (EqualIgnoringCase(preset.name, name)) return &preset;
    }
    return nullptr;
}

std::string factoryList(const std::vector<UnitDriver::Preset>& presets) {
    std::string list;
    bool sameNames = presets.size() > 1;
    for (const UnitDriver::Preset& preset : presets) {
        sameNames = sameNames && preset.name == presets[0].name;
        list +=
            (list.empty() ? "" : ", ") + std::to_string(preset.number) + " \"" + preset.name + "\"";
    }
    if (sameNames)
        list = std::to_string(presets.front().number) + " to " +
               std::to_string(presets.back().number) + ", all named \"" + presets[0].name + "\"";
    return list.empty() ? "none" : list;
}

} // namespace

std::vector<UnitDriver::DesignedPreset> UnitDriver::DesignedPresets() const {
    std::vector<DesignedPreset> presets;
    const std::string folder = mIdentity.bundlePath + "/Contents/Resources/Presets";
    DIR* dir = opendir(folder.c_str());
    if (!dir) return presets;
    const size_t suffix = std::strlen(kPresetSuffix);
    while (const dirent* entry = readdir(dir)) {
        const std::string file = entry->d_name;
        if (file.size() <= suffix || file.compare(file.size() - suffix, suffix, kPresetSuffix) != 0)
            continue;
        presets.push_back({file.substr(0, file.size() - suffix), folder + "/" + file});
    }
    closedir(dir);
    std::sort(presets.begin(), presets.end(),
              [](const DesignedPreset& a, const DesignedPreset& b) { return a.name < b.name; });
    return presets;
}

Failure UnitDriver::SelectPreset(const std::string& numberOrName) {
    const std::vector<Preset> presets = FactoryPresets();
    const Preset* chosen = nullptr;
    double number = 0.0;
    const bool byNumber = ReadNumber(numberOrName, &number);
    for (const Preset& preset : presets) {
        if (byNumber && preset.number == number) chosen = &preset;
    }
    if (!byNumber) chosen = findByName(presets, numberOrName);
    if (chosen) {
        CFObject name(CreateCFString(chosen->name));
        AUPreset request = {chosen->number, name.As<CFStringRef>()};
        return setProperty(kAudioUnitProperty_PresentPreset, kAudioUnitScope_Global, &request,
                           sizeof request, "the factory preset");
    }

    // The designed presets come after the factory ones: a factory preset of the same name wins.
    const std::vector<DesignedPreset> designed = DesignedPresets();
    const DesignedPreset* found = byNumber ? nullptr : findByName(designed, numberOrName);
    if (found) return loadDesignedPreset(*found);
    std::string names;
    for (const DesignedPreset& preset : designed)
        names += (names.empty() ? "\"" : ", \"") + preset.name + "\"";
    return UsageError("no factory preset " +
                      (byNumber ? numberOrName : "\"" + numberOrName + "\"") +
                      "; the presets are " + factoryList(presets) +
                      (names.empty() ? "" : "; the designed presets are " + names));
}

Failure UnitDriver::loadDesignedPreset(const DesignedPreset& preset) {
    CFPropertyListRef state = nullptr;
    Failure failure = LoadStateFile(preset.path, mIdentity.description, &state);
    if (failure.Failed()) return failure;
    CFObject owned(state);
    const OSStatus result = RestoreState(state);
    if (result != noErr)
        return RunError("the unit refused the designed preset \"" + preset.name + "\" (" +
                        status(result) + ")");
    return {};
}

std::vector<AUChannelInfo> UnitDriver::ChannelConfigurations() const {
    UInt32 size = 0;
    Boolean writable = false;
    if (AudioUnitGetPropertyInfo(mUnit, kAudioUnitProperty_SupportedNumChannels,
                                 kAudioUnitScope_Global, 0, &size, &writable) != noErr)
        return {};
    std::vector<AUChannelInfo> configurations(size / sizeof(AUChannelInfo));
    if (configurations.empty() ||
        AudioUnitGetProperty(mUnit, kAudioUnitProperty_SupportedNumChannels, kAudioUnitScope_Global,
                             0, configurations.data(), &size) != noErr)
        return {};
    configurations.resize(size / sizeof(AUChannelInfo));
    return configurations;
}

bool UnitDriver::SupportsChannels(int channels) const {
    if (channels < 1 || channels > kMaxChannels) return false;
    for (const AUChannelInfo& c : ChannelConfigurations()) {
        const bool in = c.inChannels < 0 || c.inChannels == channels;
        const bool out = c.outChannels < 0 || c.outChannels == channels;
        if (in && out) return true;
    }
    return false;
}

std::string UnitDriver::ChannelConfigurationText() const {
    std::string text;
    const std::vector<AUChannelInfo> configurations = ChannelConfigurations();
    for (size_t i = 0; i < configurations.size(); ++i) {
        auto count = [](SInt16 n) { return n < 0 ? std::string("any") : std::to_string(n); };
        text += i == 0 ? "" : (i + 1 == configurations.size() ? " or " : ", ");
        text += count(configurations[i].inChannels) + " in, " +
                count(configurations[i].outChannels) + " out";
    }
    return text.empty() ? "no channel configuration" : text;
}

double UnitDriver::LatencySeconds() const {
    Float64 seconds = 0.0;
    return getGlobal(mUnit, kAudioUnitProperty_Latency, 0, &seconds) == noErr ? seconds : 0.0;
}

double UnitDriver::TailSeconds() const {
    Float64 seconds = 0.0;
    return getGlobal(mUnit, kAudioUnitProperty_TailTime, 0, &seconds) == noErr ? seconds : 0.0;
}

CFPropertyListRef UnitDriver::CopyState(std::string* error) const {
    CFPropertyListRef state = nullptr;
    const OSStatus result = getGlobal(mUnit, kAudioUnitProperty_ClassInfo, 0, &state);
    if (result != noErr || !state) {
        if (state) CFRelease(state);
        *error = "the unit gave no state (" + status(result) + ")";
        return nullptr;
    }
    return state;
}

OSStatus UnitDriver::RestoreState(CFPropertyListRef state) {
    return AudioUnitSetProperty(mUnit, kAudioUnitProperty_ClassInfo, kAudioUnitScope_Global, 0,
                                &state, sizeof state);
}

bool UnitDriver::CopyPresetFile(bool bank, std::string* bytes, std::string* error) const {
    CFDataRef data = nullptr;
    const OSStatus result = getGlobal(
        mUnit, bank ? kGrindvoxProperty_BankFile : kGrindvoxProperty_ProgramFile, 0, &data);
    CFObject owned(data);
    if (result != noErr || !owned.Is(CFDataGetTypeID())) {
        *error = std::string("the unit gave no ") + (bank ? "bank" : "program") + " (" +
                 status(result) + ")";
        return false;
    }
    bytes->assign(reinterpret_cast<const char*>(CFDataGetBytePtr(data)),
                  static_cast<size_t>(CFDataGetLength(data)));
    return true;
}

OSStatus UnitDriver::RestorePresetFile(bool bank, const std::string& bytes) {
    CFObject data(CFDataCreate(nullptr, reinterpret_cast<const UInt8*>(bytes.data()),
                               static_cast<CFIndex>(bytes.size())));
    if (!data.Get()) return coreFoundationUnknownErr;
    CFDataRef file = data.As<CFDataRef>();
    return AudioUnitSetProperty(mUnit,
                                bank ? kGrindvoxProperty_BankFile : kGrindvoxProperty_ProgramFile,
                                kAudioUnitScope_Global, 0, &file, sizeof file);
}

Failure UnitDriver::SetBypass(bool bypass) {
    const UInt32 value = bypass ? 1 : 0;
    return setProperty(kAudioUnitProperty_BypassEffect, kAudioUnitScope_Global, &value,
                       sizeof value, "bypass");
}

Failure UnitDriver::setProperty(AudioUnitPropertyID id, AudioUnitScope scope, const void* data,
                                UInt32 size, const char* what) {
    const OSStatus result = AudioUnitSetProperty(mUnit, id, scope, 0, data, size);
    if (result != noErr)
        return RunError(std::string("the unit refused ") + what + " (" + status(result) + ")");
    return {};
}

Failure UnitDriver::Configure(double sampleRate, int channels, int maxFrames) {
    if (!SupportsChannels(channels))
        return RunError("the unit does not process " + std::to_string(channels) +
                        " channels; it takes " + ChannelConfigurationText());
    AudioStreamBasicDescription format = {};
    format.mSampleRate = sampleRate;
    format.mFormatID = kAudioFormatLinearPCM;
    format.mFormatFlags =
        kAudioFormatFlagIsFloat | kAudioFormatFlagIsPacked | kAudioFormatFlagIsNonInterleaved;
    format.mBytesPerPacket = sizeof(Float32);
    format.mFramesPerPacket = 1;
    format.mBytesPerFrame = sizeof(Float32);
    format.mChannelsPerFrame = static_cast<UInt32>(channels);
    format.mBitsPerChannel = 32;
    const Float64 rate = sampleRate;
    const UInt32 frames = static_cast<UInt32>(maxFrames);
    const AURenderCallbackStruct callback = {inputCallback, this};
    struct Step {
        AudioUnitPropertyID id;
        AudioUnitScope scope;
        const void* data;
        UInt32 size;
        const char* what;
    };
    const Step steps[] = {
        {kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input, &format, sizeof format,
         "the input stream format"},
        {kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output, &format, sizeof format,
         "the output stream format"},
        {kAudioUnitProperty_SampleRate, kAudioUnitScope_Global, &rate, sizeof rate,
         "the sample rate"},
        {kAudioUnitProperty_MaximumFramesPerSlice, kAudioUnitScope_Global, &frames, sizeof frames,
         "the block size"},
        {kAudioUnitProperty_SetRenderCallback, kAudioUnitScope_Input, &callback, sizeof callback,
         "the input callback"},
    };
    for (const Step& step : steps) {
        Failure failure = setProperty(step.id, step.scope, step.data, step.size, step.what);
        if (failure.Failed()) return failure;
    }
    const OSStatus initialized = AudioUnitInitialize(mUnit);
    if (initialized != noErr)
        return RunError("the unit failed to initialise (" + status(initialized) + ")");
    AudioUnitReset(mUnit, kAudioUnitScope_Global, 0);
    // Time stamps keep counting across configurations: the unit pulls its input once per
    // distinct sample time, so a repeated time would hand it the previous block again.
    mChannels = channels;
    return {};
}

Failure UnitDriver::Render(const float* const* input, float* const* output, UInt32 frames) {
    ChannelBufferList buffers = {};
    buffers.mNumberBuffers = static_cast<UInt32>(mChannels);
    for (int c = 0; c < mChannels; ++c)
        buffers.mBuffers[c] = {1, frames * static_cast<UInt32>(sizeof(float)), output[c]};
    AudioTimeStamp timeStamp = {};
    timeStamp.mSampleTime = mSampleTime;
    timeStamp.mFlags = kAudioTimeStampSampleTimeValid;
    AudioUnitRenderActionFlags flags = 0;
    mPendingInput = input;
    const OSStatus result = AudioUnitRender(mUnit, &flags, &timeStamp, 0, frames, buffers.List());
    mPendingInput = nullptr;
    if (result != noErr)
        return RunError("the unit failed to render at frame " +
                        std::to_string(static_cast<long long>(mSampleTime)) + " (" +
                        status(result) + ")");
    // A unit may answer in buffers of its own instead of the ones it was handed.
    for (int c = 0; c < mChannels; ++c) {
        const void* data = buffers.mBuffers[c].mData;
        if (data && data != output[c]) std::memcpy(output[c], data, frames * sizeof(float));
    }
    mSampleTime += frames;
    return {};
}

OSStatus UnitDriver::inputCallback(void* refCon, AudioUnitRenderActionFlags* /*flags*/,
                                   const AudioTimeStamp* /*timeStamp*/, UInt32 /*bus*/,
                                   UInt32 frames, AudioBufferList* data) {
    auto* self = static_cast<UnitDriver*>(refCon);
    if (!self->mPendingInput || !data) return kAudioUnitErr_NoConnection;
    const UInt32 n = data->mNumberBuffers < static_cast<UInt32>(self->mChannels)
                         ? data->mNumberBuffers
                         : static_cast<UInt32>(self->mChannels);
    for (UInt32 c = 0; c < n; ++c) {
        AudioBuffer& buffer = data->mBuffers[c];
        const float* source = self->mPendingInput[c];
        // A null buffer asks the callback for its own memory; the pending input lives on until
        // the render returns.
        const UInt32 bytes = frames * static_cast<UInt32>(sizeof(float));
        if (!buffer.mData) {
            buffer.mData = const_cast<float*>(source);
            buffer.mDataByteSize = bytes;
        } else {
            std::memcpy(buffer.mData, source,
                        bytes < buffer.mDataByteSize ? bytes : buffer.mDataByteSize);
        }
    }
    return noErr;
}
