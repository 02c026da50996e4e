#pragma once

// A three-byte MIDI channel message with its frame offset in the current block. A plain value.
struct IMidiMsg {
    enum EStatusMsg {
        kNone = 0,
        kNoteOff = 8,
        kNoteOn = 9,
        kPolyAftertouch = 10,
        kControlChange = 11,
        kProgramChange = 12,
        kChannelAftertouch = 13,
        kPitchWheel = 14,
    };
    using EControlChangeMsg = int; // the controller number, 0-127

    IMidiMsg() = default;
    IMidiMsg(int offset, unsigned char status, unsigned char data1, unsigned char data2)
        : mSampleOffset(offset), mStatusByte(status), mDataByte1(data1), mDataByte2(data2) {}

    int Channel() const { return mStatusByte & 0x0F; }
    // The message kind, or kNone for system and unknown status bytes.
    EStatusMsg StatusMsg() const;
    // Each -1 unless the message is of a kind that carries it.
    int NoteNumber() const;
    int Velocity() const;
    int Program() const;
    // -1.0 up to 8191/8192 for pitch-wheel messages, else 0.
    double PitchWheel() const;
    int ControlChangeIdx() const { return mDataByte1; }
    // The controller's value in 0..1 when this is a change of controller idx, else -1.
    double ControlChange(EControlChangeMsg idx) const;
    void LogMsg() const {}

    // Each overwrites the whole message; the channel is ORed into the status unmasked.
    void MakeNoteOnMsg(int noteNumber, int velocity, int offset, int channel = 0);
    void MakeNoteOffMsg(int noteNumber, int offset, int channel = 0);
    void MakeControlChangeMsg(EControlChangeMsg idx, double value, int channel = 0);
    void MakePitchWheelMsg(double value, int channel = 0);
    void Clear();

    int mSampleOffset = 0;
    unsigned char mStatusByte = 0;
    unsigned char mDataByte1 = 0;
    unsigned char mDataByte2 = 0;
};

// "noteon", "pitchwheel", …; "unknown" for values that name no kind.
const char* StatusMsgStr(IMidiMsg::EStatusMsg status);
