// The panel library: the panel window's life cycle, its layout calls and
// its controls, driven through the input layer.

#include <ZMButton.h>
#include <ZMCheckBox.h>
#include <ZMPanel.h>
#include <ZMPushButton.h>
#include <ZMSlider.h>
#include <ZMValueControl.h>

#include <Application.h>
#include <InputAPI.h>
#include <StringView.h>

#include <VantrelTest.h>

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

using namespace vantrel::testing;

class ZMParam {
public:
	long level = 5;
};

namespace {

// The application object, collecting what panels post to it.
class TestApp : public BApplication {
public:
	TestApp() : BApplication("application/x-vnd.panelkit-test") {}
	void MessageReceived(BMessage* message) override
	{
		std::lock_guard<std::mutex> guard(lock);
		received.push_back(*message);
	}
	size_t Count()
	{
		std::lock_guard<std::mutex> guard(lock);
		return received.size();
	}
	std::mutex lock;
	std::vector<BMessage> received;
};

class Panel : public ZMPanel {
public:
	Panel(ZMParam* element) : ZMPanel(BPoint(40, 30), element, "Filter", true) {}
	void MessageReceived(BMessage* message) override
	{
		std::lock_guard<std::mutex> guard(lock);
		received.push_back(*message);
	}
	std::vector<uint32> Codes()
	{
		std::lock_guard<std::mutex> guard(lock);
		std::vector<uint32> codes;
		for (const BMessage& m : received)
			codes.push_back(m.what);
		return codes;
	}
	std::mutex lock;
	std::vector<BMessage> received;
};

class CountingSlider : public ZMSlider {
public:
	using ZMSlider::ZMSlider;
	void ValueAct(long v) override
	{
		acts.push_back(v);
		if (Window())
			threads.push_back(find_thread(nullptr));
	}
	std::vector<long> acts;
	std::vector<thread_id> threads;
};

class PanelKitTest : public ::testing::Test {
protected:
	static void SetUpTestSuite()
	{
		app = new TestApp;
		appThread = std::thread([] { app->Run(); });
		ASSERT_TRUE(app->WaitUntilRunning(kDeadline));
	}
	static void TearDownTestSuite()
	{
		app->Quit();
		appThread.join();
		delete app;
	}
	void TearDown() override
	{
		if (panel)
			panel->Close();
	}

	static TestApp* app;
	static std::thread appThread;
	ZMParam element;
	Panel* panel = new Panel(&element);
};

TestApp* PanelKitTest::app = nullptr;
std::thread PanelKitTest::appThread;

BMessage* PanelMessage(int32 n)
{
	BMessage* message = new BMessage('VPNL');
	message->AddInt32("n", n);
	return message;
}

}  // namespace

TEST_F(PanelKitTest, KeepsTheFirstPanelMessageUntilTheUserCloses)
{
	EXPECT_TRUE(panel->IsHidden());
	bool listed = false;
	for (int32 i = 0; i < app->CountWindows(); i++)
		listed = listed || app->WindowAt(i) == panel;
	EXPECT_TRUE(listed);
	EXPECT_EQ(panel->element, &element);
	EXPECT_EQ(panel->panelMessage, nullptr);
	BMessage* first = PanelMessage(1);
	EXPECT_EQ(panel->Present(first, "Notes"), 0);
	EXPECT_FALSE(panel->IsHidden());
	EXPECT_STREQ(panel->Title(), "Notes");
	EXPECT_EQ(panel->panelMessage, first);

	// A second call raises the panel and does not take the message.
	BMessage* second = PanelMessage(2);
	panel->Minimize(true);
	EXPECT_EQ(panel->Present(second, "Other"), 0);
	EXPECT_EQ(panel->panelMessage, first);
	EXPECT_STREQ(panel->Title(), "Notes");
	EXPECT_FALSE(panel->IsHidden());
	EXPECT_FALSE(panel->IsMinimized());
	delete second;

	// The user closes it: hidden, the message goes to the application.
	size_t before = app->Count();
	ASSERT_EQ(platform_input::CloseWindow(panel), B_OK);
	EXPECT_TRUE(panel->IsHidden());
	ASSERT_TRUE(WaitFor([&] { return app->Count() == before + 1; }));
	EXPECT_EQ(app->received.back().GetInt32("n", 0), 1);
	panel->Lock();
	EXPECT_EQ(panel->panelMessage, nullptr);
	panel->Unlock();

	// The next Present hands over a fresh message.
	BMessage* third = PanelMessage(3);
	panel->Present(third, "Notes");
	EXPECT_EQ(panel->panelMessage, third);
	EXPECT_FALSE(panel->IsHidden());
}

TEST_F(PanelKitTest, LayoutPlacesControlsRelativeToTheLastOne)
{
	panel->SetSpacing(5);
	panel->SetMargin(4);
	BRect first = panel->NextFrameBelow(80, 12);
	EXPECT_EQ(first, BRect(4, 4, 84, 16));
	panel->AddChild(new BStringView(first, "title", "Set Chan:"));
	BRect below = panel->NextFrameBelow(40, 12);
	EXPECT_EQ(below, BRect(4, 21, 44, 33));
	panel->AddChild(new BStringView(below, "b", "b"));
	EXPECT_EQ(panel->NextFrameRight(30, 10), BRect(49, 21, 79, 31));
	panel->AddChild(new BStringView(panel->NextFrameRight(30, 10), "c", "c"));
	EXPECT_EQ(panel->NextBelowAtLeft(10, 10), BRect(4, 38, 14, 48));
	EXPECT_EQ(panel->NextRightAtTop(10, 10), BRect(89, 4, 99, 14));
	// The panel grew to hold its controls.
	EXPECT_GE(panel->Bounds().right, 84 + 4);
	EXPECT_GE(panel->Bounds().bottom, 33 + 4);

	BStringView* text = new BStringView(BRect(0, 0, 1, 1), "t", "");
	panel->SetViewBoundsFromString(text, "Event Type:", 1, 5);
	font_height fh;
	text->GetFontHeight(&fh);
	EXPECT_EQ(text->Frame().Width(), text->StringWidth("Event Type:") + 1);
	EXPECT_EQ(text->Frame().Height(), std::ceil(fh.ascent + fh.descent) + 5);
	delete text;
	ZMCheckBox box(BRect(0, 0, 1, 1), "event", "Note Off", nullptr);
	box.SetBoundsFromString("Note Off", 3, 0);
	EXPECT_GT(box.Frame().Width(), box.StringWidth("Note Off") + 3);
}

TEST_F(PanelKitTest, SliderStoresEveryChangeAndPostsSmupOnRelease)
{
	CountingSlider* slider = new CountingSlider(BRect(4, 4, 204, 34), 0, 127, &element.level, "Velocity:",
		&element);
	EXPECT_EQ(slider->Value(), 5);
	slider->SetValue(300);
	EXPECT_EQ(element.level, 127);
	EXPECT_EQ(slider->acts, std::vector<long>{127});
	panel->AddChild(slider);
	panel->Present(PanelMessage(1), "Filter");
	slider->acts.clear();

	ASSERT_EQ(platform_input::DragSlider(panel, "Velocity:", 64), B_OK);
	EXPECT_EQ(element.level, 64);
	EXPECT_EQ(slider->Value(), 64);
	ASSERT_FALSE(slider->acts.empty());
	EXPECT_EQ(slider->acts.back(), 64);
	for (thread_id thread : slider->threads)
		EXPECT_EQ(thread, panel->Thread());
	std::vector<uint32> codes = panel->Codes();
	ASSERT_EQ(codes.size(), 1u);
	EXPECT_EQ(codes[0], uint32('smup'));
	EXPECT_EQ(panel->received[0].GetInt32("value", -1), 64);
	EXPECT_EQ(panel->received[0].GetPointer("source"), slider);

	// With a message set, every change the user makes posts it too.
	panel->Lock();
	slider->SetMessage(new BMessage('capt'));
	slider->SetSnoozeAmount(10000);
	EXPECT_EQ(slider->SnoozeAmount(), 10000);
	panel->Unlock();
	ASSERT_EQ(platform_input::DragSlider(panel, "Velocity:", 0), B_OK);
	codes = panel->Codes();
	EXPECT_EQ(codes.back(), uint32('smup'));
	EXPECT_EQ(codes[codes.size() - 2], uint32('capt'));
	EXPECT_EQ(element.level, 0);
}

TEST_F(PanelKitTest, ButtonsAndCheckBoxSendTheirMessages)
{
	panel->AddChild(new ZMButton(BRect(4, 4, 54, 24), "OK button", "RESET", new BMessage('rset'), 8, 2));
	panel->AddChild(new ZMPushButton(BRect(60, 4, 110, 24), "run", " RUN ", make_color(0, 200, 0),
		new BMessage('plbt')));
	ZMCheckBox* box = new ZMCheckBox(BRect(4, 30, 100, 44), "strict", "Don't Block", new BMessage('dbck'));
	panel->AddChild(box);
	panel->Present(PanelMessage(1), "Filter");
	ASSERT_EQ(platform_input::Click(panel, "OK button"), B_OK);
	ASSERT_EQ(platform_input::Click(panel, "RUN"), B_OK);
	ASSERT_EQ(platform_input::Click(panel, "Don't Block"), B_OK);
	EXPECT_EQ(panel->Codes(), (std::vector<uint32>{'rset', 'plbt', 'dbck'}));
	EXPECT_EQ(box->Value(), 1);
	EXPECT_EQ(panel->received[2].GetPointer("source"), box);
}

TEST_F(PanelKitTest, ValueControlKeepsItsEntryWithinTheLimits)
{
	ZMValueControl* base = new ZMValueControl(BRect(4, 4, 120, 22), "Base", "CC Base:", new BMessage('base'));
	base->Constrain(2, 127, 0);
	ZMValueControl* bpm = new ZMValueControl(BRect(4, 30, 120, 48), "BPM", "BPM", new BMessage('tbpm'));
	bpm->SetText("120.0");
	panel->AddChild(base);
	panel->AddChild(bpm);
	panel->Present(PanelMessage(1), "Filter");

	struct Case {
		const char* typed;
		const char* text;
	} cases[] = {
		{"300\n", "127"},
		{"-5\n", "0"},
		{"4x2\n", "42"},  // letters are refused as they are typed
	};
	for (const Case& c : cases) {
		ASSERT_EQ(platform_input::TypeText(panel, "Base", c.typed), B_OK) << c.typed;
		EXPECT_STREQ(base->Text(), c.text) << c.typed;
	}
	EXPECT_EQ(panel->Codes(), (std::vector<uint32>{'base', 'base', 'base'}));
	ASSERT_EQ(platform_input::TypeText(panel, "BPM", "90.5\n"), B_OK);
	EXPECT_STREQ(bpm->Text(), "90.5");
	EXPECT_EQ(panel->Codes().back(), uint32('tbpm'));
}
