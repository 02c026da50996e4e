#include "TestPlug.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<unsigned char> bytesOf(const ByteChunk& chunk) {
    return std::vector<unsigned char>(chunk.GetBytes(), chunk.GetBytes() + chunk.Size());
}

std::vector<double> doublesOf(const ByteChunk& chunk) {
    std::vector<double> values(static_cast<size_t>(chunk.Size()) / sizeof(double));
    std::memcpy(values.data(), chunk.GetBytes(), values.size() * sizeof(double));
    return values;
}

void putAll(ByteChunk& chunk, std::initializer_list<double> values) {
    for (double v : values)
        chunk.Put(&v);
}

} // namespace

// Three parameters of three kinds, and four preset slots.
class Presets : public ::testing::Test {
protected:
    Presets() {
        plug.GetParam(0)->InitInt("Mode", 1, 0, 3);
        plug.GetParam(1)->InitDouble("Cutoff", 1000.0, 20.0, 11000.0, 1.0);
        plug.GetParam(2)->InitBool("Parallel", false);
    }

    IPreset* Slot(int i) { return plug.Preset(i); }

    struct Plug : TestPlug {
        Plug() : TestPlug("1-1", 3, 4) {}
        IPreset* Preset(int i) { return mPresets.Get(i); }
        int presetsChanged = 0;
        void PresetsChangedByHost() override { ++presetsChanged; }
    } plug;
};

TEST_F(Presets, AnUninitialisedSlotSerialisesAsItsNameAndAZeroFlag) {
    ByteChunk chunk;
    plug.SerializePresets(&chunk);
    const std::vector<unsigned char> slot = {5, 0, 0, 0, 'e', 'm', 'p', 't', 'y', 0};
    ASSERT_EQ(chunk.Size(), 40);
    EXPECT_EQ(std::vector<unsigned char>(chunk.GetBytes(), chunk.GetBytes() + 10), slot);
}

TEST_F(Presets, ParametersSerialiseAsPlainDoublesInIndexOrder) {
    ByteChunk chunk;
    EXPECT_TRUE(plug.SerializeParams(&chunk));
    EXPECT_EQ(doublesOf(chunk), (std::vector<double>{1.0, 1000.0, 0.0}));
}

TEST_F(Presets, LoadingClampsWithoutRoundingAndTellsTheEffectOfEveryParameter) {
    ByteChunk chunk;
    putAll(chunk, {2.6, 5.0, 1.0});
    EXPECT_EQ(plug.UnserializeParams(&chunk, 0), 24);
    EXPECT_EQ(plug.GetParam(0)->mValue, 2.6);
    EXPECT_EQ(plug.GetParam(1)->mValue, 20.0);
    EXPECT_EQ(plug.changes, (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(plug.changedUnderLock, (std::vector<bool>{true, true, true}));
}

TEST_F(Presets, AShortBlobZeroesTheFirstMissingValueAndKeepsTheRest) {
    plug.GetParam(2)->Set(1.0);
    ByteChunk chunk;
    putAll(chunk, {3.0});
    EXPECT_EQ(plug.UnserializeParams(&chunk, 0), -1);
    EXPECT_EQ(plug.GetParam(0)->mValue, 3.0);
    EXPECT_EQ(plug.GetParam(1)->mValue, 20.0) << "0 clamped into the range";
    EXPECT_EQ(plug.GetParam(2)->mValue, 1.0) << "kept";
    EXPECT_EQ(plug.changes.size(), 3u);
}

TEST_F(Presets, DefaultPresetsFillTheFreeSlotsWithTheCurrentState) {
    plug.MakeDefaultPreset(nullptr, 2);
    EXPECT_STREQ(plug.GetPresetName(0), "Empty");
    EXPECT_TRUE(Slot(1)->mInitialized);
    EXPECT_FALSE(Slot(2)->mInitialized);
    EXPECT_EQ(doublesOf(Slot(1)->mChunk), (std::vector<double>{1.0, 1000.0, 0.0}));
    plug.MakeDefaultPreset("Init", 10); // more than are free: the rest is ignored
    EXPECT_STREQ(plug.GetPresetName(3), "Init");
    EXPECT_STREQ(plug.GetPresetName(4), "");
    EXPECT_FALSE(plug.MakePresetFromChunk("full", &Slot(0)->mChunk));
}

TEST_F(Presets, MakePresetReadsEachValueByTheParameterKind) {
    EXPECT_TRUE(plug.MakePreset("typed", 2, 15000.5, 1));
    EXPECT_EQ(doublesOf(Slot(0)->mChunk), (std::vector<double>{2.0, 15000.5, 1.0}))
        << "stored without clamping";
}

TEST_F(Presets, NamedParamsKeepTheCurrentValuesOfTheOthers) {
    EXPECT_TRUE(plug.MakePresetFromNamedParams("named", 1, 1, 440.0));
    EXPECT_EQ(doublesOf(Slot(0)->mChunk), (std::vector<double>{1.0, 440.0, 0.0}));
}

TEST_F(Presets, BlobsDecodeFromBase64IntoAFixedSize) {
    plug.MakePresetFromBlob("one", "AAAAAAAA8D8=", 8); // 00 00 00 00 00 00 F0 3F
    EXPECT_EQ(doublesOf(Slot(0)->mChunk), std::vector<double>{1.0});

    plug.MakePresetFromBlob("short", "AAAAAAAA8D8=", 4);
    EXPECT_EQ(Slot(1)->mChunk.Size(), 4);

    plug.MakePresetFromBlob("stops", "/w==", 3); // "=" ends the text after one byte
    EXPECT_EQ(bytesOf(Slot(2)->mChunk), (std::vector<unsigned char>{0xFF, 0, 0}));

    plug.MakePresetFromBlob("invalid", "AQID*AQID", 6); // stops at the '*'
    EXPECT_EQ(bytesOf(Slot(3)->mChunk), (std::vector<unsigned char>{1, 2, 3, 0, 0, 0}));
}

TEST_F(Presets, RestoringLoadsTheSlotAndMakesItCurrent) {
    ByteChunk chunk;
    putAll(chunk, {3.0, 500.0, 1.0});
    plug.MakeDefaultPreset("Init", 1);
    plug.MakePresetFromChunk("Bright", &chunk);
    auto* graphics = new FakeGraphics;
    plug.AttachGraphics(graphics);
    graphics->pushed.clear();

    EXPECT_TRUE(plug.RestorePreset("Bright"));
    EXPECT_EQ(plug.GetCurrentPresetIdx(), 1);
    EXPECT_EQ(plug.GetParam(1)->mValue, 500.0);
    EXPECT_EQ(plug.presetsChanged, 1);
    EXPECT_EQ(graphics->pushed.size(), 3u) << "the editor shows the restored values";

    EXPECT_FALSE(plug.RestorePreset("bright")) << "names match case-sensitively";
    EXPECT_FALSE(plug.RestorePreset(""));
    EXPECT_FALSE(plug.RestorePreset(nullptr));
    EXPECT_FALSE(plug.RestorePreset(4));
    EXPECT_EQ(plug.GetCurrentPresetIdx(), 1);
}

TEST_F(Presets, RestoringAnEmptySlotNamesItAfterTheUserPresetsBeforeIt) {
    Slot(0)->SetName("my user preset");
    Slot(1)->SetName("user preset 1");
    EXPECT_TRUE(plug.RestorePreset(3));
    EXPECT_STREQ(plug.GetPresetName(3), "user preset 3");
    EXPECT_TRUE(Slot(3)->mInitialized);
    EXPECT_EQ(doublesOf(Slot(3)->mChunk), (std::vector<double>{1.0, 1000.0, 0.0}));
    EXPECT_EQ(plug.GetCurrentPresetIdx(), 3);
}

TEST_F(Presets, ThePresetsBlobRoundTripsByteForByte) {
    ByteChunk chunk;
    putAll(chunk, {3.0, 500.0, 1.0});
    plug.MakeDefaultPreset("Init", 2);
    plug.MakePresetFromChunk("Bright", &chunk);
    ByteChunk first, second;
    plug.SerializePresets(&first);

    Plug other;
    other.GetParam(0)->InitInt("Mode", 1, 0, 3);
    other.GetParam(1)->InitDouble("Cutoff", 1000.0, 20.0, 11000.0, 1.0);
    other.GetParam(2)->InitBool("Parallel", false);
    EXPECT_EQ(other.UnserializePresets(&first, 0), first.Size());
    other.SerializePresets(&second);
    EXPECT_EQ(bytesOf(first), bytesOf(second));
    EXPECT_STREQ(other.GetPresetName(2), "Bright");
}

TEST_F(Presets, AZeroLengthNameKeepsThePreviousSlotsName) {
    ByteChunk chunk;
    const bool no = false;
    const int zero = 0;
    chunk.PutStr("first");
    chunk.Put(&no);
    chunk.Put(&zero);
    chunk.Put(&no);
    plug.UnserializePresets(&chunk, 0);
    EXPECT_STREQ(plug.GetPresetName(1), "first");
    EXPECT_STREQ(plug.GetPresetName(0), "user preset 1")
        << "the current slot was restored, and an empty one is taken as a user preset";
}

TEST_F(Presets, PruningKeepsTheOrderOfTheInitialisedSlots) {
    ByteChunk chunk;
    Slot(1)->mInitialized = true;
    Slot(1)->SetName("b");
    Slot(3)->mInitialized = true;
    Slot(3)->SetName("d");
    plug.PruneUninitializedPresets();
    ASSERT_EQ(plug.NPresets(), 2);
    EXPECT_STREQ(plug.GetPresetName(0), "b");
    EXPECT_STREQ(plug.GetPresetName(1), "d");
}

TEST_F(Presets, ModifyingTheCurrentPresetStoresTheStateAndRenames) {
    plug.MakeDefaultPreset("Init", 4);
    plug.GetParam(1)->Set(2000.0);
    plug.ModifyCurrentPreset("Mine");
    EXPECT_STREQ(plug.GetPresetName(0), "Mine");
    EXPECT_EQ(doublesOf(Slot(0)->mChunk), (std::vector<double>{1.0, 2000.0, 0.0}));
    plug.ModifyCurrentPreset("");
    EXPECT_STREQ(plug.GetPresetName(0), "Mine");
}

TEST_F(Presets, NamesKeep255Characters) {
    const std::string longName(300, 'p');
    plug.MakeDefaultPreset(longName.c_str(), 1);
    EXPECT_EQ(std::string(plug.GetPresetName(0)), longName.substr(0, 255));
}

TEST_F(Presets, ASlotWhoseValuesRunOutStillHoldsAWholeBlob) {
    ByteChunk chunk;
    const bool yes = true;
    const double mode = 2.0;
    chunk.PutStr("cut");
    chunk.Put(&yes);
    chunk.Put(&mode); // the other two values are missing
    EXPECT_EQ(plug.UnserializePresets(&chunk, 0), -1);
    EXPECT_TRUE(Slot(0)->mInitialized);
    EXPECT_EQ(doublesOf(Slot(0)->mChunk), (std::vector<double>{2.0, 20.0, 0.0}));

    ByteChunk saved;
    plug.SerializePresets(&saved);
    Plug other;
    EXPECT_EQ(other.UnserializePresets(&saved, 0), saved.Size());
}

TEST_F(Presets, ASlotEmptiedByAPresetsBlobStartsItsNewValuesAfresh) {
    plug.MakeDefaultPreset("Init", 4);
    ByteChunk chunk;
    const bool no = false;
    chunk.PutStr("gone");
    chunk.Put(&no); // slot 0 is now uninitialised but still carries its old blob
    plug.UnserializePresets(&chunk, 0);
    EXPECT_EQ(Slot(0)->mChunk.Size(), 24) << "restored as the current slot: one whole blob";

    plug.GetParam(1)->Set(3000.0);
    Slot(1)->mInitialized = false;
    EXPECT_TRUE(plug.RestorePreset(1));
    EXPECT_EQ(doublesOf(Slot(1)->mChunk), (std::vector<double>{1.0, 3000.0, 0.0}));
    Slot(2)->mInitialized = false;
    EXPECT_TRUE(plug.MakePreset("again", 0, 50.0, 0));
    EXPECT_EQ(doublesOf(Slot(2)->mChunk), (std::vector<double>{0.0, 50.0, 0.0}));
}
