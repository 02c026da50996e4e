#pragma once

#include "editor/IControl.h"
#include "editor/IGraphics.h"
#include "plugin/IPlugBase.h"
#include "tests/support/RecordingGraphics.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

// A plug-in with no host behind it and four parameters of every kind; it records the gestures
// and values the editor hands it.
class EditorTestPlug : public IPlugBase {
public:
    enum { kGain, kMode, kBypass, kSteps, kNumParams };

    EditorTestPlug()
        : IPlugBase(kNumParams, "1-1", 1, "EditorTest", "Product", "Maker", 0x10000, 'Edit', 'Mkr_',
                    0, false, false, false) {
        GetParam(kGain)->InitDouble("Gain", 0.0, -12.0, 12.0, 0.5, "dB");
        GetParam(kMode)->InitEnum("Mode", 1, 3);
        GetParam(kMode)->SetDisplayText(0, "Low");
        GetParam(kMode)->SetDisplayText(1, "Band");
        GetParam(kMode)->SetDisplayText(2, "High");
        GetParam(kBypass)->InitBool("Bypass", false);
        GetParam(kSteps)->InitInt("Steps", 2, 0, 8);
    }

    void BeginInformHostOfParamChange(int idx) override {
        log.push_back("begin " + std::to_string(idx));
    }
    void InformHostOfParamChange(int idx, double value) override {
        informed.push_back({idx, value});
    }
    void EndInformHostOfParamChange(int idx) override {
        log.push_back("end " + std::to_string(idx));
    }
    void InformHostOfProgramChange() override {}
    int GetSamplePos() override { return 0; }
    double GetTempo() override { return 0.0; }
    void GetTimeSig(int*, int*) override {}
    void GetTime(ITimeInfo*) override {}
    void ResizeGraphics(int w, int h) override { resized.push_back({w, h}); }
    void HostSpecificInit() override {}
    bool SendMidiMsg(IMidiMsg*) override { return false; }
    bool SendMidiMsgs(WDL_TypedBuf<IMidiMsg>*) override { return false; }

    std::vector<std::string> log;
    std::vector<std::pair<int, double>> informed;
    std::vector<std::pair<int, int>> resized;
};

// A control that writes what happens to it into a shared log, as "name event".
class ProbeControl : public IControl {
public:
    ProbeControl(IPlugBase* plug, IRECT rect, int paramIdx, std::vector<std::string>* log,
                 std::string name)
        : IControl(plug, rect, paramIdx), mLog(log), mName(std::move(name)) {}
    ~ProbeControl() override {
        if (deleted) *deleted = true;
    }

    bool Draw(IGraphics*) override {
        Note("draw");
        drawnValue = GetValue();
        if (onDraw) onDraw();
        return true;
    }
    void OnMouseDown(int x, int y, IMouseMod* mod) override {
        Note("down", x, y);
        IControl::OnMouseDown(x, y, mod);
    }
    void OnMouseUp(int x, int y, IMouseMod*) override { Note("up", x, y); }
    void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod*) override {
        Note("drag", x, y);
        drags.push_back({dX, dY});
    }
    void OnMouseDblClick(int x, int y, IMouseMod* mod) override {
        Note("dblclick", x, y);
        IControl::OnMouseDblClick(x, y, mod);
    }
    void OnMouseWheel(int x, int y, IMouseMod* mod, int d) override {
        Note("wheel", x, y);
        IControl::OnMouseWheel(x, y, mod, d);
    }
    bool OnKeyDown(int, int, int key) override {
        Note("key " + std::to_string(key));
        return takesKeys;
    }
    void OnMouseOver(int x, int y, IMouseMod*) override { Note("over", x, y); }
    void OnMouseOut() override { Note("out"); }

    std::function<void()> onDraw;
    double drawnValue = -1.0;
    bool takesKeys = true;
    bool* deleted = nullptr;
    std::vector<std::pair<int, int>> drags;

private:
    void Note(const std::string& event) { mLog->push_back(mName + " " + event); }
    void Note(const std::string& event, int x, int y) {
        Note(event + " " + std::to_string(x) + "," + std::to_string(y));
    }

    std::vector<std::string>* mLog;
    std::string mName;
};

// A context attached to the plug-in with a background and three probes, as an effect's editor
// has them: gain and mode side by side at the top, steps where the test wants it. The 200 x 100
// context is owned by the plug-in.
struct ProbeEditor {
    explicit ProbeEditor(IRECT stepsRect) {
        graphics = new RecordingGraphics(&plug, 200, 100);
        background = Attach(IRECT(0, 0, 200, 100), -1, "bg");
        gain = Attach(IRECT(10, 10, 40, 40), EditorTestPlug::kGain, "gain");
        mode = Attach(IRECT(50, 10, 80, 40), EditorTestPlug::kMode, "mode");
        steps = Attach(stepsRect, EditorTestPlug::kSteps, "steps");
        plug.AttachGraphics(graphics);
    }

    ProbeControl* Attach(IRECT rect, int paramIdx, const char* name) {
        auto* control = new ProbeControl(&plug, rect, paramIdx, &log, name);
        graphics->AttachControl(control);
        return control;
    }

    EditorTestPlug plug;
    std::vector<std::string> log;
    RecordingGraphics* graphics;
    ProbeControl* background;
    ProbeControl* gain;
    ProbeControl* mode;
    ProbeControl* steps;
};
