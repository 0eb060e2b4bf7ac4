// The headless interface kit: windows with their own threads, view trees,
// controls and the input layer that acts as a user would.

#include <Alert.h>
#include <MessageFilter.h>
#include <Application.h>
#include <Button.h>
#include <CheckBox.h>
#include <InputAPI.h>
#include <ListView.h>
#include <MenuBar.h>
#include <MenuItem.h>
#include <PopUpMenu.h>
#include <RadioButton.h>
#include <Slider.h>
#include <StringView.h>
#include <TextControl.h>
#include <Window.h>

#include <VantrelTest.h>

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <vector>

using namespace vantrel::testing;
using platform_input::Click;

namespace {

// A window that records every message reaching MessageReceived and the
// thread it arrived on.
class RecordingWindow : public BWindow {
public:
	explicit RecordingWindow(const char* title = "test")
		: BWindow(BRect(50, 50, 250, 250), title, B_TITLED_WINDOW, 0)
	{
	}

	void MessageReceived(BMessage* message) override
	{
		std::lock_guard<std::mutex> guard(lock);
		messages.push_back(*message);
		threads.push_back(find_thread(nullptr));
	}

	std::vector<BMessage> Received()
	{
		std::lock_guard<std::mutex> guard(lock);
		return messages;
	}

	std::mutex lock;
	std::vector<BMessage> messages;
	std::vector<thread_id> threads;
};

class InterfaceTest : public ::testing::Test {
protected:
	void TearDown() override
	{
		if (window) {
			window->Lock();
			window->Quit();
		}
	}

	// Shows the window and waits until its thread runs.
	void Show()
	{
		window->Show();
		ASSERT_EQ(platform_input::WaitUntilIdle(window), B_OK);
	}

	RecordingWindow* window = new RecordingWindow;
};

}  // namespace

TEST_F(InterfaceTest, WindowStartsHiddenAndRunsItsThreadFromTheFirstShow)
{
	EXPECT_TRUE(window->IsHidden());
	EXPECT_LT(window->Thread(), 0);
	EXPECT_EQ(window->Frame(), BRect(50, 50, 250, 250));
	EXPECT_EQ(window->Bounds(), BRect(0, 0, 200, 200));
	Show();
	EXPECT_FALSE(window->IsHidden());
	EXPECT_GE(window->Thread(), 0);
	window->Lock();
	window->Hide();
	EXPECT_TRUE(window->IsHidden());
	window->Show();
	EXPECT_FALSE(window->IsHidden());
	window->Unlock();
}

TEST_F(InterfaceTest, ControlMessageReachesItsWindowOnTheWindowThread)
{
	BButton* button = new BButton(BRect(10, 10, 80, 30), "ok", "OK", new BMessage('okbt'));
	window->AddChild(button);
	Show();
	ASSERT_EQ(Click(window, "OK"), B_OK);
	std::vector<BMessage> got = window->Received();
	ASSERT_EQ(got.size(), 1u);
	EXPECT_EQ(got[0].what, uint32('okbt'));
	EXPECT_EQ(got[0].GetPointer("source"), button);
	EXPECT_GT(got[0].GetInt64("when", 0), 0);
	EXPECT_EQ(window->threads[0], window->Thread());
	EXPECT_EQ(button->Value(), B_CONTROL_OFF);
}

TEST_F(InterfaceTest, RadioButtonsAreExclusiveAmongSiblingsOnly)
{
	BView* left = new BView(BRect(0, 0, 90, 100), "left", B_FOLLOW_NONE, 0);
	BView* right = new BView(BRect(100, 0, 190, 100), "right", B_FOLLOW_NONE, 0);
	std::vector<BRadioButton*> a, b;
	for (int i = 0; i < 3; i++) {
		std::string label = "a" + std::to_string(i);
		a.push_back(new BRadioButton(BRect(0, i * 20, 80, i * 20 + 15), label.c_str(), label.c_str(),
			new BMessage('RBTN')));
		left->AddChild(a.back());
		label = "b" + std::to_string(i);
		b.push_back(new BRadioButton(BRect(0, i * 20, 80, i * 20 + 15), label.c_str(), label.c_str(),
			new BMessage('RBTN')));
		right->AddChild(b.back());
	}
	window->AddChild(left);
	window->AddChild(right);
	a[0]->SetValue(1);
	b[2]->SetValue(1);
	Show();
	ASSERT_EQ(Click(window, "a1"), B_OK);
	ASSERT_EQ(Click(window, "b0"), B_OK);
	window->Lock();
	EXPECT_EQ(a[0]->Value(), 0);
	EXPECT_EQ(a[1]->Value(), 1);
	EXPECT_EQ(a[2]->Value(), 0);
	EXPECT_EQ(b[0]->Value(), 1);
	EXPECT_EQ(b[2]->Value(), 0);
	// Switching one on from code switches its siblings off too.
	a[2]->SetValue(1);
	EXPECT_EQ(a[1]->Value(), 0);
	window->Unlock();
	// Clicking the one that is on keeps it on and still sends.
	ASSERT_EQ(Click(window, "a2"), B_OK);
	EXPECT_EQ(a[2]->Value(), 1);
	EXPECT_EQ(window->Received().size(), 3u);
}

TEST_F(InterfaceTest, CheckBoxTogglesOnEachClick)
{
	BCheckBox* box = new BCheckBox(BRect(5, 5, 100, 20), "event", "Note On", new BMessage('KEYN'));
	window->AddChild(box);
	Show();
	ASSERT_EQ(Click(window, "Note On"), B_OK);
	EXPECT_EQ(box->Value(), 1);
	ASSERT_EQ(Click(window, "event"), B_OK);
	EXPECT_EQ(box->Value(), 0);
	std::vector<BMessage> got = window->Received();
	ASSERT_EQ(got.size(), 2u);
	EXPECT_EQ(got[0].GetInt32("be:value", -1), 1);
	EXPECT_EQ(got[1].GetInt32("be:value", -1), 0);
}

TEST_F(InterfaceTest, FiltersOnAViewSeeItsEventsFirst)
{
	BCheckBox* box = new BCheckBox(BRect(5, 5, 100, 20), "box", "Box", new BMessage('KEYN'));
	std::atomic<int> seen{0};
	static std::atomic<int>* counter;
	counter = &seen;
	box->AddFilter(new BMessageFilter(B_MOUSE_UP, [](BMessage*, BHandler**, BMessageFilter*) {
		(*counter)++;
		return B_SKIP_MESSAGE;
	}));
	window->AddChild(box);
	Show();
	ASSERT_EQ(Click(window, "Box"), B_OK);
	EXPECT_EQ(seen, 1);
	EXPECT_EQ(box->Value(), 0);  // the release never reached the box
	EXPECT_TRUE(window->Received().empty());
}

TEST_F(InterfaceTest, MenuLabelFollowsTheMarkedItem)
{
	BMenuBar* bar = new BMenuBar(BRect(0, 0, 200, 10), "bar");
	BPopUpMenu* menu = new BPopUpMenu("Mark 1");
	for (int n = 1; n <= 8; n++) {
		BMessage* message = new BMessage('MARK');
		message->AddInt8("mark", int8(1 << (n - 1)));
		menu->AddItem(new BMenuItem(("Mark " + std::to_string(n)).c_str(), message));
	}
	bar->AddItem(menu);
	window->AddChild(bar);
	EXPECT_STREQ(menu->Superitem()->Label(), "Mark 1");
	EXPECT_EQ(menu->FindMarked(), nullptr);
	Show();
	ASSERT_EQ(platform_input::ChooseMenuItem(window, "Mark 8"), B_OK);
	window->Lock();
	EXPECT_STREQ(menu->Superitem()->Label(), "Mark 8");
	EXPECT_EQ(menu->FindMarked(), menu->ItemAt(7));
	menu->ItemAt(2)->SetMarked(true);
	EXPECT_STREQ(menu->Superitem()->Label(), "Mark 3");
	EXPECT_FALSE(menu->ItemAt(7)->IsMarked());
	window->Unlock();
	std::vector<BMessage> got = window->Received();
	ASSERT_EQ(got.size(), 1u);
	EXPECT_EQ(got[0].what, uint32('MARK'));
	EXPECT_EQ(uint8(got[0].GetInt8("mark", 0)), 128);
	EXPECT_EQ(got[0].GetInt32("index", -1), 7);
	std::string why;
	EXPECT_EQ(platform_input::ChooseMenuItem(window, "Mark 9", nullptr, &why), B_NAME_NOT_FOUND);
	EXPECT_NE(why.find("Mark 9"), std::string::npos);
}

TEST_F(InterfaceTest, SliderDragSendsModificationsAndOneMessageOnRelease)
{
	BSlider* slider = new BSlider(BRect(10, 10, 190, 50), "level", "Level", new BMessage('done'), 0, 100);
	slider->SetModificationMessage(new BMessage('modi'));
	window->AddChild(slider);
	Show();
	ASSERT_EQ(platform_input::DragSlider(window, "level", 73), B_OK);
	EXPECT_EQ(slider->Value(), 73);
	std::vector<BMessage> got = window->Received();
	ASSERT_FALSE(got.empty());
	EXPECT_EQ(got.back().what, uint32('done'));
	EXPECT_EQ(got.back().GetInt32("be:value", -1), 73);
	for (size_t i = 0; i + 1 < got.size(); i++)
		EXPECT_EQ(got[i].what, uint32('modi'));
	// Dragging beyond the end stops at the limit.
	ASSERT_EQ(platform_input::DragSlider(window, "level", 500), B_OK);
	EXPECT_EQ(slider->Value(), 100);
}

TEST_F(InterfaceTest, TypingEditsTheFieldAndEnterSendsItsMessage)
{
	BTextControl* field = new BTextControl(BRect(10, 10, 190, 30), "name", "Name:", "abc",
		new BMessage('entr'));
	field->SetModificationMessage(new BMessage('edit'));
	window->AddChild(field);
	Show();
	// Without replacing: the caret goes to the end; Backspace removes.
	ASSERT_EQ(platform_input::TypeText(window, "name", "de\b\bXY", false), B_OK);
	EXPECT_STREQ(field->Text(), "abcXY");
	std::vector<BMessage> got = window->Received();
	ASSERT_FALSE(got.empty());
	for (const BMessage& message : got)
		EXPECT_EQ(message.what, uint32('edit'));
	ASSERT_EQ(platform_input::TypeText(window, "Name:", "42\n"), B_OK);
	EXPECT_STREQ(field->Text(), "42");
	got = window->Received();
	EXPECT_EQ(got.back().what, uint32('entr'));
	EXPECT_EQ(got.back().GetPointer("source"), field);
}

TEST_F(InterfaceTest, TextViewKeysEditAroundTheCaret)
{
	BTextView* text = new BTextView(BRect(10, 10, 190, 100), "text", BRect(0, 0, 180, 90),
		B_FOLLOW_ALL, B_WILL_DRAW);
	window->AddChild(text);
	text->SetText("hello");
	struct Case {
		const char* keys;
		const char* result;
		int32 caret;
	} cases[] = {
		{"\x1c\x1c!", "hel!lo", 4},               // left twice, insert
		{"\x01>", ">hello", 1},                    // home
		{"\x1c\x1c\x7f", "helo", 3},              // delete after the caret
		{" w\nx", "hello w\nx", 9},                // Enter is a new line
		{"\x04\b\b", "hel", 3},                  // end, backspace twice
	};
	Show();
	for (const Case& c : cases) {
		window->Lock();
		text->SetText("hello");
		window->Unlock();
		ASSERT_EQ(platform_input::TypeText(window, "text", c.keys, false), B_OK) << c.keys;
		window->Lock();
		int32 start, end;
		text->GetSelection(&start, &end);
		EXPECT_STREQ(text->Text(), c.result) << c.keys;
		EXPECT_EQ(start, c.caret) << c.keys;
		EXPECT_EQ(start, end);
		window->Unlock();
	}
}

TEST_F(InterfaceTest, ListRowsSelectAndInvoke)
{
	BListView* list = new BListView(BRect(10, 10, 190, 190), "files", B_MULTIPLE_SELECTION_LIST);
	std::vector<BStringItem*> items;
	for (int i = 0; i < 30; i++) {
		items.push_back(new BStringItem(("row " + std::to_string(i)).c_str()));
		list->AddItem(items.back());
	}
	list->SetSelectionMessage(new BMessage('slct'));
	list->SetInvocationMessage(new BMessage('invk'));
	window->AddChild(list);
	Show();
	ASSERT_EQ(platform_input::SelectRows(window, "files", {2, 5, 25}, true), B_OK);
	window->Lock();
	EXPECT_EQ(list->CurrentSelection(0), 2);
	EXPECT_EQ(list->CurrentSelection(1), 5);
	EXPECT_EQ(list->CurrentSelection(2), 25);
	EXPECT_EQ(list->CurrentSelection(3), -1);
	// Row 25 lies below the visible part: the list scrolled to it.
	EXPECT_GT(list->Bounds().top, 0);
	window->Unlock();
	std::vector<BMessage> got = window->Received();
	ASSERT_FALSE(got.empty());
	EXPECT_EQ(got.back().what, uint32('invk'));
	std::vector<int32> indices;
	for (int32 i = 0; got.back().HasInt32("index", i); i++)
		indices.push_back(got.back().GetInt32("index", i, -1));
	EXPECT_EQ(indices, (std::vector<int32>{2, 5, 25}));
	EXPECT_EQ(platform_input::SelectRows(window, "files", {30}), B_BAD_INDEX);
	// A plain click in a single-selection list replaces the selection.
	window->Lock();
	list->SetListType(B_SINGLE_SELECTION_LIST);
	window->Unlock();
	ASSERT_EQ(platform_input::SelectRows(window, "files", {7}), B_OK);
	EXPECT_EQ(list->CurrentSelection(0), 7);
	EXPECT_EQ(list->CurrentSelection(1), -1);
	window->Lock();
	list->MakeEmpty();
	window->Unlock();
	for (BStringItem* item : items)
		delete item;
}

TEST_F(InterfaceTest, InputRefusesWhatAUserCouldNotReach)
{
	BButton* hidden = new BButton(BRect(10, 10, 80, 30), "hidden", "Hidden", new BMessage('h'));
	BButton* off = new BButton(BRect(10, 40, 80, 60), "off", "Off", new BMessage('o'));
	BButton* under = new BButton(BRect(10, 70, 80, 90), "under", "Under", new BMessage('u'));
	BView* cover = new BView(BRect(0, 65, 100, 95), "cover", B_FOLLOW_NONE, 0);
	window->AddChild(hidden);
	window->AddChild(off);
	window->AddChild(under);
	window->AddChild(cover);
	hidden->Hide();
	off->SetEnabled(false);
	std::string why;
	EXPECT_EQ(Click(window, "Off", &why), B_NOT_ALLOWED);  // window not shown yet
	EXPECT_NE(why.find("not shown"), std::string::npos);
	Show();
	EXPECT_EQ(Click(window, "nothing", &why), B_NAME_NOT_FOUND);
	EXPECT_NE(why.find("\"nothing\""), std::string::npos);
	EXPECT_EQ(Click(window, "Hidden", &why), B_NOT_ALLOWED);
	EXPECT_EQ(Click(window, "Off", &why), B_NOT_ALLOWED);
	EXPECT_NE(why.find("disabled"), std::string::npos);
	EXPECT_EQ(Click(window, "Under", &why), B_NOT_ALLOWED);
	EXPECT_NE(why.find("covered"), std::string::npos);
	EXPECT_TRUE(window->Received().empty());
}

TEST_F(InterfaceTest, ALockedWindowKeepsOtherThreadsOut)
{
	// The window thread holds its lock while it handles a message.
	sem_id entered = create_sem(0, "entered");
	sem_id release = create_sem(0, "release");
	class Blocking : public BWindow {
	public:
		Blocking(sem_id e, sem_id r) : BWindow(BRect(0, 0, 50, 50), "blocking", B_TITLED_WINDOW, 0), fE(e), fR(r) {}
		void MessageReceived(BMessage* message) override
		{
			if (message->what == 'blck') {
				release_sem(fE);
				acquire_sem(fR);
			}
		}
		sem_id fE, fR;
	};
	Blocking* blocking = new Blocking(entered, release);
	blocking->Show();
	blocking->PostMessage('blck');
	ASSERT_EQ(acquire_sem_etc(entered, 1, B_RELATIVE_TIMEOUT, kDeadline), B_OK);
	EXPECT_EQ(blocking->LockWithTimeout(20000), B_TIMED_OUT);
	release_sem(release);
	ASSERT_EQ(blocking->LockWithTimeout(kDeadline), B_OK);
	EXPECT_EQ(blocking->LockingThread(), find_thread(nullptr));
	// While this thread holds the lock, the window's thread waits.
	std::atomic<bool> handled{false};
	class Flagging : public BHandler {
	public:
		explicit Flagging(std::atomic<bool>& f) : flag(f) {}
		void MessageReceived(BMessage*) override { flag = true; }
		std::atomic<bool>& flag;
	};
	Flagging* handler = new Flagging(handled);
	blocking->AddHandler(handler);
	blocking->PostMessage('flag', handler);
	EXPECT_EQ(platform_input::WaitUntilIdle(blocking, 50000), B_TIMED_OUT);
	EXPECT_FALSE(handled);
	blocking->Unlock();
	EXPECT_TRUE(WaitFor([&] { return handled.load(); }));
	blocking->Lock();
	blocking->RemoveHandler(handler);
	delete handler;
	blocking->Quit();
	delete_sem(entered);
	delete_sem(release);
}

TEST_F(InterfaceTest, FontsHaveFixedMetricsForStableLayout)
{
	EXPECT_EQ(be_plain_font->StringWidth("Mark 1"), be_plain_font->StringWidth("Mark 1"));
	EXPECT_GT(be_bold_font->StringWidth("Note On"), be_plain_font->StringWidth("Note On"));
	EXPECT_EQ(be_fixed_font->StringWidth("iiii"), be_fixed_font->StringWidth("MMMM"));
	EXPECT_LT(be_plain_font->StringWidth("iiii"), be_plain_font->StringWidth("MMMM"));
	font_height h;
	be_plain_font->GetHeight(&h);
	EXPECT_GT(h.ascent, h.descent);
	BFont big(be_plain_font);
	big.SetSize(24);
	EXPECT_EQ(big.StringWidth("Controller"), 2 * be_plain_font->StringWidth("Controller"));
	// Size to fit follows the label.
	BCheckBox shortBox(BRect(0, 0, 1, 1), "a", "Off", nullptr);
	BCheckBox longBox(BRect(0, 0, 1, 1), "b", "Pitch Bend", nullptr);
	shortBox.ResizeToPreferred();
	longBox.ResizeToPreferred();
	EXPECT_GT(longBox.Frame().Width(), shortBox.Frame().Width());
	EXPECT_EQ(longBox.Frame().Height(), shortBox.Frame().Height());
}

TEST_F(InterfaceTest, ViewsFollowTheWindowByTheirResizingMode)
{
	BView* all = new BView(BRect(10, 10, 90, 90), "all", B_FOLLOW_ALL, 0);
	BView* right = new BView(BRect(100, 10, 190, 30), "right", B_FOLLOW_RIGHT | B_FOLLOW_TOP, 0);
	BView* fixed = new BView(BRect(10, 100, 50, 120), "fixed", B_FOLLOW_LEFT | B_FOLLOW_TOP, 0);
	window->AddChild(all);
	window->AddChild(right);
	window->AddChild(fixed);
	window->SetSizeLimits(100, 300, 100, 300);
	window->ResizeTo(250, 500);
	EXPECT_EQ(window->Bounds(), BRect(0, 0, 250, 300));
	EXPECT_EQ(all->Frame(), BRect(10, 10, 140, 190));
	EXPECT_EQ(right->Frame(), BRect(150, 10, 240, 30));
	EXPECT_EQ(fixed->Frame(), BRect(10, 100, 50, 120));
	EXPECT_EQ(window->FindView("right"), right);
	EXPECT_EQ(window->FindView(BPoint(160, 20)), right);
	int32 before = all->InvalidationCount();
	all->Invalidate();
	EXPECT_EQ(all->InvalidationCount(), before + 1);
}

TEST_F(InterfaceTest, AlertGoesNonModalAndReportsTheButton)
{
	BInvoker* invoker = new BInvoker(new BMessage('alrt'), window);
	Show();
	BAlert* alert = new BAlert("Problem", "Directory not found...", "Cancel", "OK");
	size_t before = platform_shown_alerts().size();
	ASSERT_EQ(alert->Go(invoker), B_OK);
	std::vector<platform_alert_record> shown = platform_shown_alerts();
	ASSERT_EQ(shown.size(), before + 1);
	EXPECT_EQ(shown.back().text, "Directory not found...");
	EXPECT_EQ(shown.back().buttons, (std::vector<std::string>{"Cancel", "OK"}));
	ASSERT_EQ(Click(alert, "OK"), B_OK);  // the alert closes itself on the click
	ASSERT_TRUE(WaitFor([&] { return !window->Received().empty(); }));
	std::vector<BMessage> got = window->Received();
	EXPECT_EQ(got[0].what, uint32('alrt'));
	EXPECT_EQ(got[0].GetInt32("which", -1), 1);
}
