// The plug-in base's source dumps: the current preset as a line of source text that the effect's
// constructor can paste, through MakePresetFromNamedParams or MakePresetFromBlob.
#include "plugin/IPlugBase.h"

#include "plugin/FileBytes.h"
#include "plugin/Trace.h"

namespace {

constexpr char kBase64Alphabet[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Standard base64 with "=" padding, appended to text.
bool appendBase64(WDL_String* text, const unsigned char* bytes, int size) {
    for (int i = 0; i < size; i += 3) {
        const int n = size - i < 3 ? size - i : 3;
        unsigned group = static_cast<unsigned>(bytes[i]) << 16;
        if (n > 1) group |= static_cast<unsigned>(bytes[i + 1]) << 8;
        if (n > 2) group |= bytes[i + 2];
        const char quad[5] = {kBase64Alphabet[group >> 18 & 63], kBase64Alphabet[group >> 12 & 63],
                              n > 1 ? kBase64Alphabet[group >> 6 & 63] : '=',
                              n > 2 ? kBase64Alphabet[group & 63] : '=', 0};
        if (!text->Append(quad)) return false;
    }
    return true;
}

// A value as the constructor's source writes it for a parameter of this kind.
bool appendValue(WDL_String* text, const IParam* param) {
    switch (param->Type()) {
    case IParam::kTypeInt:
    case IParam::kTypeEnum: return text->AppendFormatted(0, "%d", param->Int());
    case IParam::kTypeBool: return text->Append(param->Bool() ? "true" : "false");
    default: return text->AppendFormatted(0, "%.6f", param->Value());
    }
}

bool writeText(const char* path, const WDL_String& text) {
    return WriteFileBytes(path, text.Get(), text.GetLength());
}

} // namespace

bool IPlugBase::DumpPresetSrcCode(const char* path, const char* const* names) {
    TRACE_CALL("%s", path ? path : "");
    if (!names) return false;
    WDL_MutexLock lock(&mMutex);
    WDL_String text(nullptr);
    bool ok = text.SetFormatted(0, "  MakePresetFromNamedParams(\"name\", %d", NParams());
    for (int i = 0; i < NParams() && ok; ++i) {
        ok = names[i] && text.AppendFormatted(0, ",\n    %s, ", names[i]) &&
             appendValue(&text, GetParam(i));
    }
    return ok && text.Append(");\n") && writeText(path, text);
}

bool IPlugBase::DumpPresetBlob(const char* path) {
    TRACE_CALL("%s", path ? path : "");
    WDL_MutexLock lock(&mMutex);
    const IPreset* preset = mPresets.Get(mCurrentPresetIdx);
    if (!preset) return false;
    const ByteChunk& chunk = preset->mChunk;
    WDL_String text(nullptr);
    return text.Set("MakePresetFromBlob(\"name\", \"") &&
           appendBase64(&text, chunk.GetBytes(), chunk.Size()) &&
           text.AppendFormatted(0, "\", %d);\n", chunk.Size()) && writeText(path, text);
}
