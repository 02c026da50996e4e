#include "plugin/IMidiMsg.h"

#include <gtest/gtest.h>

TEST(IMidiMsg, NoteOnCarriesChannelNoteAndVelocity) {
    IMidiMsg msg;
    msg.MakeNoteOnMsg(60, 100, 17, 3);
    EXPECT_EQ(msg.mStatusByte, 0x93);
    EXPECT_EQ(msg.mSampleOffset, 17);
    EXPECT_EQ(msg.StatusMsg(), IMidiMsg::kNoteOn);
    EXPECT_EQ(msg.Channel(), 3);
    EXPECT_EQ(msg.NoteNumber(), 60);
    EXPECT_EQ(msg.Velocity(), 100);
    EXPECT_EQ(msg.Program(), -1);
    EXPECT_EQ(msg.PitchWheel(), 0.0);
}

TEST(IMidiMsg, SystemMessagesHaveNoKind) {
    IMidiMsg msg(0, 0xF8, 60, 1);
    EXPECT_EQ(msg.StatusMsg(), IMidiMsg::kNone);
    EXPECT_EQ(msg.NoteNumber(), -1);
    EXPECT_EQ(msg.Velocity(), -1);
}

TEST(IMidiMsg, AccessorsAnswerOnlyForTheirKinds) {
    IMidiMsg aftertouch(0, 0xA0, 64, 9);
    EXPECT_EQ(aftertouch.NoteNumber(), 64);
    EXPECT_EQ(aftertouch.Velocity(), -1);
    IMidiMsg program(0, 0xC5, 12, 0);
    EXPECT_EQ(program.Program(), 12);
    EXPECT_EQ(program.ControlChangeIdx(), 12) << "whatever the status";
}

TEST(IMidiMsg, PitchWheelIsClampedAndCentred) {
    IMidiMsg msg;
    msg.MakePitchWheelMsg(1.0, 0);
    EXPECT_EQ(msg.mDataByte1, 0x7F);
    EXPECT_EQ(msg.mDataByte2, 0x7F);
    msg.MakePitchWheelMsg(-1.0, 0);
    EXPECT_EQ(msg.mDataByte1, 0);
    EXPECT_EQ(msg.mDataByte2, 0);
    msg.MakePitchWheelMsg(-3.0, 0);
    EXPECT_EQ(msg.mDataByte2, 0);
    msg.MakePitchWheelMsg(0.0, 2);
    EXPECT_EQ(msg.mStatusByte, 0xE2);
    EXPECT_EQ(msg.mDataByte1, 0);
    EXPECT_EQ(msg.mDataByte2, 0x40);
    EXPECT_EQ(msg.PitchWheel(), 0.0);
    msg.MakePitchWheelMsg(0.5, 0); // 4096 + 8192 = 12288 = 0x3000
    EXPECT_EQ(msg.PitchWheel(), 0.5);
}

TEST(IMidiMsg, ControlChangeScalesToTheUnitRangeForItsController) {
    IMidiMsg msg;
    msg.MakeControlChangeMsg(10, 0.5, 1);
    EXPECT_EQ(msg.mStatusByte, 0xB1);
    EXPECT_EQ(msg.mDataByte2, 63) << "63.5 truncated";
    EXPECT_EQ(msg.ControlChange(10), 63 / 127.0);
    EXPECT_EQ(msg.ControlChange(7), -1.0);
}

TEST(IMidiMsg, NoteOffAndClearOverwriteEverything) {
    IMidiMsg msg(5, 0x99, 1, 2);
    msg.MakeNoteOffMsg(61, 3);
    EXPECT_EQ(msg.mStatusByte, 0x80);
    EXPECT_EQ(msg.mDataByte2, 0);
    EXPECT_EQ(msg.mSampleOffset, 3);
    msg.Clear();
    EXPECT_EQ(msg.mStatusByte, 0);
    EXPECT_EQ(msg.mSampleOffset, 0);
}

TEST(IMidiMsg, StatusNames) {
    EXPECT_STREQ(StatusMsgStr(IMidiMsg::kNoteOn), "noteon");
    EXPECT_STREQ(StatusMsgStr(IMidiMsg::kChannelAftertouch), "channelaftertouch");
    EXPECT_STREQ(StatusMsgStr(IMidiMsg::kNone), "none");
    EXPECT_STREQ(StatusMsgStr(static_cast<IMidiMsg::EStatusMsg>(3)), "unknown");
}
