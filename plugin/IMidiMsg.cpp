#include "plugin/IMidiMsg.h"

#include "plugin/IParam.h"

IMidiMsg::EStatusMsg IMidiMsg::StatusMsg() const {
    const int kind = mStatusByte >> 4;
    return kind >= kNoteOff && kind <= kPitchWheel ? static_cast<EStatusMsg>(kind) : kNone;
}

int IMidiMsg::NoteNumber() const {
    switch (StatusMsg()) {
    case kNoteOn:
    case kNoteOff:
    case kPolyAftertouch: return mDataByte1;
    default: return -1;
    }
}

int IMidiMsg::Velocity() const {
    switch (StatusMsg()) {
    case kNoteOn:
    case kNoteOff: return mDataByte2;
    default: return -1;
    }
}

int IMidiMsg::Program() const {
    return StatusMsg() == kProgramChange ? mDataByte1 : -1;
}

double IMidiMsg::PitchWheel() const {
    if (StatusMsg() != kPitchWheel) return 0.0;
    const int value = mDataByte1 + mDataByte2 * 128 - 8192;
    return value / 8192.0;
}

double IMidiMsg::ControlChange(EControlChangeMsg idx) const {
    if (StatusMsg() == kControlChange && mDataByte1 == idx) return mDataByte2 / 127.0;
    return -1.0;
}

void IMidiMsg::MakeNoteOnMsg(int noteNumber, int velocity, int offset, int channel) {
    *this = IMidiMsg(offset, static_cast<unsigned char>(0x90 | channel),
                     static_cast<unsigned char>(noteNumber), static_cast<unsigned char>(velocity));
}

void IMidiMsg::MakeNoteOffMsg(int noteNumber, int offset, int channel) {
    *this = IMidiMsg(offset, static_cast<unsigned char>(0x80 | channel),
                     static_cast<unsigned char>(noteNumber), 0);
}

void IMidiMsg::MakeControlChangeMsg(EControlChangeMsg idx, double value, int channel) {
    *this = IMidiMsg(0, static_cast<unsigned char>(0xB0 | channel), static_cast<unsigned char>(idx),
                     static_cast<unsigned char>(TruncateToInt(value * 127.0)));
}

void IMidiMsg::MakePitchWheelMsg(double value, int channel) {
    int i = TruncateToInt(value * 8192.0);
    i = i > 8191 ? 16383 : (i < -8192 ? 0 : i + 8192);
    *this = IMidiMsg(0, static_cast<unsigned char>(0xE0 | channel),
                     static_cast<unsigned char>(i & 0x7F), static_cast<unsigned char>(i >> 7));
}

void IMidiMsg::Clear() {
    *this = IMidiMsg();
}

const char* StatusMsgStr(IMidiMsg::EStatusMsg status) {
    switch (status) {
    case IMidiMsg::kNone: return "none";
    case IMidiMsg::kNoteOff: return "noteoff";
    case IMidiMsg::kNoteOn: return "noteon";
    case IMidiMsg::kPolyAftertouch: return "aftertouch";
    case IMidiMsg::kControlChange: return "controlchange";
    case IMidiMsg::kProgramChange: return "programchange";
    case IMidiMsg::kChannelAftertouch: return "channelaftertouch";
    case IMidiMsg::kPitchWheel: return "pitchwheel";
    }
    return "unknown";
}
