#include "tests/support/GrindvoxHarness.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using grindvox::test::GrindvoxHarness;
using grindvox::test::MakeTestSignal;
using grindvox::test::StereoSignal;

namespace {

double doubleAt(const ByteChunk& chunk, int offset) {
    double value;
    std::memcpy(&value, chunk.GetBytes() + offset, sizeof value);
    return value;
}

// A Grindvox that counts the parameter changes the state traffic causes.
class CountingGrindvox : public Grindvox {
public:
    CountingGrindvox() : Grindvox(IPlugInstanceInfo()) {}
    void OnParamChange(int paramIdx) override {
        Grindvox::OnParamChange(paramIdx);
        changes.push_back(paramIdx);
    }
    std::vector<int> changes;
};

} // namespace

TEST(GrindvoxState, TheDefaultStateIsFiftySixBytesOfDoubles) {
    GrindvoxHarness h;
    ByteChunk chunk;
    ASSERT_TRUE(h.Plug().SerializeParams(&chunk));
    ASSERT_EQ(chunk.Size(), 56);
    EXPECT_EQ(doubleAt(chunk, 0), 0.0);     // Filter
    EXPECT_EQ(doubleAt(chunk, 8), 11000.0); // Cutoff
    EXPECT_EQ(doubleAt(chunk, 16), 0.0);    // Resonance
    EXPECT_EQ(doubleAt(chunk, 24), 16.0);   // Bits
    EXPECT_EQ(doubleAt(chunk, 48), 0.0);    // Parallel
}

TEST(GrindvoxState, ASixteenByteBlobSetsTwoZeroesTheThirdAndKeepsTheRest) {
    CountingGrindvox plug;
    plug.GetParam(Grindvox::kResonance)->Set(1.5);
    plug.GetParam(Grindvox::kBits)->Set(4.0);
    ByteChunk chunk;
    const double filter = 2.0, cutoff = 440.0;
    chunk.Put(&filter);
    chunk.Put(&cutoff);

    EXPECT_EQ(plug.UnserializeParams(&chunk, 0), -1);
    EXPECT_EQ(plug.GetParam(Grindvox::kFilter)->mValue, 2.0);
    EXPECT_EQ(plug.GetParam(Grindvox::kCutoff)->mValue, 440.0);
    EXPECT_EQ(plug.GetParam(Grindvox::kResonance)->mValue, 0.0);
    EXPECT_EQ(plug.GetParam(Grindvox::kBits)->mValue, 4.0);
    EXPECT_EQ(plug.changes, (std::vector<int>{0, 1, 2, 3, 4, 5, 6}));
}

TEST(GrindvoxState, LoadedValuesAreClampedButNotRounded) {
    GrindvoxHarness loaded, exact;
    ByteChunk chunk;
    const double values[7] = {0.0, 5.0, 0.0, 7.6, 0.0, 0.0, 0.0};
    for (double v : values)
        chunk.Put(&v);
    EXPECT_EQ(loaded.Plug().UnserializeParams(&chunk, 0), 56);
    EXPECT_EQ(loaded.Plug().GetParam(Grindvox::kCutoff)->mValue, 20.0);
    EXPECT_EQ(loaded.Plug().GetParam(Grindvox::kBits)->mValue, 7.6);

    // The quantiser runs at 7 steps: the same output as "Bits" set to exactly 7.
    exact.Set(Grindvox::kCutoff, 20.0);
    exact.Set(Grindvox::kBits, 7.0);
    const StereoSignal in = MakeTestSignal(256);
    const StereoSignal a = loaded.ProcessAll(in, 256);
    const StereoSignal b = exact.ProcessAll(in, 256);
    EXPECT_EQ(a.left, b.left);
    EXPECT_EQ(a.right, b.right);
}

TEST(GrindvoxState, TenFactoryPresetsNamedInitHoldTheDefaults) {
    GrindvoxHarness h;
    ASSERT_EQ(h.Plug().NPresets(), 10);
    ByteChunk defaults;
    h.Plug().SerializeParams(&defaults);
    for (int i = 0; i < 10; ++i)
        EXPECT_STREQ(h.Plug().GetPresetName(i), "Init") << i;

    h.Set(Grindvox::kBits, 3.0);
    EXPECT_TRUE(h.Plug().RestorePreset(9));
    EXPECT_EQ(h.Plug().GetParam(Grindvox::kBits)->mValue, 16.0);
    EXPECT_EQ(h.Plug().GetCurrentPresetIdx(), 9);
    EXPECT_FALSE(h.Plug().RestorePreset(10));
    EXPECT_EQ(h.Plug().GetCurrentPresetIdx(), 9);
}

TEST(GrindvoxState, ThePresetsBlobRoundTripsBetweenInstances) {
    GrindvoxHarness a, b;
    a.Set(Grindvox::kMixMode, 2.0);
    a.Plug().ModifyCurrentPreset("Ring");
    ByteChunk first, second;
    a.Plug().SerializePresets(&first);
    EXPECT_EQ(first.Size(), 10 * (4 + 4 + 1 + 56)); // "Ring" and "Init" both have 4 bytes
    EXPECT_EQ(b.Plug().UnserializePresets(&first, 0), first.Size());
    b.Plug().SerializePresets(&second);
    ASSERT_EQ(first.Size(), second.Size());
    EXPECT_EQ(std::memcmp(first.GetBytes(), second.GetBytes(), first.Size()), 0);
    EXPECT_EQ(b.Plug().GetParam(Grindvox::kMixMode)->mValue, 2.0);
}
