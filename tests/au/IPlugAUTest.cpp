#include "au/IPlugAU.h"
#include "plugin/ITimeInfo.h"

#include <gtest/gtest.h>

namespace {

IPlugInstanceInfo instanceInfo(const char* bundle, const char* viewClass) {
    IPlugInstanceInfo info;
    info.mBundleID.Set(bundle);
    info.mCocoaViewFactoryClassName.Set(viewClass);
    return info;
}

} // namespace

TEST(IPlugAU, HandsItsArgumentsToTheBaseAndKeepsTheBundleNames) {
    IPlugAU plug(instanceInfo("com.example.audiounit.Thing", "Thing_View"), 3, "1-1 2-2 0-4", 2,
                 "Effect", "Product", "Maker", 0x00020304, 0x41424344, 0x45464748, 17, true, true,
                 false, 1);
    EXPECT_STREQ(plug.GetBundleID(), "com.example.audiounit.Thing");
    EXPECT_STREQ(plug.GetViewFactoryClass(), "Thing_View");
    EXPECT_EQ(plug.NParams(), 3);
    EXPECT_EQ(plug.NPresets(), 2);
    EXPECT_EQ(plug.NChannelIO(), 3);
    EXPECT_EQ(plug.NInChannels(), 2);
    EXPECT_EQ(plug.NOutChannels(), 4);
    EXPECT_STREQ(plug.GetEffectName(), "Effect");
    EXPECT_STREQ(plug.GetProductName(), "Product");
    EXPECT_STREQ(plug.GetMfrName(), "Maker");
    EXPECT_EQ(plug.GetVersion(), 0x00020304);
    EXPECT_EQ(plug.GetUniqueID(), 0x41424344);
    EXPECT_EQ(plug.GetMfrID(), 0x45464748);
    EXPECT_EQ(plug.GetLatency(), 17);
    EXPECT_TRUE(plug.DoesStateChunks());
    EXPECT_FALSE(plug.IsInst());
}

TEST(IPlugAU, StartsWithSilentScratchBuffersOfTheDefaultBlockSize) {
    IPlugAU plug(IPlugInstanceInfo{}, 0, "2-2", 0, "Effect", "", "", 0, 0, 0, 0, false, false,
                 false, 0);
    EXPECT_EQ(plug.GetBlockSize(), 1024);
    EXPECT_STREQ(plug.GetBundleID(), "");
    // The input was never connected and reads its cleared scratch buffer; the output's slot has
    // scratch memory to be written before it is converted into the host's buffer.
    float host[1024];
    for (float& s : host)
        s = 1.0f;
    float* outs[1] = {host};
    plug.SetOutputChannelConnections(0, 1, true);
    plug.AttachOutputBuffers(0, 1, outs);
    plug.ProcessBuffers(0.0f, 1024);
    for (float s : host)
        ASSERT_EQ(s, 0.0f);
}

TEST(IPlugAU, AnswersTransportQueriesWithoutHostCallbacks) {
    IPlugAU plug(IPlugInstanceInfo{}, 1, "1-1", 0, "Effect", "", "", 0, 0, 0, 0, false, false,
                 false, 0);
    EXPECT_EQ(plug.GetTempo(), 120.0);
    EXPECT_EQ(plug.GetSamplePos(), 0);
    int num = 3, den = 8;
    plug.GetTimeSig(&num, &den);
    EXPECT_EQ(num, 3) << "left as the caller set it";
    EXPECT_EQ(den, 8);
    ITimeInfo t;
    t.mTempoBPM = 99.0;
    plug.GetTime(&t);
    EXPECT_EQ(t.mTempoBPM, 99.0);
    EXPECT_FALSE(plug.SendMidiMsg(nullptr));
}
