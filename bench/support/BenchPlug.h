#pragma once

// A plug-in with no host behind it for the editor's benchmarks: nKnobs parameters from 0 to 1,
// and every host notification answered neutrally, so that only the editor's work is measured.
#include "plugin/IPlugBase.h"

class BenchPlug : public IPlugBase {
public:
    explicit BenchPlug(int nKnobs)
        : IPlugBase(nKnobs, "2-2", 1, "Bench", "Bench", "Bench", 0x10000, 'bNch', 'BnCh', 0, false,
                    false, false) {
        for (int i = 0; i < nKnobs; ++i)
            GetParam(i)->InitDouble("Knob", 0.0, 0.0, 1.0, 0.001);
    }
    void BeginInformHostOfParamChange(int) override {}
    void InformHostOfParamChange(int, double) override {}
    void EndInformHostOfParamChange(int) override {}
    void InformHostOfProgramChange() override {}
    int GetSamplePos() override { return 0; }
    double GetTempo() override { return 0.0; }
    void GetTimeSig(int*, int*) override {}
    void GetTime(ITimeInfo*) override {}
    void ResizeGraphics(int, int) override {}
    void HostSpecificInit() override {}
    bool SendMidiMsg(IMidiMsg*) override { return false; }
    bool SendMidiMsgs(WDL_TypedBuf<IMidiMsg>*) override { return false; }
};
