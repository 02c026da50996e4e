#include "tests/au/TestAU.h"

TestAU::Shape TestAU::sNextShape;

IPlugAU* MakePlug() {
    return new TestAU;
}

namespace {

ComponentResult testEntry(ComponentParameters* params, Handle storage) {
    return IPlugAU::IPlugAUEntry(params, storage);
}

// The parameter block's 64-bit layout with room for nine argument slots.
struct ParameterBlock {
    UInt8 flags;
    UInt8 paramSize;
    SInt16 what;
    UInt32 padding;
    long params[9];
};

} // namespace

Component AUTest::Registered() {
    static Component component = [] {
        ComponentDescription description = {kAudioUnitType_Effect, 'tEst', 'TsTm', 0, 0};
        return RegisterComponent(&description, testEntry, 0, nullptr, nullptr, nullptr);
    }();
    return component;
}

void AUTest::SetUp() {
    ASSERT_NE(Registered(), nullptr);
    ASSERT_EQ(OpenAComponent(Registered(), &mUnit), noErr);
    TestAU::sNextShape = TestAU::Shape();
}

void AUTest::TearDown() {
    if (mUnit) CloseComponent(mUnit);
}

ComponentResult AUTest::Select(SInt16 selector, std::vector<long> args) {
    ParameterBlock block = {};
    block.what = selector;
    block.paramSize = static_cast<UInt8>(args.size() * sizeof(long));
    block.params[0] = reinterpret_cast<long>(mUnit);
    for (size_t i = 0; i < args.size() && i < 8; ++i)
        block.params[i + 1] = args[i];
    return IPlugAU::IPlugAUEntry(reinterpret_cast<ComponentParameters*>(&block),
                                 GetComponentInstanceStorage(mUnit));
}

void AUTest::SetFormat(AudioUnitScope scope, int channels) {
    AudioStreamBasicDescription format;
    IPlugAU::MakeDefaultASBD(&format, 44100.0, channels, false);
    ASSERT_EQ(AudioUnitSetProperty(mUnit, kAudioUnitProperty_StreamFormat, scope, 0, &format,
                                   sizeof format),
              noErr);
}
