#include "plugin/IPlugBase.h"

#include "editor/IGraphics.h"
#include "plugin/FixedText.h"
#include "plugin/HostLookup.h"
#include "plugin/Trace.h"
#include "plugin/Version.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Reads a decimal count as "%d" would; a field that cannot be read stays 0, and counts beyond
// the int range are held at its limits.
int readCount(const char*& p) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(p, &end, 10);
    if (end == p) return 0;
    p = end;
    if (value > 0x7fffffffL) return 0x7fffffff;
    if (value < -0x7fffffffL - 1) return -0x7fffffff - 1;
    return static_cast<int>(value);
}

// One "in-out" token at p.
IPlugBase::ChannelIO parseChannelIO(const char* p) {
    IPlugBase::ChannelIO io{0, 0};
    const char* start = p;
    io.mIn = readCount(p);
    if (p != start && *p == '-') {
        ++p;
        io.mOut = readCount(p);
    }
    return io;
}

template <class From, class To>
void convert(const From* from, To* to, int n) {
    for (int i = 0; i < n; ++i)
        to[i] = static_cast<To>(from[i]);
}

template <class T>
void copyAndClear(T** inputs, int nIn, T** outputs, int nOut, int nFrames) {
    if (nFrames <= 0) return;
    const size_t bytes = static_cast<size_t>(nFrames) * sizeof(T);
    for (int i = 0; i < nOut; ++i) {
        if (!outputs[i]) continue;
        if (i < nIn && inputs[i]) {
            if (inputs[i] != outputs[i]) std::memmove(outputs[i], inputs[i], bytes);
        } else {
            std::memset(outputs[i], 0, bytes);
        }
    }
}

} // namespace

IPlugBase::IPlugBase(int nParams, const char* channelIOStr, int nPresets, const char* effectName,
                     const char* productName, const char* mfrName, int vendorVersion, int uniqueID,
                     int mfrID, int latency, bool /*plugDoesMidi*/, bool plugDoesChunks,
                     bool plugIsInst)
    : mUniqueID(uniqueID), mMfrID(mfrID), mVersion(vendorVersion), mStateChunks(plugDoesChunks),
      mIsInst(plugIsInst), mLatency(latency), mPresetDir(nullptr) {
    TRACE_CALL("%s:%s", effectName ? effectName : "", CurrentTime());

    for (int i = 0; i < nParams; ++i)
        mParams.Add(new IParam);
    for (int i = 0; i < nPresets; ++i)
        mPresets.Add(new IPreset);

    CopyToField(mEffectName, effectName);
    CopyToField(mProductName, productName);
    CopyToField(mMfrName, mfrName);

    int nInputs = 0, nOutputs = 0;
    for (const char* p = channelIOStr; p;) {
        const ChannelIO io = parseChannelIO(p);
        mChannelIO.Add(new ChannelIO(io));
        if (io.mIn > nInputs) nInputs = io.mIn;
        if (io.mOut > nOutputs) nOutputs = io.mOut;
        p = std::strchr(p, ' ');
        if (p) ++p;
    }

    double** inSlots = mInData.Resize(nInputs);
    double** outSlots = mOutData.Resize(nOutputs);
    for (int i = 0; i < nInputs; ++i) {
        InChannel* channel = mInChannels.Add(new InChannel);
        channel->mSrc = inSlots + i;
        *channel->mSrc = nullptr;
    }
    for (int i = 0; i < nOutputs; ++i) {
        OutChannel* channel = mOutChannels.Add(new OutChannel);
        channel->mDest = outSlots + i;
        *channel->mDest = nullptr;
    }
}

IPlugBase::~IPlugBase() {
    TRACE_CALL("%s", mEffectName);
    delete mGraphics;
    WDL_DeleteAll(mParams);
    WDL_DeleteAll(mPresets);
    WDL_DeleteAll(mChannelIO);
    WDL_DeleteAll(mInChannels);
    WDL_DeleteAll(mOutChannels);
}

void IPlugBase::Reset() {
    TRACE_CALL("%s", mEffectName);
    WDL_MutexLock lock(&mMutex);
}

void IPlugBase::OnParamChange(int paramIdx) {
    TRACE_CALL("%d", paramIdx);
    WDL_MutexLock lock(&mMutex);
}

void IPlugBase::ProcessDoubleReplacing(double** inputs, double** outputs, int nFrames) {
    copyAndClear(inputs, NInChannels(), outputs, NOutChannels(), nFrames);
}

void IPlugBase::ProcessSingleReplacing(float** inputs, float** outputs, int nFrames) {
    copyAndClear(inputs, NInChannels(), outputs, NOutChannels(), nFrames);
}

void IPlugBase::OnActivate(bool active) {
    TRACE_CALL("%d", active);
    WDL_MutexLock lock(&mMutex);
}

void IPlugBase::ProcessMidiMsg(IMidiMsg* msg) {
    SendMidiMsg(msg);
}

bool IPlugBase::MidiNoteName(int /*noteNumber*/, char* name) {
    if (name) name[0] = 0;
    return false;
}

void IPlugBase::AttachGraphics(IGraphics* graphics) {
    if (!graphics) return;
    WDL_MutexLock lock(&mMutex);
    for (int i = 0; i < NParams(); ++i) {
        graphics->SetParameterFromPlug(i, GetParam(i)->GetNormalized(), true);
    }
    graphics->PrepDraw();
    mGraphics = graphics;
}

void IPlugBase::RedrawParamControls() {
    if (!mGraphics) return;
    for (int i = 0; i < NParams(); ++i) {
        mGraphics->SetParameterFromPlug(i, GetParam(i)->mValue, false);
    }
}

namespace {

// Resizes one channel's scratch buffer and clears it. A slot that read or wrote the old scratch
// memory (every unconnected channel, and connected ones fed through float conversion) follows
// it to the new block; a slot bound to a host's own buffer is left alone.
void resizeScratch(WDL_TypedBuf<double>& scratch, double** slot, bool connected, int frames) {
    const bool follows = !connected || *slot == scratch.Get();
    scratch.Resize(frames);
    if (scratch.GetSize() > 0) {
        std::memset(scratch.Get(), 0, static_cast<size_t>(scratch.GetSize()) * sizeof(double));
    }
    if (follows) *slot = scratch.Get();
}

} // namespace

void IPlugBase::SetBlockSize(int blockSize) {
    TRACE_CALL("%d", blockSize);
    if (blockSize < 0) blockSize = 0;
    if (blockSize == mBlockSize) return;

    // A buffer that cannot grow keeps its old size; the block size then never claims more than
    // every scratch buffer holds.
    int frames = blockSize;
    for (int i = 0; i < NInChannels(); ++i) {
        InChannel* channel = mInChannels.Get(i);
        resizeScratch(channel->mScratchBuf, channel->mSrc, channel->mConnected, blockSize);
        if (channel->mScratchBuf.GetSize() < frames) frames = channel->mScratchBuf.GetSize();
    }
    for (int i = 0; i < NOutChannels(); ++i) {
        OutChannel* channel = mOutChannels.Get(i);
        resizeScratch(channel->mScratchBuf, channel->mDest, channel->mConnected, blockSize);
        if (channel->mScratchBuf.GetSize() < frames) frames = channel->mScratchBuf.GetSize();
    }
    mBlockSize = frames;
}

double IPlugBase::GetSamplesPerBeat() {
    const double tempo = GetTempo();
    return tempo > 0.0 ? mSampleRate * 60.0 / tempo : 0.0;
}

bool IPlugBase::LegalIO(int nIn, int nOut) const {
    bool legal = false;
    for (int i = 0; i < NChannelIO() && !legal; ++i) {
        const ChannelIO* io = mChannelIO.Get(i);
        legal = (nIn < 0 || nIn == io->mIn) && (nOut < 0 || nOut == io->mOut);
    }
    TRACE_CALL("%d:%d:%s", nIn, nOut, legal ? "legal" : "illegal");
    return legal;
}

void IPlugBase::LimitToStereoIO() {
    if (NInChannels() > 2) SetInputChannelConnections(2, NInChannels() - 2, false);
    if (NOutChannels() > 2) SetOutputChannelConnections(2, NOutChannels() - 2, true);
}

bool IPlugBase::IsInChannelConnected(int chIdx) const {
    const InChannel* channel = mInChannels.Get(chIdx);
    return channel && channel->mConnected;
}

bool IPlugBase::IsOutChannelConnected(int chIdx) const {
    const OutChannel* channel = mOutChannels.Get(chIdx);
    return channel && channel->mConnected;
}

void IPlugBase::SetInputChannelConnections(int idx, int n, bool connected) {
    const int end = idx + n < NInChannels() ? idx + n : NInChannels();
    for (int i = idx < 0 ? 0 : idx; i < end; ++i) {
        InChannel* channel = mInChannels.Get(i);
        const bool wasConnected = channel->mConnected;
        channel->mConnected = connected;
        if (connected) continue;
        *channel->mSrc = channel->mScratchBuf.Get();
        // The scratch buffer may still hold the last converted block; an input that goes quiet
        // must read silence.
        if (wasConnected && channel->mScratchBuf.GetSize() > 0) {
            std::memset(channel->mScratchBuf.Get(), 0,
                        static_cast<size_t>(channel->mScratchBuf.GetSize()) * sizeof(double));
        }
    }
}

void IPlugBase::SetOutputChannelConnections(int idx, int n, bool connected) {
    const int end = idx + n < NOutChannels() ? idx + n : NOutChannels();
    for (int i = idx < 0 ? 0 : idx; i < end; ++i) {
        OutChannel* channel = mOutChannels.Get(i);
        channel->mConnected = connected;
        if (!connected) *channel->mDest = channel->mScratchBuf.Get();
    }
}

void IPlugBase::AttachInputBuffers(int idx, int n, double** ppData, int /*nFrames*/) {
    const int end = idx + n < NInChannels() ? idx + n : NInChannels();
    for (int i = idx < 0 ? 0 : idx; i < end; ++i) {
        InChannel* channel = mInChannels.Get(i);
        if (channel->mConnected) *channel->mSrc = *ppData++;
    }
}

void IPlugBase::AttachInputBuffers(int idx, int n, float** ppData, int nFrames) {
    const int end = idx + n < NInChannels() ? idx + n : NInChannels();
    for (int i = idx < 0 ? 0 : idx; i < end; ++i) {
        InChannel* channel = mInChannels.Get(i);
        if (!channel->mConnected) continue;
        double* scratch = channel->mScratchBuf.Get();
        convert(*ppData++, scratch, nFrames);
        *channel->mSrc = scratch;
    }
}

void IPlugBase::AttachOutputBuffers(int idx, int n, double** ppData) {
    const int end = idx + n < NOutChannels() ? idx + n : NOutChannels();
    for (int i = idx < 0 ? 0 : idx; i < end; ++i) {
        OutChannel* channel = mOutChannels.Get(i);
        if (channel->mConnected) *channel->mDest = *ppData++;
    }
}

void IPlugBase::AttachOutputBuffers(int idx, int n, float** ppData) {
    const int end = idx + n < NOutChannels() ? idx + n : NOutChannels();
    for (int i = idx < 0 ? 0 : idx; i < end; ++i) {
        OutChannel* channel = mOutChannels.Get(i);
        if (!channel->mConnected) continue;
        *channel->mDest = channel->mScratchBuf.Get();
        channel->mFDest = *ppData++;
    }
}

void IPlugBase::ConvertOutputs(int nFrames, bool accumulate) {
    for (int i = 0; i < NOutChannels(); ++i) {
        const OutChannel* channel = mOutChannels.Get(i);
        if (!channel->mConnected || !channel->mFDest) continue;
        const double* from = *channel->mDest;
        float* to = channel->mFDest;
        if (!accumulate) {
            convert(from, to, nFrames);
            continue;
        }
        for (int s = 0; s < nFrames; ++s)
            to[s] += static_cast<float>(from[s]);
    }
}

void IPlugBase::ProcessBuffers(double /*sampleType*/, int nFrames) {
    ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), nFrames);
}

void IPlugBase::ProcessBuffers(float /*sampleType*/, int nFrames) {
    ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), nFrames);
    ConvertOutputs(nFrames, false);
}

void IPlugBase::ProcessBuffersAccumulating(float /*sampleType*/, int nFrames) {
    ProcessDoubleReplacing(mInData.Get(), mOutData.Get(), nFrames);
    ConvertOutputs(nFrames, true);
}

void IPlugBase::PassThroughBuffers(double /*sampleType*/, int nFrames) {
    copyAndClear(mInData.Get(), NInChannels(), mOutData.Get(), NOutChannels(), nFrames);
}

void IPlugBase::PassThroughBuffers(float /*sampleType*/, int nFrames) {
    PassThroughBuffers(0.0, nFrames);
    ConvertOutputs(nFrames, false);
}

void IPlugBase::OnParamReset() {
    for (int i = 0; i < NParams(); ++i)
        OnParamChange(i);
}

void IPlugBase::SetParameterFromGUI(int idx, double normalizedValue) {
    TRACE_CALL("%d:%f", idx, normalizedValue);
    WDL_MutexLock lock(&mMutex);
    IParam* param = GetParam(idx);
    if (!param) return;
    param->SetNormalized(normalizedValue);
    InformHostOfParamChange(idx, normalizedValue);
    OnParamChange(idx);
}

void IPlugBase::DirtyParameters() {
    WDL_MutexLock lock(&mMutex);
    for (int i = 0; i < NParams(); ++i)
        InformHostOfParamChange(i, GetParam(i)->GetNormalized());
}

// ---- Versions and host ----

int IPlugBase::GetEffectVersion(bool decimal) const {
    return decimal ? GetDecimalVersion(mVersion) : mVersion;
}

void IPlugBase::GetEffectVersionStr(char* buffer) const {
    GetVersionStr(mVersion, buffer);
}

int IPlugBase::GetHostVersion(bool decimal) {
    GetHost();
    return decimal ? GetDecimalVersion(mHostVersion) : mHostVersion;
}

void IPlugBase::GetHostVersionStr(char* buffer) const {
    GetVersionStr(mHostVersion, buffer);
}

void IPlugBase::SetHost(const char* host, int version) {
    mHost = LookUpHost(host);
    mHostVersion = version;
    char versionStr[kVersionStrSize];
    GetVersionStr(version, versionStr);
    TRACE_CALL("host_%sknown:%s:%s", mHost ? "" : "un", host ? host : "", versionStr);
}

// ---- State ----

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

// ---- Presets ----

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

} // namespace

namespace {

// Marks a slot initialised under a name, with an empty blob for its new values: a slot that a
// presets blob left uninitialised may still carry the bytes of its earlier values.
void startPreset(IPreset* preset, const char* name) {
    preset->mInitialized = true;
    preset->SetName(name);
    preset->mChunk.Clear();
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

namespace {

// Reads one variadic parameter value, typed by the parameter's kind.
double nextValue(va_list& args, const IParam* param) {
    if (param->Type() == IParam::kTypeDouble) return va_arg(args, double);
    return va_arg(args, int);
}

} // namespace

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
