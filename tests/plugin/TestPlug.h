#pragma once

#include "plugin/IPlugBase.h"
#include "tests/support/RecordingGraphics.h"

#include <string>
#include <vector>

// A plug-in with no host behind it: it records what the base tells the host and the effect.
class TestPlug : public IPlugBase {
public:
    explicit TestPlug(const char* channelIO = "1-1 2-2", int nParams = 3, int nPresets = 2,
                      const char* name = "TestPlug")
        : IPlugBase(nParams, channelIO, nPresets, name, "Product", "Maker", 0x10203, 'Test', 'Mkr_',
                    0, false, false, false) {}

    void OnParamChange(int paramIdx) override {
        IPlugBase::OnParamChange(paramIdx);
        changes.push_back(paramIdx);
        changedUnderLock.push_back(mMutex.IsHeldByCaller());
    }

    void BeginInformHostOfParamChange(int) override {}
    void InformHostOfParamChange(int paramIdx, double normalizedValue) override {
        informed.push_back({paramIdx, normalizedValue});
    }
    void EndInformHostOfParamChange(int) override {}
    void InformHostOfProgramChange() override {}
    int GetSamplePos() override { return 0; }
    double GetTempo() override { return tempo; }
    void GetTimeSig(int*, int*) override {}
    void GetTime(ITimeInfo*) override {}
    void ResizeGraphics(int, int) override {}
    void HostSpecificInit() override {}
    bool SendMidiMsg(IMidiMsg*) override { return false; }
    bool SendMidiMsgs(WDL_TypedBuf<IMidiMsg>*) override { return false; }

    double* InSlot(int i) const { return mInData.Get()[i]; }
    double* OutSlot(int i) const { return mOutData.Get()[i]; }
    double* InScratch(int i) const { return mInChannels.Get(i)->mScratchBuf.Get(); }
    double* OutScratch(int i) const { return mOutChannels.Get(i)->mScratchBuf.Get(); }

    struct Informed {
        int idx;
        double value;
    };
    std::vector<int> changes;
    std::vector<bool> changedUnderLock;
    std::vector<Informed> informed;
    double tempo = 0.0;
};

// An editor that records what the base pushes into it.
class FakeGraphics : public RecordingGraphics {
public:
    explicit FakeGraphics(bool* deleted = nullptr) : mDeleted(deleted) {}
    ~FakeGraphics() override {
        if (mDeleted) *mDeleted = true;
    }

    void SetParameterFromPlug(int paramIdx, double value, bool normalized) override {
        pushed.push_back({paramIdx, value, normalized});
        log += "set ";
    }
    void PrepDraw() override { log += "prep "; }

    struct Pushed {
        int idx;
        double value;
        bool normalized;
    };
    std::vector<Pushed> pushed;
    std::string log;

private:
    bool* mDeleted;
};
