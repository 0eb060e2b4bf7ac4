#include <VantrelTest.h>

#include <vantrel/Actions.h>

#include <RadioButton.h>
#include <Window.h>

using namespace vantrel;
using namespace vantrel::testing;

namespace {

BRect SavedFrame(Element& element)
{
	BMessage state;
	element.SaveState(&state);
	return state.GetRect("window", BRect());
}

int32 SavedChannel(Element& element)
{
	BMessage state;
	element.SaveState(&state);
	return state.GetInt32("channel", -1);
}

int32 ShownChannel(Element& element)
{
	int32 shown = -1;
	PanelDriver(element).WithPanel([&](BWindow* window) {
		for (int i = 1; i <= 16; i++) {
			char label[4];
			snprintf(label, sizeof(label), "%2d", i);
			auto* button = dynamic_cast<BRadioButton*>(window->FindView(label));
			if (button && button->Value())
				shown = shown == -1 ? i - 1 : -2;  // -2: more than one is on
		}
	});
	return shown;
}

}  // namespace

class LanesetTest : public ::testing::Test {
protected:
	Runtime runtime{TestOptions()};
	Element& element = runtime.Open("Laneset", "chan");

	std::vector<MIDISeq> Through(const std::vector<MIDISeq>& events)
	{
		ItemList list;
		list.Midi(events);
		EXPECT_EQ(element.Call("", list), 0);
		return list.events(0);
	}

	void SetChannel(int32 channel)
	{
		BMessage state;
		state.AddInt32("channel", channel);
		element.SetState(&state);
	}
};

TEST_F(LanesetTest, Registration)
{
	Module& module = element.GetModule();
	EXPECT_EQ(module.Description(), "Set MIDI Channel");
	EXPECT_EQ(module.HelpFile(), "Tonvantrel/Laneset");
	ASSERT_EQ(module.Ports().size(), 1u);
	EXPECT_EQ(module.Ports()[0].kind, uint32(Z_FILT));
	EXPECT_NE(module.panel, nullptr);
	EXPECT_NE(module.labelElem, nullptr);
	EXPECT_EQ(module.loadComplete, nullptr);
}

TEST_F(LanesetTest, MovesChannelMessagesAndKeepsTheRest)
{
	// A fresh element sends everything to channel 1.
	EXPECT_EQ(Through({Ev(0x93, 60, 100, 0x05)}), std::vector<MIDISeq>{Ev(0x90, 60, 100, 0x05)});
	SetChannel(9);
	std::vector<MIDISeq> in = {Ev(0x83, 60, 0), Ev(0x93, 60, 100, 0x81), Ev(0xA1, 1, 2), Ev(0xB2, 7, 9),
		Ev(0xC3, 4), Ev(0xD4, 5), Ev(0xEF, 0, 64), Ev(0xF8), Ev(0xF0, 1, 2, 3)};
	std::vector<MIDISeq> out = {Ev(0x89, 60, 0), Ev(0x99, 60, 100, 0x81), Ev(0xA9, 1, 2), Ev(0xB9, 7, 9),
		Ev(0xC9, 4), Ev(0xD9, 5), Ev(0xE9, 0, 64), Ev(0xF8), Ev(0xF0, 1, 2, 3)};
	EXPECT_EQ(Through(in), out);
	// Other items, and empty lists, pass untouched.
	ItemList list;
	list.Time(12).Line("x\n").Value(Z_CTRL, 0x7f0102);
	EXPECT_EQ(element.Call("", list), 0);
	EXPECT_EQ(list.snapshot()[2].data, uintptr_t(0x7f0102));
	ItemList none;
	EXPECT_EQ(element.Call("", none), 0);
}

TEST_F(LanesetTest, RewritesAFullPacketAndReadsNoFurther)
{
	SetChannel(4);
	std::vector<MIDISeq> slots;
	for (int i = 0; i < 32; i++)
		slots.push_back(Ev(0x90 | (i % 16), i, 1 + i));
	ItemList list;
	list.MidiSlots(slots);
	ASSERT_EQ(element.Call("", list), 0);
	std::vector<MIDISeq> out = list.snapshot()[0].slots();
	ASSERT_EQ(out.size(), 32u);
	for (int i = 0; i < 32; i++)
		EXPECT_EQ(out[size_t(i)], Ev(0x94, i, 1 + i));
}

TEST_F(LanesetTest, PanelRadioButtonsSetTheChannel)
{
	ASSERT_EQ(element.ShowPanel(), 0);
	EXPECT_EQ(ShownChannel(element), 0);
	PanelDriver panel(element);
	panel.Click("10");
	EXPECT_EQ(SavedChannel(element), 9);
	EXPECT_EQ(ShownChannel(element), 9);
	EXPECT_EQ(Through({Ev(0x90, 1, 1)}), std::vector<MIDISeq>{Ev(0x99, 1, 1)});
	panel.Click("1");
	EXPECT_EQ(SavedChannel(element), 0);
	EXPECT_EQ(ShownChannel(element), 0);
	// A message as the buttons send it.
	BMessage message('RBTN');
	message.AddInt32("chan", 15);
	panel.Post(message);
	EXPECT_EQ(SavedChannel(element), 15);
}

TEST_F(LanesetTest, SavedStateRestoresChannelAndPanelFrame)
{
	BRect placed = SavedFrame(element);
	// Without "window" the panel stays where placement put it.
	SetChannel(12);
	EXPECT_EQ(SavedFrame(element), placed);
	EXPECT_EQ(SavedChannel(element), 12);
	EXPECT_EQ(ShownChannel(element), 12);

	BMessage state;
	state.AddRect("window", BRect(100, 200, 160, 300));
	element.SetState(&state);
	EXPECT_EQ(SavedFrame(element).LeftTop(), BPoint(100, 200));
	EXPECT_EQ(SavedFrame(element).Width(), 60);
	EXPECT_EQ(SavedChannel(element), 12);  // absent: unchanged

	// Only the low four bits of an out-of-range channel count.
	SetChannel(0x13);
	EXPECT_EQ(Through({Ev(0x90, 1, 1)}), std::vector<MIDISeq>{Ev(0x93, 1, 1)});
	EXPECT_EQ(SavedChannel(element), 3);
	EXPECT_EQ(ShownChannel(element), 3);
}

TEST_F(LanesetTest, PanelsCascadeAndRestartAtTheBase)
{
	// Simulate the rule from the first panel's place: one panel width
	// (100) left and 20 down, back to (340, 20) when the frame (140 high)
	// passes the bottom limit or the left edge.
	BRect rect(SavedFrame(element).LeftTop(), 100, 140);
	bool restarted = false;
	for (int i = 0; i < 8; i++) {
		rect.OffsetBy(-100, 20);
		if (rect.bottom > 400 || rect.left < 0) {
			rect.OffsetTo(340, 20);
			restarted = true;
		}
		Element& next = runtime.Open("Laneset");
		EXPECT_EQ(SavedFrame(next).LeftTop(), rect.LeftTop()) << "panel " << i + 2;
		EXPECT_GE(SavedFrame(next).left, 0);
	}
	EXPECT_TRUE(restarted);
}

TEST_F(LanesetTest, PanelLifeCycle)
{
	// Panel twice: the second call raises the panel and the first message
	// stays the one the panel hands back on close.
	ASSERT_EQ(element.ShowPanel(), 0);
	ASSERT_EQ(element.ShowPanel(), 0);
	PanelDriver(element).Close();
	ASSERT_TRUE(WaitFor([&] { return element.panelCloses == 1; }));
	EXPECT_EQ(element.closedPanelSerial, 1);
	EXPECT_FALSE(element.panelOpen);
	BWindow* window = element.LockPanel();
	ASSERT_NE(window, nullptr);
	EXPECT_TRUE(window->IsHidden());
	window->Unlock();

	// After the user's close the next call hands over a fresh message.
	ASSERT_EQ(element.ShowPanel(), 0);
	EXPECT_TRUE(element.panelOpen);
	PanelDriver(element).Close();
	ASSERT_TRUE(WaitFor([&] { return element.panelCloses == 2; }));
	EXPECT_EQ(element.closedPanelSerial, 3);

	// CloseElem deletes the kept message (once: the sanitizer build checks)
	// and the panel; afterwards Panel fails and LabelElem stores nothing.
	ASSERT_EQ(element.ShowPanel(), 0);
	element.Close();
	EXPECT_FALSE(element.PanelWindow().IsValid());
	EXPECT_EQ(element.ShowPanel(), -1);
	element.SetLabel("late");
	ItemList list;
	list.Midi({Ev(0x91, 1, 1)});
	EXPECT_EQ(element.Call("", list), -1);
	EXPECT_EQ(list.events(0), std::vector<MIDISeq>{Ev(0x91, 1, 1)});
}

TEST_F(LanesetTest, LabelNamesThePanel)
{
	element.SetLabel("Bass");
	ASSERT_EQ(element.ShowPanel(), 0);
	PanelDriver(element).WithPanel([](BWindow* window) { EXPECT_STREQ(window->Title(), "Bass"); });
	element.SetLabel("Lead");
	PanelDriver(element).WithPanel([](BWindow* window) { EXPECT_STREQ(window->Title(), "Lead"); });
}
