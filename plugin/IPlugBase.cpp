// Construction, identity, the default behaviour of the effect's hooks and the editor link. The
// buffers and processing, the state, the presets, the preset files and the source dumps live in
// IPlugBaseProcessing.cpp, IPlugBaseState.cpp, IPlugBasePresets.cpp, IPlugBasePresetFiles.cpp
// and IPlugBasePresetDumps.cpp.
#include "plugin/IPlugBase.h"

#include "editor/IGraphics.h"
#include "plugin/FixedText.h"
#include "plugin/HostLookup.h"
#include "plugin/Trace.h"
#include "plugin/Version.h"

#include <cerrno>
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
