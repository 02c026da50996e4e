// The component entry: Open and Close, and the routing of every other selector under the
// plug-in's lock.
#include "au/IPlugAU.h"

#include "au/IPlugAULive.h"
#include "editor/IGraphics.h"

#include "plugin/IMidiMsg.h"
#include "plugin/Trace.h"

#include <cstring>
#include <new>
#include <type_traits>

namespace {

// Argument slot i of a parameter block: slot 0 holds the instance, the selector's arguments
// follow in their published order, one pointer-sized slot each.
template <class T>
T arg(const ComponentParameters* params, int i) {
    const long slot = params->params[i];
    if constexpr (std::is_pointer_v<T>) {
        return reinterpret_cast<T>(slot);
    } else if constexpr (std::is_floating_point_v<T>) {
        T value;
        std::memcpy(&value, &slot, sizeof value); // a float travels in the slot's first bytes
        return value;
    } else {
        return static_cast<T>(slot);
    }
}

// Selectors CanDo answers 1 for: 1-7, 9-11 and 14-17.
constexpr unsigned long kCanDoMask = 0x3CEFE;

bool canDo(unsigned long selector) {
    return selector <= 17 && ((kCanDoMask >> selector) & 1);
}

} // namespace

ComponentResult IPlugAU::IPlugAUEntry(ComponentParameters* params, void* plug) {
    const int select = params->what;
    TRACE_CALL("(%d:%s)", select, AUSelectStr(select));

    if (select == kComponentOpenSelect) {
        IPlugAU* created = nullptr;
        try {
            created = MakePlug();
        } catch (const std::bad_alloc&) {
            return memFullErr;
        }
        created->HostSpecificInit();
        created->PruneUninitializedPresets();
        created->mInstance = arg<ComponentInstance>(params, 1);
        SetComponentInstanceStorage(created->mInstance, reinterpret_cast<Handle>(created));
        IPlugAULive::Add(created);
        return noErr;
    }

    IPlugAU* self = static_cast<IPlugAU*>(plug);
    if (select == kComponentCloseSelect) {
        if (self) {
            // Views that outlive the unit stop touching it from here on.
            IPlugAULive::Remove(self);
            self->ClearConnections();
            delete self;
        }
        return noErr;
    }
    if (!self) return badComponentSelector;

    // Running out of memory is an error for the host, never an exception through its call.
    try {
        WDL_MutexLock lock(&self->mMutex);
        return self->Dispatch(params);
    } catch (const std::bad_alloc&) {
        return memFullErr;
    }
}

ComponentResult IPlugAU::Dispatch(ComponentParameters* params) {
    switch (params->what) {
    case kComponentVersionSelect: return GetEffectVersion(false);
    case kComponentCanDoSelect: return canDo(static_cast<unsigned long>(params->params[0]));

    case kAudioUnitInitializeSelect:
        if (!CheckLegalIO()) return badComponentSelector;
        mUnitInitialized = true;
        mLastInputSampleTime = -1.0;
        OnParamReset();
        OnActivate(true);
        return noErr;
    case kAudioUnitUninitializeSelect:
        mUnitInitialized = false;
        OnActivate(false);
        return noErr;

    case kAudioUnitGetPropertyInfoSelect: {
        UInt32 localSize = 0;
        Boolean localWritable = false;
        UInt32* size = arg<UInt32*>(params, 4);
        Boolean* writable = arg<Boolean*>(params, 5);
        if (!size) size = &localSize;
        if (!writable) writable = &localWritable;
        *writable = false;
        return GetProperty(arg<AudioUnitPropertyID>(params, 1), arg<AudioUnitScope>(params, 2),
                           arg<AudioUnitElement>(params, 3), size, writable, nullptr);
    }
    case kAudioUnitGetPropertySelect: {
        UInt32 localSize = 0;
        Boolean writable = false;
        UInt32* size = arg<UInt32*>(params, 5);
        if (!size) size = &localSize;
        return GetProperty(arg<AudioUnitPropertyID>(params, 1), arg<AudioUnitScope>(params, 2),
                           arg<AudioUnitElement>(params, 3), size, &writable,
                           arg<void*>(params, 4));
    }
    case kAudioUnitSetPropertySelect:
        return SetProperty(arg<AudioUnitPropertyID>(params, 1), arg<AudioUnitScope>(params, 2),
                           arg<AudioUnitElement>(params, 3), arg<UInt32>(params, 5),
                           arg<const void*>(params, 4));

    case kAudioUnitGetParameterSelect:
        return GetParamProc(this, arg<AudioUnitParameterID>(params, 1),
                            arg<AudioUnitScope>(params, 2), arg<AudioUnitElement>(params, 3),
                            arg<AudioUnitParameterValue*>(params, 4));
    case kAudioUnitSetParameterSelect:
        return SetParamProc(this, arg<AudioUnitParameterID>(params, 1),
                            arg<AudioUnitScope>(params, 2), arg<AudioUnitElement>(params, 3),
                            arg<AudioUnitParameterValue>(params, 4), arg<UInt32>(params, 5));
    case kAudioUnitScheduleParametersSelect:
        return ScheduleParameters(arg<const AudioUnitParameterEvent*>(params, 1),
                                  arg<UInt32>(params, 2));

    case kAudioUnitResetSelect:
        // After a reset the host may start again at the same sample time with other audio: the
        // next render must pull its input anew.
        mLastInputSampleTime = -1.0;
        Reset();
        return noErr;

    case kAudioUnitAddPropertyListenerSelect:
        AddPropertyListener({arg<AudioUnitPropertyID>(params, 1),
                             arg<AudioUnitPropertyListenerProc>(params, 2), arg<void*>(params, 3)});
        return noErr;
    case kAudioUnitRemovePropertyListenerSelect:
        RemovePropertyListener(arg<AudioUnitPropertyID>(params, 1),
                               arg<AudioUnitPropertyListenerProc>(params, 2), false, nullptr);
        return noErr;
    case kAudioUnitRemovePropertyListenerWithUserDataSelect:
        RemovePropertyListener(arg<AudioUnitPropertyID>(params, 1),
                               arg<AudioUnitPropertyListenerProc>(params, 2), true,
                               arg<void*>(params, 3));
        return noErr;

    case kAudioUnitRenderSelect:
        return RenderProc(this, arg<AudioUnitRenderActionFlags*>(params, 1),
                          arg<const AudioTimeStamp*>(params, 2), arg<UInt32>(params, 3),
                          arg<UInt32>(params, 4), arg<AudioBufferList*>(params, 5));
    case kAudioUnitAddRenderNotifySelect: {
        auto* notifier =
            new AURenderCallbackStruct{arg<AURenderCallback>(params, 1), arg<void*>(params, 2)};
        if (!mRenderNotifiers.Add(notifier)) delete notifier;
        return noErr;
    }
    case kAudioUnitRemoveRenderNotifySelect:
        RemoveRenderNotify(arg<AURenderCallback>(params, 1));
        return noErr;

    case kMusicDeviceMIDIEventSelect: {
        IMidiMsg msg(arg<int>(params, 4), static_cast<unsigned char>(arg<UInt32>(params, 1)),
                     static_cast<unsigned char>(arg<UInt32>(params, 2)),
                     static_cast<unsigned char>(arg<UInt32>(params, 3)));
        ProcessMidiMsg(&msg);
        return noErr;
    }
    case kMusicDevicePrepareInstrumentSelect:
    case kMusicDeviceReleaseInstrumentSelect: return noErr;
    case kMusicDeviceStartNoteSelect: {
        NoteInstanceID* note = arg<NoteInstanceID*>(params, 3);
        const MusicDeviceNoteParams* noteParams = arg<const MusicDeviceNoteParams*>(params, 5);
        if (note && noteParams) *note = static_cast<NoteInstanceID>(noteParams->mPitch);
        return noErr;
    }
    case kMusicDeviceStopNoteSelect: return noErr;

    default: return badComponentSelector;
    }
}

void IPlugAU::AddPropertyListener(const PropertyListenerRec& listener) {
    for (int i = 0; i < mListeners.GetSize(); ++i) {
        const PropertyListenerRec* existing = mListeners.Get(i);
        if (existing->mPropID == listener.mPropID &&
            existing->mListenerProc == listener.mListenerProc) {
            return;
        }
    }
    auto* record = new PropertyListenerRec(listener);
    if (!mListeners.Add(record)) delete record;
}

void IPlugAU::RemovePropertyListener(AudioUnitPropertyID propID, AudioUnitPropertyListenerProc proc,
                                     bool matchUserData, void* userData) {
    for (int i = 0; i < mListeners.GetSize(); ++i) {
        PropertyListenerRec* listener = mListeners.Get(i);
        if (listener->mPropID != propID || listener->mListenerProc != proc) continue;
        if (matchUserData && listener->mProcArgs != userData) continue;
        mListeners.Delete(i);
        delete listener;
        return;
    }
}

void IPlugAU::RemoveRenderNotify(AURenderCallback proc) {
    for (int i = 0; i < mRenderNotifiers.GetSize(); ++i) {
        AURenderCallbackStruct* notifier = mRenderNotifiers.Get(i);
        if (notifier->inputProc != proc) continue;
        mRenderNotifiers.Delete(i);
        delete notifier;
        return;
    }
}

ComponentResult IPlugAU::ScheduleParameters(const AudioUnitParameterEvent* events, UInt32 nEvents) {
    for (UInt32 i = 0; events && i < nEvents; ++i) {
        const AudioUnitParameterEvent& event = events[i];
        if (event.eventType != kParameterEvent_Immediate) continue;
        const ComponentResult result = SetParamProc(
            this, event.parameter, event.scope, event.element, event.eventValues.immediate.value,
            event.eventValues.immediate.bufferOffset);
        if (result != noErr) return result;
    }
    return noErr;
}

// ---- The Carbon view component ----

namespace {

// One per Carbon view instance: the view's own handle, and the plug-in it shows with the ticket
// of that plug-in's unit (both empty until Create).
struct CarbonViewRec {
    ComponentInstance mViewInstance;
    IPlugAU* mPlug;
    uint64_t mTicket;
};

} // namespace

ComponentResult IPlugAU::IPlugAUCarbonViewEntry(ComponentParameters* params, void* storage) {
    const int select = params->what;
    TRACE_CALL("%d:%s", select, AUSelectStr(select));
    auto* view = static_cast<CarbonViewRec*>(storage);

    switch (select) {
    case kComponentOpenSelect: {
        ComponentInstance instance = arg<ComponentInstance>(params, 1);
        view = new (std::nothrow) CarbonViewRec{instance, nullptr, 0};
        if (!view) return memFullErr;
        SetComponentInstanceStorage(instance, reinterpret_cast<Handle>(view));
        return noErr;
    }
    case kComponentCloseSelect:
        // The unit may have been closed before its view: its plug-in is only touched while it
        // is still the live unit the view was made for.
        if (view && view->mPlug) {
            IPlugAULive::Use(view->mPlug, view->mTicket, [](IPlugAU* plug) {
                if (IGraphics* graphics = plug->GetGUI()) graphics->CloseWindow();
            });
        }
        delete view;
        return noErr;
    case kAudioUnitCarbonViewCreateSelect: {
        if (!view) return badComponentSelector;
        AudioUnit editUnit = arg<AudioUnit>(params, 1);
        IPlugAU* plug =
            editUnit ? reinterpret_cast<IPlugAU*>(GetComponentInstanceStorage(editUnit)) : nullptr;
        view->mPlug = plug;
        view->mTicket = IPlugAULive::Ticket(plug);
        ComponentResult result = badComponentSelector;
        IPlugAULive::Use(plug, view->mTicket, [&](IPlugAU* live) {
            IGraphics* graphics = live->GetGUI();
            if (!graphics) return;
            // The editor embeds itself in a pane of the host's window and answers its control
            // (null when the pane could not be made).
            void* control =
                graphics->OpenWindow(arg<WindowRef>(params, 2), arg<ControlRef>(params, 3));
            if (ControlRef* out = arg<ControlRef*>(params, 6))
                *out = static_cast<ControlRef>(control);
            result = noErr;
        });
        return result;
    }
    default: return badComponentSelector;
    }
}
