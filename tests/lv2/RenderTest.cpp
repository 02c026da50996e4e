// Audio through the LV2 plug-ins, loaded by lilv from the bundle, against the effect processed
// directly: bit for bit, whatever the host's run length, in stereo and mono, with parameter
// changes between runs.
#include "lv2/IPlugLV2.h"
#include "tests/lv2/LilvHost.h"
#include "tests/support/GrindvoxHarness.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>

namespace grindvox::test {
namespace {

using Signal = std::vector<std::vector<float>>;

// Parameter changes land on multiples of this, which every run length tested divides.
constexpr int kSegment = 7 * 4096;
constexpr int kFrames = 3 * kSegment;

// Three settings, one per segment, every one with the rate reducer on; all values are exact
// floats, so a control port carries them unchanged.
reference::Settings settingsAt(int frame) {
    reference::Settings s;
    switch (frame / kSegment) {
    case 0: s.filterType = 0, s.cutoff = 3000.0, s.resonance = 0.5, s.bits = 6, s.ratio = 3; break;
    case 1:
        s.filterType = 2, s.cutoff = 1200.0, s.resonance = 1.5, s.bits = 4, s.ratio = 5;
        s.mixMode = 2, s.parallel = true;
        break;
    default:
        s.filterType = 1, s.cutoff = 500.0, s.resonance = 0.25, s.bits = 12, s.ratio = 9;
        s.mixMode = 1;
        break;
    }
    return s;
}

void setControls(LilvHost& host, const reference::Settings& s) {
    const double values[kNumControls] = {double(s.filterType),  s.cutoff,        s.resonance,
                                         double(s.bits),        double(s.ratio), double(s.mixMode),
                                         s.parallel ? 1.0 : 0.0};
    for (int i = 0; i < kNumControls; ++i)
        host.SetControl(i, static_cast<float>(values[i]));
}

Signal input(int channels) {
    const StereoSignal s = MakeTestSignal(kFrames);
    Signal in(static_cast<size_t>(channels));
    for (int c = 0; c < channels; ++c) {
        const std::vector<double>& from = c == 0 ? s.left : s.right;
        in[c].assign(from.begin(), from.end());
    }
    return in;
}

// The host's float output of a double result: a subnormal float becomes a zero of its sign.
float hostFloat(double value) {
    const float f = static_cast<float>(value);
    return std::fpclassify(f) == FP_SUBNORMAL ? std::copysign(0.0f, f) : f;
}

// The effect itself, one block per segment; a mono signal's right input is silence and its
// right output is dropped, as the plug-in's unconnected channel does.
Signal direct(const Signal& in, double sampleRate) {
    GrindvoxHarness harness;
    harness.Plug().SetSampleRate(sampleRate);
    harness.Plug().Reset();
    StereoSignal from{std::vector<double>(in[0].begin(), in[0].end()),
                      std::vector<double>(kFrames, 0.0)};
    if (in.size() > 1) from.right.assign(in[1].begin(), in[1].end());
    StereoSignal out{std::vector<double>(kFrames), std::vector<double>(kFrames)};
    for (int start = 0; start < kFrames; start += kSegment) {
        harness.Apply(settingsAt(start));
        harness.Process(from, out, start, kSegment);
    }
    Signal result(in.size());
    for (size_t c = 0; c < in.size(); ++c) {
        const std::vector<double>& channel = c == 0 ? out.left : out.right;
        for (double v : channel)
            result[c].push_back(hostFloat(v));
    }
    return result;
}

Signal throughLV2(LilvHost& host, const Signal& in, int run) {
    Signal out(in.size());
    host.Render(in, out, run, [&](int frame) {
        if (frame % kSegment == 0) setControls(host, settingsAt(frame));
    });
    return out;
}

// The first frame whose bits differ, or -1.
int firstDifference(const Signal& a, const Signal& b, int* channel) {
    for (size_t c = 0; c < a.size(); ++c) {
        for (size_t i = 0; i < a[c].size(); ++i) {
            if (std::memcmp(&a[c][i], &b[c][i], sizeof(float)) != 0) {
                *channel = static_cast<int>(c);
                return static_cast<int>(i);
            }
        }
    }
    return -1;
}

void expectSameBits(const Signal& actual, const Signal& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    int channel = 0;
    const int frame = firstDifference(actual, expected, &channel);
    if (frame < 0) return;
    ADD_FAILURE() << "channel " << channel << " frame " << frame << ": " << actual[channel][frame]
                  << " instead of " << expected[channel][frame];
}

struct RenderCase {
    const char* uri;
    int channels;
    int run;
};

class LV2Render : public ::testing::TestWithParam<RenderCase> {};

TEST_P(LV2Render, EqualsTheEffectBitForBit) {
    const RenderCase& rc = GetParam();
    LilvHost host(rc.uri, 44100.0);
    ASSERT_TRUE(host.Ok());
    const Signal in = input(rc.channels);
    expectSameBits(throughLV2(host, in, rc.run), direct(in, 44100.0));
}

INSTANTIATE_TEST_SUITE_P(
    RunLengths, LV2Render,
    ::testing::Values(RenderCase{kStereoURI, 2, 1}, RenderCase{kStereoURI, 2, 7},
                      RenderCase{kStereoURI, 2, 64}, RenderCase{kStereoURI, 2, 4096},
                      RenderCase{kMonoURI, 1, 1}, RenderCase{kMonoURI, 1, 7},
                      RenderCase{kMonoURI, 1, 64}, RenderCase{kMonoURI, 1, 4096}),
    [](const auto& param) {
        return std::string(param.param.channels == 1 ? "Mono" : "Stereo") +
               std::to_string(param.param.run);
    });

IPlugLV2* adapterOf(LilvHost& host) {
    return static_cast<IPlugLV2*>(lilv_instance_get_handle(host.Instance()));
}

TEST(LV2Run, SizesItsBuffersToTheHostsMaximumAndPiecesLongerRuns) {
    LilvHost host(kStereoURI, 48000.0, 64);
    ASSERT_TRUE(host.Ok());
    EXPECT_EQ(adapterOf(host)->GetBlockSize(), 64);
    const Signal in = input(2);
    // Runs of a segment each: 448 pieces of 64 frames inside every run.
    expectSameBits(throughLV2(host, in, kSegment), direct(in, 48000.0));
}

TEST(LV2Run, WithoutFeaturesPiecesRunsBeyondItsDefaultBlock) {
    LilvHost host(kStereoURI, 96000.0);
    ASSERT_TRUE(host.Ok());
    EXPECT_EQ(adapterOf(host)->GetBlockSize(), IPlugLV2::kDefaultBlockSize);
    const Signal in = input(2);
    expectSameBits(throughLV2(host, in, kSegment), direct(in, 96000.0));
}

TEST(LV2Run, InPlaceBuffersGiveTheSameAudio) {
    LilvHost host(kStereoURI, 44100.0);
    ASSERT_TRUE(host.Ok());
    const Signal in = input(2);
    Signal buffers = in;
    for (int start = 0; start < kFrames; start += 512) {
        if (start % kSegment == 0) setControls(host, settingsAt(start));
        for (int c = 0; c < 2; ++c)
            host.Connect(c, buffers[c].data() + start, buffers[c].data() + start);
        host.Run(512);
    }
    expectSameBits(buffers, direct(in, 44100.0));
}

TEST(LV2Run, ActivateStartsOverFromSilence) {
    LilvHost host(kMonoURI, 44100.0);
    ASSERT_TRUE(host.Ok());
    const Signal in = input(1);
    const Signal first = throughLV2(host, in, 4096);
    lilv_instance_deactivate(host.Instance());
    lilv_instance_activate(host.Instance());
    expectSameBits(throughLV2(host, in, 4096), first);
}

TEST(LV2Run, ControlValuesOutsideTheRangeAreHeldToItAndNaNIsIgnored) {
    LilvHost host(kStereoURI, 44100.0);
    ASSERT_TRUE(host.Ok());
    std::vector<float> silence(16, 0.0f), out(16);
    host.Connect(0, silence.data(), out.data());
    host.Connect(1, silence.data(), out.data());
    const IPlugLV2* plug = adapterOf(host);

    host.SetControl(3, 99.0f); // Bits
    host.SetControl(1, -5.0f); // Cutoff
    host.SetControl(4, 3.0f);  // Ratio
    host.Run(16);
    EXPECT_EQ(plug->GetParam(3)->Value(), 16.0);
    EXPECT_EQ(plug->GetParam(1)->Value(), 20.0);
    EXPECT_EQ(plug->GetParam(4)->Value(), 3.0);

    host.SetControl(4, NAN);
    host.Run(16);
    EXPECT_EQ(plug->GetParam(4)->Value(), 3.0);
    host.SetControl(4, 7.0f);
    host.Run(16);
    EXPECT_EQ(plug->GetParam(4)->Value(), 7.0);
}

TEST(LV2Run, RefusesASampleRateOfZero) {
    const LilvPlugin* plugin = FindPlugin(kStereoURI);
    ASSERT_NE(plugin, nullptr);
    EXPECT_EQ(lilv_plugin_instantiate(plugin, 0.0, nullptr), nullptr);
    EXPECT_EQ(lilv_plugin_instantiate(plugin, -44100.0, nullptr), nullptr);
}

} // namespace
} // namespace grindvox::test
