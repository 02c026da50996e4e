// The Carbon view component through the Component Manager, as a 32-bit host drives it: Create
// finds the plug-in behind the unit and asks its editor for a control; Close closes the editor's
// window only while the unit it was made for is still open.
#include "tests/au/TestAU.h"
#include "tests/support/RecordingGraphics.h"

#include "au/IPlugAULive.h"
#include "au/IPlugAUViewFactory.h"

namespace {

ComponentResult viewEntry(ComponentParameters* params, Handle storage) {
    return IPlugAU::IPlugAUCarbonViewEntry(params, storage);
}

Component viewComponent() {
    static Component component = [] {
        ComponentDescription description = {kAudioUnitCarbonViewComponentType, 'tEst', 'TsTm', 0,
                                            0};
        return RegisterComponent(&description, viewEntry, 0, nullptr, nullptr, nullptr);
    }();
    return component;
}

// A context whose Carbon form answers a control of its own, and that counts closes.
class CarbonGraphics : public RecordingGraphics {
public:
    explicit CarbonGraphics(IPlugBase* plug, int* closes)
        : RecordingGraphics(plug), mCloses(closes) {}
    using RecordingGraphics::OpenWindow;
    void* OpenWindow(void* window, void* control) override {
        lastWindow = window;
        lastParent = control;
        return &mControl;
    }
    void CloseWindow() override {
        ++*mCloses;
        RecordingGraphics::CloseWindow();
    }
    void* ControlAnswered() { return &mControl; }

    void* lastWindow = nullptr;
    void* lastParent = nullptr;

private:
    int* mCloses;
    int mControl = 0;
};

class AUViewEntryTest : public AUTest {
protected:
    void SetUp() override {
        AUTest::SetUp();
        ASSERT_NE(viewComponent(), nullptr);
        ASSERT_EQ(OpenAComponent(viewComponent(), &mView), noErr);
    }
    void TearDown() override {
        if (mView) CloseComponent(mView);
        AUTest::TearDown();
    }
    CarbonGraphics* AttachEditor() {
        auto* graphics = new CarbonGraphics(&Plug(), &mCloses);
        Plug().AttachGraphics(graphics);
        return graphics;
    }
    OSStatus Create(ControlRef* out) {
        const Float32Point location = {0, 0}, size = {436, 108};
        return AudioUnitCarbonViewCreate(mView, mUnit, mWindow, mParent, &location, &size, out);
    }

    AudioUnitCarbonView mView = nullptr;
    int mCloses = 0;
    WindowRef mWindow = reinterpret_cast<WindowRef>(0x1000);
    ControlRef mParent = reinterpret_cast<ControlRef>(0x2000);
};

TEST_F(AUViewEntryTest, CreateHandsTheWindowToTheEditorAndAnswersItsControl) {
    CarbonGraphics* graphics = AttachEditor();
    ControlRef control = nullptr;
    EXPECT_EQ(Create(&control), noErr);
    EXPECT_EQ(graphics->lastWindow, mWindow);
    EXPECT_EQ(graphics->lastParent, mParent);
    EXPECT_EQ(control, graphics->ControlAnswered());

    EXPECT_EQ(CloseComponent(mView), noErr);
    mView = nullptr;
    EXPECT_EQ(mCloses, 1);
}

TEST_F(AUViewEntryTest, WithoutCarbonHostCreateSucceedsWithANullControl) {
    Plug().AttachGraphics(new RecordingGraphics(&Plug()));
    ControlRef control = reinterpret_cast<ControlRef>(0x1);
    EXPECT_EQ(Create(&control), noErr);
    EXPECT_EQ(control, nullptr);
}

TEST_F(AUViewEntryTest, WithoutEditorCreateFailsAndWritesNoControlAndCloseOnlyForgets) {
    ControlRef control = reinterpret_cast<ControlRef>(0x1);
    EXPECT_EQ(Create(&control), badComponentSelector);
    EXPECT_EQ(control, reinterpret_cast<ControlRef>(0x1));
    EXPECT_EQ(CloseComponent(mView), noErr);
    mView = nullptr;
}

TEST_F(AUViewEntryTest, CreateForNoUnitFails) {
    EXPECT_EQ(
        AudioUnitCarbonViewCreate(mView, nullptr, mWindow, mParent, nullptr, nullptr, nullptr),
        badComponentSelector);
}

TEST_F(AUViewEntryTest, ClosingTheViewAfterItsUnitTouchesNothing) {
    AttachEditor();
    ControlRef control = nullptr;
    ASSERT_EQ(Create(&control), noErr);
    // The unit goes first: its plug-in and editor are deleted. Closing the view afterwards must
    // not call into them (AddressSanitizer sees any touch of the freed editor).
    ASSERT_EQ(CloseComponent(mUnit), noErr);
    mUnit = nullptr;
    const int closesBefore = mCloses;
    EXPECT_EQ(CloseComponent(mView), noErr);
    mView = nullptr;
    EXPECT_EQ(mCloses, closesBefore);
}

TEST_F(AUViewEntryTest, AViewOfAClosedUnitLeavesALaterUnitAtTheSameAddressAlone) {
    AttachEditor();
    ControlRef control = nullptr;
    ASSERT_EQ(Create(&control), noErr);
    IPlugAU* first = &Plug();
    const uint64_t firstTicket = IPlugAULive::Ticket(first);
    EXPECT_NE(firstTicket, 0u);
    ASSERT_EQ(CloseComponent(mUnit), noErr);
    EXPECT_EQ(IPlugAULive::Ticket(first), 0u);
    // Whatever address the next unit's plug-in gets, the old view's ticket is not its ticket.
    ASSERT_EQ(OpenAComponent(Registered(), &mUnit), noErr);
    EXPECT_NE(IPlugAULive::Ticket(&Plug()), firstTicket);
    EXPECT_FALSE(IPlugAULive::Use(&Plug(), firstTicket, [](IPlugAU*) {}));
    EXPECT_TRUE(IPlugAULive::Use(&Plug(), IPlugAULive::Ticket(&Plug()), [](IPlugAU*) {}));
}

// The Cocoa factory as a host uses it: made by class name, asked for a view of the unit.
class TestView : public IPlugAUViewFactory {
public:
    TestView() : IPlugAUViewFactory("Test View") {}
};

class AUViewFactoryTest : public AUTest {
protected:
    AUCocoaUIBase* MakeFactory() {
        mObject = class_createInstance(NSClassFromCString("TestAU_View"), 0);
        return dynamic_cast<AUCocoaUIBase*>(mObject);
    }
    void TearDown() override {
        if (mObject) mObject->release();
        AUTest::TearDown();
    }
    NSClassRegistration<TestView> mRegistration{"TestAU_View"};
    id mObject = nil;
};

TEST_F(AUViewFactoryTest, AnswersTheEditorsViewWhateverSizeIsAskedFor) {
    auto* graphics = new RecordingGraphics(&Plug());
    Plug().AttachGraphics(graphics);
    AUCocoaUIBase* factory = MakeFactory();
    ASSERT_NE(factory, nullptr);
    EXPECT_EQ(factory->interfaceVersion(), 0u);
    auto* pool = new NSAutoreleasePool; // takes the autoreleased description
    EXPECT_STREQ(mObject->description()->UTF8String(), "Test View");
    pool->drain();
    NSView* view = factory->uiViewForAudioUnit_withSize(mUnit, NSMakeSize(10, 10));
    EXPECT_NE(view, nullptr);
    EXPECT_EQ(static_cast<void*>(view), graphics->GetWindow());
}

TEST_F(AUViewFactoryTest, AnswersNilForAUnitWithoutEditorOrWithoutUnit) {
    AUCocoaUIBase* factory = MakeFactory();
    ASSERT_NE(factory, nullptr);
    EXPECT_EQ(factory->uiViewForAudioUnit_withSize(mUnit, NSMakeSize(436, 108)), nullptr);
    EXPECT_EQ(factory->uiViewForAudioUnit_withSize(nullptr, NSMakeSize(436, 108)), nullptr);
}

} // namespace
