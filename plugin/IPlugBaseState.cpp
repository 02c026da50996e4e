// The plug-in base's state: the parameter blob and the presets blob.
#include "plugin/IPlugBase.h"

#include "plugin/Trace.h"

bool IPlugBase::SerializeState(ByteChunk* chunk) {
    WDL_MutexLock lock(&mMutex);
    return SerializeParams(chunk);
}

int IPlugBase::UnserializeState(ByteChunk* chunk, int startPos) {
    WDL_MutexLock lock(&mMutex);
    return UnserializeParams(chunk, startPos);
}

bool IPlugBase::SerializeParams(ByteChunk* chunk) {
    TRACE_CALL("%d", NParams());
    WDL_MutexLock lock(&mMutex);
    bool ok = true;
    for (int i = 0; i < NParams(); ++i) {
        const IParam* param = GetParam(i);
        TRACE_CALL("%d %s %f", i, param->GetNameForHost(), param->mValue);
        ok = chunk->Put(&param->mValue) >= 0 && ok;
    }
    return ok;
}

int IPlugBase::UnserializeParams(ByteChunk* chunk, int startPos) {
    TRACE_CALL("%d", startPos);
    WDL_MutexLock lock(&mMutex);
    int pos = startPos;
    for (int i = 0; i < NParams() && pos >= 0; ++i) {
        IParam* param = GetParam(i);
        TRACE_CALL("%d %s %f", i, param->GetNameForHost(), param->mValue);
        double value = 0.0;
        pos = chunk->Get(&value, pos);
        param->Set(value);
    }
    OnParamReset();
    return pos;
}

bool IPlugBase::SerializePresets(ByteChunk* chunk) {
    TRACE_CALL("%d", NPresets());
    bool ok = true;
    for (int i = 0; i < NPresets(); ++i) {
        const IPreset* preset = mPresets.Get(i);
        TRACE_CALL("%d %s", i, preset->mName);
        ok = chunk->PutStr(preset->mName) >= 0 && ok;
        ok = chunk->Put(&preset->mInitialized) >= 0 && ok;
        if (preset->mInitialized) ok = chunk->PutChunk(&preset->mChunk) >= 0 && ok;
    }
    return ok;
}

int IPlugBase::UnserializePresets(ByteChunk* chunk, int startPos) {
    TRACE_CALL("%d", startPos);
    WDL_String name;
    int pos = startPos;
    for (int i = 0; i < NPresets() && pos >= 0; ++i) {
        IPreset* preset = mPresets.Get(i);
        // A zero-length or overlong entry leaves the previous slot's name in the buffer.
        pos = chunk->GetStr(&name, pos);
        preset->SetName(name.Get());
        TRACE_CALL("%d %s", i, preset->mName);
        if (pos >= 0) pos = chunk->Get(&preset->mInitialized, pos);
        if (pos < 0 || !preset->mInitialized) continue;
        pos = UnserializeParams(chunk, pos);
        // Even when the blob ends inside this slot's values, the slot stores the state the
        // parameters now hold: an initialised slot always carries a whole blob, so a later
        // save stays readable.
        preset->mChunk.Clear();
        SerializeParams(&preset->mChunk);
    }
    RestorePreset(mCurrentPresetIdx);
    return pos;
}
