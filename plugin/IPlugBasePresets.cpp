// The plug-in base's preset slots: making, naming, restoring and pruning them, and presets
// given as base64 text.
#include "plugin/IPlugBase.h"

#include "plugin/Trace.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace {

// Standard base64 alphabet; -1 for every other byte.
int base64Value(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

// Decodes until the first character outside the alphabet (padding or the terminator); writes
// at most `size` bytes.
void decodeBase64(const char* text, unsigned char* out, int size) {
    unsigned bits = 0;
    int pending = 0;
    int written = 0;
    for (const char* c = text; written < size; ++c) {
        const int value = base64Value(static_cast<unsigned char>(*c));
        if (value < 0) return;
        bits = (bits << 6 | static_cast<unsigned>(value)) & 0xFFFFFF;
        pending += 6;
        if (pending >= 8) {
            pending -= 8;
            out[written++] = static_cast<unsigned char>(bits >> pending);
        }
    }
}

// Marks a slot initialised under a name, with an empty blob for its new values: a slot that a
// presets blob left uninitialised may still carry the bytes of its earlier values.
void startPreset(IPreset* preset, const char* name) {
    preset->mInitialized = true;
    preset->SetName(name);
    preset->mChunk.Clear();
}

// Reads one variadic parameter value, typed by the parameter's kind.
double nextValue(va_list& args, const IParam* param) {
    if (param->Type() == IParam::kTypeDouble) return va_arg(args, double);
    return va_arg(args, int);
}

} // namespace

const char* IPlugBase::GetPresetName(int idx) const {
    const IPreset* preset = mPresets.Get(idx);
    return preset ? preset->mName : "";
}

IPreset* IPlugBase::GetNextUninitializedPreset(WDL_PtrList<IPreset>* presets) {
    for (int i = 0; i < presets->GetSize(); ++i) {
        IPreset* preset = presets->Get(i);
        if (!preset->mInitialized) return preset;
    }
    return nullptr;
}

void IPlugBase::MakeDefaultPreset(const char* name, int nPresets) {
    for (int i = 0; i < nPresets; ++i) {
        IPreset* preset = GetNextUninitializedPreset(&mPresets);
        if (!preset) return;
        startPreset(preset, name ? name : "Empty");
        SerializeParams(&preset->mChunk);
    }
}

void IPlugBase::EnsureDefaultPreset() {
    MakeDefaultPreset("Empty", NPresets());
}

bool IPlugBase::MakePreset(const char* name, ...) {
    IPreset* preset = GetNextUninitializedPreset(&mPresets);
    if (!preset) return false;
    startPreset(preset, name);

    va_list args;
    va_start(args, name);
    for (int i = 0; i < NParams(); ++i) {
        const double value = nextValue(args, GetParam(i));
        preset->mChunk.Put(&value);
    }
    va_end(args);
    return true;
}

bool IPlugBase::MakePresetFromNamedParams(const char* name, int nParamsNamed, ...) {
    IPreset* preset = GetNextUninitializedPreset(&mPresets);
    if (!preset) return false;

    // A value not named keeps this marker, which no preset author would write.
    constexpr double kUnnamed = 9.999e-8;
    WDL_TypedBuf<double> values;
    double* v = values.Resize(NParams());
    if (!v && NParams() > 0) return false;
    for (int i = 0; i < NParams(); ++i)
        v[i] = kUnnamed;
    startPreset(preset, name);

    va_list args;
    va_start(args, nParamsNamed);
    for (int n = 0; n < nParamsNamed; ++n) {
        const int idx = va_arg(args, int);
        const IParam* param = GetParam(idx);
        if (!param) break; // the value's type is unknown, so nothing after it can be read
        v[idx] = nextValue(args, param);
    }
    va_end(args);

    for (int i = 0; i < NParams(); ++i) {
        const double value = v[i] == kUnnamed ? GetParam(i)->mValue : v[i];
        preset->mChunk.Put(&value);
    }
    return true;
}

bool IPlugBase::MakePresetFromChunk(const char* name, ByteChunk* chunk) {
    IPreset* preset = GetNextUninitializedPreset(&mPresets);
    if (!preset) return false;
    startPreset(preset, name);
    preset->mChunk.PutChunk(chunk);
    return true;
}

bool IPlugBase::MakePresetFromBlob(const char* name, const char* blob, int sizeOfChunk) {
    ByteChunk chunk;
    if (sizeOfChunk > 0) {
        if (!chunk.Resize(sizeOfChunk)) return false;
        std::memset(chunk.GetBytes(), 0, static_cast<size_t>(sizeOfChunk));
        if (blob) decodeBase64(blob, chunk.GetBytes(), sizeOfChunk);
    }
    return MakePresetFromChunk(name, &chunk);
}

void IPlugBase::PruneUninitializedPresets() {
    for (int i = mPresets.GetSize() - 1; i >= 0; --i) {
        IPreset* preset = mPresets.Get(i);
        if (preset->mInitialized) continue;
        mPresets.Delete(i);
        delete preset;
    }
}

void IPlugBase::MakeDefaultUserPresetName(WDL_PtrList<IPreset>* presets, char* buffer) {
    int count = 0;
    for (int i = 0; i < presets->GetSize(); ++i) {
        if (std::strstr(presets->Get(i)->mName, "user preset")) ++count;
    }
    std::snprintf(buffer, IPreset::kNameSize, "%s %d", "user preset", count + 1);
}

bool IPlugBase::RestorePreset(int idx) {
    TRACE_CALL("%d", idx);
    IPreset* preset = mPresets.Get(idx);
    if (!preset) return false;

    bool restored;
    if (!preset->mInitialized) {
        char name[IPreset::kNameSize];
        MakeDefaultUserPresetName(&mPresets, name);
        startPreset(preset, name);
        restored = SerializeParams(&preset->mChunk);
    } else {
        restored = UnserializeParams(&preset->mChunk, 0) > 0;
    }
    if (restored) {
        mCurrentPresetIdx = idx;
        PresetsChangedByHost();
        RedrawParamControls();
    }
    return restored;
}

bool IPlugBase::RestorePreset(const char* name) {
    if (!name || !name[0]) return false;
    for (int i = 0; i < NPresets(); ++i) {
        if (std::strcmp(mPresets.Get(i)->mName, name) == 0) return RestorePreset(i);
    }
    return false;
}

void IPlugBase::ModifyCurrentPreset(const char* name) {
    IPreset* preset = mPresets.Get(mCurrentPresetIdx);
    if (!preset) return;
    preset->mChunk.Clear();
    TRACE_CALL("%d %s", mCurrentPresetIdx, preset->mName);
    SerializeParams(&preset->mChunk);
    if (name && name[0]) preset->SetName(name);
}
