// The properties a host reads and sets, and the stream formats and connections behind them.
#include "au/AUDictionary.h"
#include "au/CFAUPreset.h"
#include "au/IPlugAU.h"

#include "plugin/FixedText.h"
#include "plugin/Trace.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

constexpr UInt32 kMaxFramesPerSlice = 1u << 20; // more than any host asks for; refuses absurd
                                                // sizes before they become allocations

bool isGlobal(AudioUnitScope scope) {
    return scope == kAudioUnitScope_Global;
}

bool isGlobalOrInput(AudioUnitScope scope) {
    return scope == kAudioUnitScope_Global || scope == kAudioUnitScope_Input;
}

// Sets the answer's size and writability; when the caller passed data with room for the
// answer, `fill` writes it. Refuses data too small for the answer.
template <class Fill>
ComponentResult answer(UInt32* dataSize, Boolean* writable, void* data, UInt32 capacity,
                       UInt32 size, bool canWrite, Fill fill) {
    *dataSize = size;
    *writable = canWrite;
    if (!data) return noErr;
    if (capacity < size) return kAudioUnitErr_InvalidPropertyValue;
    return fill();
}

template <class T>
ComponentResult write(void* data, const T& value) {
    std::memcpy(data, &value, sizeof value);
    return noErr;
}

CFStringRef newString(const char* text) {
    return CFStringCreateWithCString(nullptr, text ? text : "", kCFStringEncodingUTF8);
}

} // namespace

ComponentResult IPlugAU::GetProperty(AudioUnitPropertyID propID, AudioUnitScope scope,
                                     AudioUnitElement element, UInt32* dataSize, Boolean* writable,
                                     void* data) {
    TRACE_CALL("%s(%u:%s):(%u:%s):%u", data ? "" : "info:", propID, AUPropertyStr(propID), scope,
               AUScopeStr(scope), element);
    const UInt32 capacity = *dataSize;
    auto reply = [&](UInt32 size, bool canWrite, auto fill) {
        return answer(dataSize, writable, data, capacity, size, canWrite, fill);
    };
    auto nothing = []() -> ComponentResult { return noErr; };

    switch (propID) {
    case kAudioUnitProperty_ClassInfo:
        return reply(sizeof(CFPropertyListRef), true, [&]() -> ComponentResult {
            return GetState(static_cast<CFPropertyListRef*>(data));
        });
    case kAudioUnitProperty_MakeConnection:
        if (!isGlobalOrInput(scope)) return kAudioUnitErr_InvalidProperty;
        return reply(sizeof(AudioUnitConnection), true, nothing);
    case kAudioUnitProperty_SampleRate:
        return reply(sizeof(Float64), true,
                     [&]() -> ComponentResult { return write(data, Float64(mSampleRate)); });
    case kAudioUnitProperty_ParameterList: {
        if (!isGlobal(scope)) {
            *dataSize = 0;
            return noErr;
        }
        const UInt32 n = static_cast<UInt32>(NParams());
        return reply(n * sizeof(AudioUnitParameterID), false, [&]() -> ComponentResult {
            auto* ids = static_cast<AudioUnitParameterID*>(data);
            for (UInt32 i = 0; i < n; ++i)
                ids[i] = i;
            return noErr;
        });
    }
    case kAudioUnitProperty_ParameterInfo:
        if (!isGlobal(scope) || !GetParamByID(element)) return kAudioUnitErr_InvalidProperty;
        return reply(sizeof(AudioUnitParameterInfo), false,
                     [&]() -> ComponentResult { return ParameterInfo(element, capacity, data); });
    case kAudioUnitProperty_FastDispatch: {
        UInt32 size = 0;
        if (const ComponentResult result = GetProc(element, &size, nullptr)) return result;
        return reply(size, false,
                     [&]() -> ComponentResult { return GetProc(element, &size, data); });
    }
    case kAudioUnitProperty_StreamFormat: {
        const BusChannels* bus = GetBus(scope, element);
        if (!bus) return kAudioUnitErr_InvalidProperty;
        return reply(sizeof(AudioStreamBasicDescription), true, [&]() -> ComponentResult {
            const int n =
                bus->mHostChannelCount >= 0 ? bus->mHostChannelCount : bus->mPlugChannelCount;
            MakeDefaultASBD(static_cast<AudioStreamBasicDescription*>(data), mSampleRate, n, false);
            return noErr;
        });
    }
    case kAudioUnitProperty_ElementCount:
        return reply(sizeof(UInt32), false, [&]() -> ComponentResult {
            UInt32 count = 0;
            if (scope == kAudioUnitScope_Global) count = 1;
            if (scope == kAudioUnitScope_Input) count = mInputBusses.GetSize();
            if (scope == kAudioUnitScope_Output) count = mOutputBusses.GetSize();
            return write(data, count);
        });
    case kAudioUnitProperty_Latency:
    case kAudioUnitProperty_TailTime:
        if (!isGlobal(scope)) return kAudioUnitErr_InvalidProperty;
        return reply(sizeof(Float64), false, [&]() -> ComponentResult {
            return write(data, Float64(mLatency / mSampleRate));
        });
    case kAudioUnitProperty_SupportedNumChannels: {
        if (!isGlobal(scope)) return kAudioUnitErr_InvalidProperty;
        const UInt32 n = static_cast<UInt32>(NChannelIO());
        return reply(n * sizeof(AUChannelInfo), false, [&]() -> ComponentResult {
            auto* info = static_cast<AUChannelInfo*>(data);
            for (UInt32 i = 0; i < n; ++i) {
                const ChannelIO* io = GetChannelIO(static_cast<int>(i));
                TRACE_CALL("IO:%d:%d", io->mIn, io->mOut);
                info[i].inChannels = static_cast<SInt16>(io->mIn);
                info[i].outChannels = static_cast<SInt16>(io->mOut);
            }
            return noErr;
        });
    }
    case kAudioUnitProperty_MaximumFramesPerSlice:
        if (!isGlobal(scope)) return kAudioUnitErr_InvalidProperty;
        return reply(sizeof(UInt32), true,
                     [&]() -> ComponentResult { return write(data, UInt32(mBlockSize)); });
    case kAudioUnitProperty_ParameterValueStrings: {
        if (!isGlobal(scope)) return kAudioUnitErr_InvalidProperty;
        const IParam* param = GetParamByID(element);
        if (!param) return kAudioUnitErr_InvalidProperty;
        if (param->GetNDisplayTexts() == 0) {
            *dataSize = 0;
            return kAudioUnitErr_InvalidProperty;
        }
        return reply(sizeof(CFArrayRef), false, [&]() -> ComponentResult {
            const int n = param->GetNDisplayTexts();
            CFMutableArrayRef texts = CFArrayCreateMutable(nullptr, n, &kCFTypeArrayCallBacks);
            if (!texts) return coreFoundationUnknownErr;
            for (int i = 0; i < n; ++i) {
                CFStringRef text = newString(param->GetDisplayTextAtIdx(i)->mText);
                CFArrayAppendValue(texts, text);
                CFRelease(text);
            }
            return write(data, static_cast<CFArrayRef>(texts));
        });
    }
    case kAudioUnitProperty_GetUIComponentList:
        if (!mGraphics) return kAudioUnitErr_InvalidProperty;
        return reply(sizeof(ComponentDescription), false, [&]() -> ComponentResult {
            ComponentDescription view = {};
            view.componentType = kAudioUnitCarbonViewComponentType;
            view.componentSubType = static_cast<OSType>(mUniqueID);
            view.componentManufacturer = static_cast<OSType>(mMfrID);
            return write(data, view);
        });
    case kAudioUnitProperty_BypassEffect:
        if (!isGlobal(scope)) return kAudioUnitErr_InvalidProperty;
        return reply(sizeof(UInt32), true,
                     [&]() -> ComponentResult { return write(data, UInt32(mBypass ? 1 : 0)); });
    case kAudioUnitProperty_LastRenderError:
        if (!isGlobal(scope)) return kAudioUnitErr_InvalidProperty;
        return reply(sizeof(OSStatus), false,
                     [&]() -> ComponentResult { return write(data, OSStatus(noErr)); });
    case kAudioUnitProperty_SetRenderCallback:
        if (!isGlobalOrInput(scope) || IndexOf(element) < 0 ||
            IndexOf(element) >= mInputBusses.GetSize()) {
            return kAudioUnitErr_InvalidProperty;
        }
        return reply(sizeof(AURenderCallbackStruct), true, nothing);
    case kAudioUnitProperty_FactoryPresets:
        return reply(sizeof(CFArrayRef), false,
                     [&]() -> ComponentResult { return FactoryPresets(data); });
    case kAudioUnitProperty_HostCallbacks:
        if (!isGlobal(scope)) return kAudioUnitErr_InvalidProperty;
        return reply(sizeof(HostCallbackInfo), true, nothing);
    case kAudioUnitProperty_CurrentPreset:
    case kAudioUnitProperty_PresentPreset:
        return reply(sizeof(AUPreset), true, [&]() -> ComponentResult {
            AUPreset preset;
            preset.presetNumber = mCurrentPresetIdx;
            preset.presetName = newString(GetPresetName(mCurrentPresetIdx));
            return write(data, preset);
        });
    case kAudioUnitProperty_CocoaUI: {
        SInt32 systemVersion = 0;
        if (!mGraphics || Gestalt(gestaltSystemVersion, &systemVersion) != noErr ||
            systemVersion <= 0x104F) {
            return kAudioUnitErr_InvalidProperty;
        }
        return reply(sizeof(AudioUnitCocoaViewInfo), false, [&]() -> ComponentResult {
            CFStringRef identifier = newString(mBundleIdent.Get());
            CFBundleRef bundle = CFBundleGetBundleWithIdentifier(identifier);
            CFRelease(identifier);
            CFURLRef location = bundle ? CFBundleCopyBundleURL(bundle) : nullptr;
            if (!location) return kAudioUnitErr_InvalidProperty;
            AudioUnitCocoaViewInfo info;
            info.mCocoaAUViewBundleLocation = location;
            info.mCocoaAUViewClass[0] = newString(mViewFactoryClass.Get());
            return write(data, info);
        });
    }
    case kAudioUnitProperty_ParameterStringFromValue:
        return reply(sizeof(AudioUnitParameterStringFromValue), false, [&]() -> ComponentResult {
            if (!isGlobal(scope)) return noErr;
            auto* request = static_cast<AudioUnitParameterStringFromValue*>(data);
            const IParam* param = GetParamByID(request->inParamID);
            if (!param) return kAudioUnitErr_InvalidProperty;
            const double value = request->inValue
                                     ? *request->inValue
                                     : static_cast<float>(static_cast<long long>(param->mValue));
            request->outString = newString(param->GetDisplayText(TruncateToInt(value)));
            return noErr;
        });
    case kAudioUnitProperty_ParameterIDName:
        return reply(sizeof(AudioUnitParameterIDName), false, [&]() -> ComponentResult {
            if (!isGlobal(scope)) return noErr;
            auto* request = static_cast<AudioUnitParameterIDName*>(data);
            const IParam* param = GetParamByID(request->inID);
            if (!param) return kAudioUnitErr_InvalidProperty;
            char name[IParam::kNameSize];
            CopyToField(name, param->GetNameForHost());
            const SInt32 desired = request->inDesiredLength;
            if (desired >= 0 && desired < IParam::kNameSize) name[desired] = 0;
            request->outName = newString(name);
            return noErr;
        });
    case kAudioUnitProperty_ParameterValueFromString:
        return reply(sizeof(AudioUnitParameterValueFromString), false, [&]() -> ComponentResult {
            if (!isGlobal(scope)) return noErr;
            auto* request = static_cast<AudioUnitParameterValueFromString*>(data);
            const IParam* param = GetParamByID(request->inParamID);
            if (!param) return kAudioUnitErr_InvalidProperty;
            WDL_TypedBuf<char> text;
            if (!CopyUTF8(request->inString, &text)) return noErr;
            if (param->GetNDisplayTexts() > 0) {
                int value;
                if (param->MapDisplayText(text.Get(), &value)) {
                    request->outValue = static_cast<AudioUnitParameterValue>(value);
                }
                return noErr;
            }
            const double value = std::atof(text.Get());
            request->outValue =
                static_cast<AudioUnitParameterValue>(param->mNegateDisplay ? -value : value);
            return noErr;
        });
    case kIPlugAUProperty_ProgramFile:
    case kIPlugAUProperty_BankFile:
        if (!isGlobal(scope)) return kAudioUnitErr_InvalidProperty;
        return reply(sizeof(CFDataRef), true, [&]() -> ComponentResult {
            return GetPresetFile(propID == kIPlugAUProperty_BankFile,
                                 static_cast<CFDataRef*>(data));
        });
    case kMusicDeviceProperty_InstrumentCount:
        if (!isGlobal(scope) || !IsInst()) return kAudioUnitErr_InvalidProperty;
        return reply(sizeof(UInt32), false,
                     [&]() -> ComponentResult { return write(data, UInt32(1)); });
    default: return kAudioUnitErr_InvalidProperty;
    }
}

ComponentResult IPlugAU::ParameterInfo(AudioUnitElement paramIdx, UInt32 /*dataSize*/, void* data) {
    const IParam* param = GetParamByID(paramIdx);
    auto* info = static_cast<AudioUnitParameterInfo*>(data);
    std::memset(info, 0, sizeof *info);
    info->flags = kAudioUnitParameterFlag_IsWritable | kAudioUnitParameterFlag_IsReadable |
                  kAudioUnitParameterFlag_HasCFNameString | kAudioUnitParameterFlag_CFNameRelease;
    CopyToField(info->name, param->GetNameForHost());
    info->cfNameString = newString(param->GetNameForHost());

    switch (param->Type()) {
    case IParam::kTypeInt:
    case IParam::kTypeEnum: info->unit = kAudioUnitParameterUnit_Indexed; break;
    case IParam::kTypeBool: info->unit = kAudioUnitParameterUnit_Boolean; break;
    default:
        if (param->GetLabelForHost()[0]) {
            info->unit = kAudioUnitParameterUnit_CustomUnit;
            info->unitName = newString(param->GetLabelForHost());
        } else {
            info->unit = kAudioUnitParameterUnit_Generic;
        }
        break;
    }
    info->minValue = static_cast<AudioUnitParameterValue>(param->mMin);
    info->maxValue = static_cast<AudioUnitParameterValue>(param->mMax);
    info->defaultValue = static_cast<AudioUnitParameterValue>(param->mValue);
    return noErr;
}

ComponentResult IPlugAU::FactoryPresets(void* data) {
    CFMutableArrayRef presets =
        CFArrayCreateMutable(nullptr, NPresets(), &kCFAUPresetArrayCallBacks);
    if (!presets) return coreFoundationUnknownErr;
    for (int i = 0; i < NPresets(); ++i) {
        CFStringRef name = newString(GetPresetName(i));
        if (CFAUPreset* preset = CFAUPresetCreate(kCFAllocatorDefault, i, name)) {
            CFArrayAppendValue(presets, preset);
            CFAUPresetRelease(preset);
        }
        CFRelease(name);
    }
    return write(data, static_cast<CFArrayRef>(presets));
}

// ---- Setting properties ----

ComponentResult IPlugAU::SetProperty(AudioUnitPropertyID propID, AudioUnitScope scope,
                                     AudioUnitElement element, UInt32 dataSize, const void* data) {
    TRACE_CALL("(%u:%s):(%u:%s):%u", propID, AUPropertyStr(propID), scope, AUScopeStr(scope),
               element);
    InformListeners(propID, scope);

    // The record each property reads must be there whole.
    auto holds = [&](size_t size) { return data && dataSize >= size; };
    auto read = [&](auto* value) { std::memcpy(value, data, sizeof *value); };

    switch (propID) {
    case kAudioUnitProperty_ClassInfo: {
        if (!holds(sizeof(CFPropertyListRef))) return kAudioUnitErr_InvalidPropertyValue;
        CFPropertyListRef state;
        read(&state);
        return SetState(state);
    }
    case kAudioUnitProperty_MakeConnection: {
        if (!isGlobalOrInput(scope)) return kAudioUnitErr_InvalidProperty;
        if (!holds(sizeof(AudioUnitConnection))) return kAudioUnitErr_InvalidPropertyValue;
        AudioUnitConnection connection;
        read(&connection);
        return MakeConnection(&connection);
    }
    case kAudioUnitProperty_SampleRate: {
        if (!holds(sizeof(Float64))) return kAudioUnitErr_InvalidPropertyValue;
        Float64 sampleRate;
        read(&sampleRate);
        // The filters divide by the rate: a rate that is not a positive number would turn every
        // later sample into NaN.
        if (!(sampleRate > 0.0) || !std::isfinite(sampleRate)) {
            return kAudioUnitErr_InvalidPropertyValue;
        }
        SetSampleRate(sampleRate);
        Reset();
        return noErr;
    }
    case kAudioUnitProperty_StreamFormat: {
        if (!GetBus(scope, element)) return kAudioUnitErr_InvalidProperty;
        if (!holds(sizeof(AudioStreamBasicDescription))) return kAudioUnitErr_InvalidPropertyValue;
        AudioStreamBasicDescription format;
        read(&format);
        return SetStreamFormat(scope, element, &format);
    }
    case kAudioUnitProperty_MaximumFramesPerSlice: {
        if (!holds(sizeof(UInt32))) return kAudioUnitErr_InvalidPropertyValue;
        UInt32 frames;
        read(&frames);
        if (frames > kMaxFramesPerSlice) return kAudioUnitErr_InvalidPropertyValue;
        SetBlockSize(static_cast<int>(frames));
        Reset();
        return noErr;
    }
    case kAudioUnitProperty_BypassEffect: {
        if (!holds(sizeof(UInt32))) return kAudioUnitErr_InvalidPropertyValue;
        UInt32 bypass;
        read(&bypass);
        mBypass = bypass != 0;
        Reset();
        return noErr;
    }
    case kAudioUnitProperty_SetRenderCallback: {
        InputConnection* connection = mInputConnections.Get(IndexOf(element));
        if (scope != kAudioUnitScope_Input || !connection) return kAudioUnitErr_InvalidProperty;
        if (!holds(sizeof(AURenderCallbackStruct))) return kAudioUnitErr_InvalidPropertyValue;
        AURenderCallbackStruct callback;
        read(&callback);
        *connection = InputConnection();
        if (callback.inputProc) connection->mRenderCallback = callback;
        AssessInputConnections();
        return noErr;
    }
    case kAudioUnitProperty_HostCallbacks:
        if (!isGlobal(scope)) return kAudioUnitErr_InvalidProperty;
        if (!holds(sizeof(HostCallbackInfo))) return kAudioUnitErr_InvalidPropertyValue;
        read(&mHostCallbackInfo);
        return noErr;
    case kAudioUnitProperty_CurrentPreset:
    case kAudioUnitProperty_PresentPreset: {
        if (!holds(sizeof(AUPreset))) return kAudioUnitErr_InvalidPropertyValue;
        AUPreset preset;
        read(&preset);
        RestorePreset(static_cast<int>(preset.presetNumber));
        return noErr;
    }
    case kIPlugAUProperty_ProgramFile:
    case kIPlugAUProperty_BankFile: {
        if (!isGlobal(scope)) return kAudioUnitErr_InvalidProperty;
        if (!holds(sizeof(CFDataRef))) return kAudioUnitErr_InvalidPropertyValue;
        CFDataRef file;
        read(&file);
        return SetPresetFile(propID == kIPlugAUProperty_BankFile, file);
    }
    case kAudioUnitProperty_AUHostIdentifier: {
        if (!holds(sizeof(AUHostIdentifier))) return kAudioUnitErr_InvalidPropertyValue;
        AUHostIdentifier host;
        read(&host);
        WDL_TypedBuf<char> name;
        if (!CopyUTF8(host.hostName, &name)) return kAudioUnitErr_InvalidPropertyValue;
        SetHost(name.Get(),
                (host.hostVersion.majorRev << 16) + (host.hostVersion.minorAndBugRev << 8));
        return noErr;
    }
    default: return kAudioUnitErr_InvalidProperty;
    }
}

ComponentResult IPlugAU::SetStreamFormat(AudioUnitScope scope, AudioUnitElement element,
                                         const AudioStreamBasicDescription* format) {
    BusChannels* bus = GetBus(scope, element);
    // The bus's own count must not take part in judging the new one; a refused format puts it
    // back, so the unit goes on rendering as it was configured.
    const int previousCount = bus->mHostChannelCount;
    bus->mHostChannelCount = 0;
    const int n =
        format->mChannelsPerFrame > 0x7fffffffu ? -1 : static_cast<int>(format->mChannelsPerFrame);
    const bool linearPCM = format->mFormatID == kAudioFormatLinearPCM;
    const bool canonical =
        (format->mFormatFlags & (kAudioFormatFlagIsFloat | kAudioFormatFlagIsPacked)) != 0;
    const bool connectionOK = n >= 1 && CheckLegalIO(scope, IndexOf(element), n);
    TRACE_CALL("%d:%d:%s:%s:%s", n, bus->mPlugChannelCount,
               linearPCM ? "linearPCM" : "notLinearPCM",
               canonical ? "canonicalFormat" : "notCanonicalFormat",
               connectionOK ? "connectionOK" : "connectionNotOK");
    if (!connectionOK || !linearPCM || !canonical) {
        bus->mHostChannelCount = previousCount;
        return kAudioUnitErr_InvalidProperty;
    }
    bus->mHostChannelCount = n;
    if (format->mSampleRate > 0.0 && std::isfinite(format->mSampleRate)) {
        SetSampleRate(format->mSampleRate);
    }
    AssessInputConnections();
    return noErr;
}

ComponentResult IPlugAU::MakeConnection(const AudioUnitConnection* connection) {
    InputConnection* input = mInputConnections.Get(IndexOf(connection->destInputNumber));
    if (!input) return kAudioUnitErr_InvalidProperty;
    *input = InputConnection();

    bool ok = true;
    if (AudioUnit source = connection->sourceAudioUnit) {
        AudioStreamBasicDescription format;
        UInt32 size = sizeof format;
        ok = AudioUnitGetProperty(source, kAudioUnitProperty_StreamFormat, kAudioUnitScope_Output,
                                  connection->sourceOutputNumber, &format, &size) == noErr &&
             size >= sizeof format &&
             SetProperty(kAudioUnitProperty_StreamFormat, kAudioUnitScope_Input,
                         connection->destInputNumber, sizeof format, &format) == noErr;
        if (ok) {
            input->mUpstreamUnit = source;
            input->mUpstreamOutput = static_cast<int>(connection->sourceOutputNumber);
            AudioUnitRenderProc render = nullptr;
            size = sizeof render;
            if (AudioUnitGetProperty(source, kAudioUnitProperty_FastDispatch,
                                     kAudioUnitScope_Global, kAudioUnitRenderSelect, &render,
                                     &size) == noErr &&
                render) {
                input->mUpstreamRenderProc = render;
                input->mUpstreamInstance = GetComponentInstanceStorage(source);
            }
        }
    }
    AssessInputConnections();
    if (!ok) return kAudioUnitErr_InvalidProperty;
    return noErr;
}
