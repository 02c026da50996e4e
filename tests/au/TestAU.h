#pragma once

// A small Audio Unit built on the adapter, registered with the Component Manager in the test
// process, so that tests drive the adapter through the host calls and see what reaches the
// plug-in.
#include "au/IPlugAU.h"
#include "plugin/IMidiMsg.h"

#include <gtest/gtest.h>

#include <vector>

class TestAU : public IPlugAU {
public:
    // What the next MakePlug builds.
    struct Shape {
        const char* channelIO = "1-1 2-2";
        int sideChainChannels = 0;
        bool instrument = false;
    };
    static Shape sNextShape;

    TestAU()
        : IPlugAU(IPlugInstanceInfo(), 3, sNextShape.channelIO, 2, "TestAU", "", "Tests", 0x20304,
                  'tEst', 'TsTm', 0, false, false, sNextShape.instrument,
                  sNextShape.sideChainChannels) {
        GetParam(0)->InitInt("Steps", 2, 0, 8);
        GetParam(1)->InitDouble("Gain", 0.0, -12.0, 12.0, 0.5, "dB");
        GetParam(2)->InitBool("Switch", false);
        MakeDefaultPreset("Init", 2);
    }

    void ProcessMidiMsg(IMidiMsg* msg) override {
        midi.push_back(*msg);
        midiUnderLock.push_back(mMutex.IsHeldByCaller());
    }
    void OnParamChange(int paramIdx) override {
        IPlugAU::OnParamChange(paramIdx);
        changes.push_back(paramIdx);
    }

    std::vector<IMidiMsg> midi;
    std::vector<bool> midiUnderLock;
    std::vector<int> changes;
};

// Registers TestAU once and opens a fresh instance for every test.
class AUTest : public ::testing::Test {
public:
    static Component Registered();

protected:
    void SetUp() override;
    void TearDown() override;

    TestAU& Plug() { return *reinterpret_cast<TestAU*>(GetComponentInstanceStorage(mUnit)); }
    // Calls the entry with a hand-made parameter block, for selectors without a host call.
    ComponentResult Select(SInt16 selector, std::vector<long> args);

    void SetFormat(AudioUnitScope scope, int channels);

    AudioUnit mUnit = nullptr;
};
