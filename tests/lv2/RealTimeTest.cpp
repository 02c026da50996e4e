// The real-time promise of the LV2 plug-in, loaded by lilv as a host loads it: after the first
// run, no run allocates or touches a mutex, runs that change every control port included.
#include "tests/lv2/LilvHost.h"
#include "tests/lv2/LockCounting.h"
#include "tests/support/AllocationTracking.h"

#include <gtest/gtest.h>

#include <cmath>
#include <pthread.h>

namespace grindvox::test {
namespace {

// The hooks must see what the loaded module does, or a count of zero would prove nothing:
// instantiating allocates and activating takes the plug-in's lock, inside the module.
TEST(LV2RealTime, TheCountersSeeInsideTheModule) {
    GRINDVOX_REQUIRE_ALLOCATION_TRACKING();
    ASSERT_TRUE(LockCountingAvailable());
    const LilvPlugin* plugin = FindPlugin(kStereoURI);
    ASSERT_NE(plugin, nullptr);
    AllocationCounter allocations;
    LilvInstance* instance = lilv_plugin_instantiate(plugin, 44100.0, nullptr);
    ASSERT_NE(instance, nullptr);
    EXPECT_GT(allocations.Count(), 0);
    LockCounter locks;
    lilv_instance_activate(instance);
    EXPECT_GT(locks.Count(), 0);
    lilv_instance_free(instance);
}

class LV2RealTime : public ::testing::TestWithParam<int> {};

TEST_P(LV2RealTime, RunsAllocateAndLockNothing) {
    GRINDVOX_REQUIRE_ALLOCATION_TRACKING();
    ASSERT_TRUE(LockCountingAvailable());
    const int maxBlock = GetParam();
    for (const char* uri : {kStereoURI, kMonoURI}) {
        SCOPED_TRACE(uri);
        LilvHost host(uri, 44100.0, maxBlock);
        ASSERT_TRUE(host.Ok());
        std::vector<float> in(10000), out(10000);
        for (size_t i = 0; i < in.size(); ++i)
            in[i] = 0.5f * std::sin(0.01f * static_cast<float>(i));
        for (int c = 0; c < host.Channels(); ++c)
            host.Connect(c, in.data(), out.data() + 0);
        host.Run(64);

        for (int step = 0; step < 40; ++step) {
            // Every control moves between runs, through every value kind.
            host.SetControl(0, static_cast<float>(step % 3));
            host.SetControl(1, 100.0f + 250.0f * static_cast<float>(step));
            host.SetControl(2, 0.04f * static_cast<float>(step));
            host.SetControl(3, static_cast<float>(1 + step % 16));
            host.SetControl(4, static_cast<float>(step % 9));
            host.SetControl(5, static_cast<float>(step % 4));
            host.SetControl(6, static_cast<float>(step % 2));
            const uint32_t frames =
                step % 5 == 4 ? 10000u : static_cast<uint32_t>(1 + 97 * step % 500);
            AllocationCounter allocations;
            LockCounter locks;
            host.Run(frames);
            EXPECT_EQ(allocations.Count(), 0) << "run " << step << " of " << frames << " frames";
            EXPECT_EQ(locks.Count(), 0) << "run " << step << " of " << frames << " frames";
        }
    }
}

// Without features the plug-in keeps its default block; with a maximum it sizes to that.
INSTANTIATE_TEST_SUITE_P(BlockSizes, LV2RealTime, ::testing::Values(0, 1, 256));

} // namespace
} // namespace grindvox::test
