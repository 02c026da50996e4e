#include "lv2/IPlugLV2UI.h"

#include "editor/IGraphics.h"
#include "plugin/Trace.h"

#include <cmath>

IPlugLV2UI::IPlugLV2UI(IPlugInstanceInfo instanceInfo, int nParams, const char* channelIOStr,
                       int nPresets, const char* effectName, const char* productName,
                       const char* mfrName, int vendorVersion, int uniqueID, int mfrID, int latency,
                       bool plugDoesMidi, bool plugDoesChunks, bool plugIsInst,
                       int /*nSideChainChannels*/)
    : IPlugBase(nParams, channelIOStr, nPresets, effectName, productName, mfrName, vendorVersion,
                uniqueID, mfrID, latency, plugDoesMidi, plugDoesChunks, plugIsInst),
      mWriteFunction(instanceInfo.mWriteFunction), mController(instanceInfo.mController),
      mTouch(instanceInfo.mTouch), mResize(instanceInfo.mResize),
      mBundleID(instanceInfo.mBundleID ? instanceInfo.mBundleID : "") {
    TRACE_CALL("%s", GetEffectName());
}

IPlugLV2UI::~IPlugLV2UI() = default;

void IPlugLV2UI::PortEvent(uint32_t port, uint32_t bufferSize, uint32_t format,
                           const void* buffer) {
    if (format != 0 || bufferSize != sizeof(float) || !buffer) return;
    if (port >= static_cast<uint32_t>(NParams())) return;
    const float value = *static_cast<const float*>(buffer);
    if (std::isnan(value)) return;
    const int idx = static_cast<int>(port);
    TRACE_CALL("%d:%f", idx, value);
    WDL_MutexLock lock(&mMutex);
    GetParam(idx)->Set(value);
    // The editor shows the value; nothing goes back to the host, which has it already.
    if (IGraphics* graphics = GetGUI()) graphics->SetParameterFromPlug(idx, value, false);
    OnParamChange(idx);
}

void IPlugLV2UI::BeginInformHostOfParamChange(int paramIdx) {
    Touch(paramIdx, true);
}

void IPlugLV2UI::InformHostOfParamChange(int paramIdx, double /*normalizedValue*/) {
    const IParam* param = GetParam(paramIdx);
    if (!param || !mWriteFunction) return;
    // The port carries the parameter in its own units, as the base holds it.
    const float value = static_cast<float>(param->Value());
    TRACE_CALL("%d:%f", paramIdx, value);
    mWriteFunction(mController, static_cast<uint32_t>(paramIdx), sizeof value, 0, &value);
}

void IPlugLV2UI::EndInformHostOfParamChange(int paramIdx) {
    Touch(paramIdx, false);
}

void IPlugLV2UI::ResizeGraphics(int width, int height) {
    if (!mResize || !mResize->ui_resize) return;
    // The host sizes its window in device pixels.
    const int scale = GetGUI() ? GetGUI()->DisplayScale() : 1;
    mResize->ui_resize(mResize->handle, width * scale, height * scale);
}

void IPlugLV2UI::Touch(int paramIdx, bool grabbed) {
    if (!mTouch || !mTouch->touch || !GetParam(paramIdx)) return;
    mTouch->touch(mTouch->handle, static_cast<uint32_t>(paramIdx), grabbed);
}
