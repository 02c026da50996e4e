#include "au/IPlugAU.h"

#include "plugin/Trace.h"

IPlugAU::IPlugAU(IPlugInstanceInfo instanceInfo, int nParams, const char* channelIOStr,
                 int nPresets, const char* effectName, const char* productName, const char* mfrName,
                 int vendorVersion, int uniqueID, int mfrID, int latency, bool plugDoesMidi,
                 bool plugDoesChunks, bool plugIsInst, int /*nSideChainChannels*/)
    : IPlugBase(nParams, channelIOStr, nPresets, effectName, productName, mfrName, vendorVersion,
                uniqueID, mfrID, latency, plugDoesMidi, plugDoesChunks, plugIsInst),
      mBundleIdent(instanceInfo.mBundleID),
      mViewFactoryClass(instanceInfo.mCocoaViewFactoryClassName) {
    TRACE_CALL("%s", GetEffectName());
    // The base's own operation: every channel gets a cleared scratch buffer, so an unconnected
    // channel reads silence and writes where nobody reads from the first block on.
    IPlugBase::SetBlockSize(kDefaultBlockSize);
}

IPlugAU::~IPlugAU() = default;

void IPlugAU::BeginInformHostOfParamChange(int /*paramIdx*/) {}

void IPlugAU::InformHostOfParamChange(int /*paramIdx*/, double /*normalizedValue*/) {}

void IPlugAU::EndInformHostOfParamChange(int /*paramIdx*/) {}

void IPlugAU::InformHostOfProgramChange() {}

int IPlugAU::GetSamplePos() {
    return 0;
}

double IPlugAU::GetTempo() {
    return 0.0;
}

void IPlugAU::GetTimeSig(int* /*numerator*/, int* /*denominator*/) {}

void IPlugAU::GetTime(ITimeInfo* /*timeInfo*/) {}

void IPlugAU::ResizeGraphics(int /*width*/, int /*height*/) {}

void IPlugAU::HostSpecificInit() {}

bool IPlugAU::SendMidiMsg(IMidiMsg* /*msg*/) {
    return false;
}

bool IPlugAU::SendMidiMsgs(WDL_TypedBuf<IMidiMsg>* /*msgs*/) {
    return false;
}
