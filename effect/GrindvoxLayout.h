#pragma once

// The editor's geometry and pictures, shared by the effect's constructor and the program that
// draws the pictures, so that the two cannot drift apart: seven controls in one row, each one
// frame of its picture in size, their left edges kSlotWidth apart.
namespace grindvox_layout {

constexpr int kEditorWidth = 436;
constexpr int kEditorHeight = 108;
constexpr int kFirstControlX = 20;
constexpr int kSlotWidth = 58;
constexpr int kControlTop = 40;
constexpr int kNumControls = 7;

// Every control frame's size: within its slot and within the rows under kControlTop.
constexpr int kControlWidth = 56;
constexpr int kControlHeight = 56;
static_assert(kControlWidth <= kSlotWidth, "a control frame overlaps the next slot");
static_assert(kControlTop + kControlHeight <= kEditorHeight, "a control frame leaves the panel");

constexpr int kKnobFrames = 60;
constexpr int kModeFrames = 4;
constexpr int kFilterFrames = 3;
constexpr int kParallelFrames = 2;

// Resource ids and file names (relative to the bundle's resources; the editor looks a picture
// up by its last path component).
constexpr int kBackgroundId = 105;
constexpr int kKnobId = 101;
constexpr int kModeKnobId = 102;
constexpr int kFilterSwitchId = 103;
constexpr int kParallelSwitchId = 104;
constexpr const char* kBackgroundFile = "resources/img/background.png";
constexpr const char* kKnobFile = "resources/img/knob.png";
constexpr const char* kModeKnobFile = "resources/img/mode_knob.png";
constexpr const char* kFilterSwitchFile = "resources/img/filter_switch.png";
constexpr const char* kParallelSwitchFile = "resources/img/parallel_switch.png";

// The labels the background carries over the slots, left to right ("Mix Mode" sits left of
// "Ratio").
constexpr const char* kControlLabels[kNumControls] = {"FILTER", "CUTOFF", "RESO",    "BITS",
                                                      "MODE",   "RATIO",  "PARALLEL"};

constexpr int ControlLeft(int slot) {
    return kFirstControlX + kSlotWidth * slot;
}

} // namespace grindvox_layout
