#include <VantrelTest.h>

#include <vantrel/Actions.h>

#include <CheckBox.h>
#include <Menu.h>
#include <MenuBar.h>
#include <Window.h>

using namespace vantrel;
using namespace vantrel::testing;

namespace {

struct Saved {
	int32 mark;
	std::vector<bool> evtypes;
	BRect window;
};

Saved Save(Element& element)
{
	BMessage state;
	element.SaveState(&state);
	Saved saved{-1, {}, state.GetRect("window", BRect())};
	state.FindInt32("mark", &saved.mark);
	bool on;
	for (int32 i = 0; state.FindBool("evtypes", i, &on) == B_OK; i++)
		saved.evtypes.push_back(on);
	return saved;
}

std::vector<bool> Bits(uint8 set)
{
	std::vector<bool> bits;
	for (int i = 0; i < 8; i++)
		bits.push_back((set >> i) & 1);
	return bits;
}

}  // namespace

class KindtagTest : public ::testing::Test {
protected:
	Runtime runtime{TestOptions()};
	Element& element = runtime.Open("Kindtag", "kind");

	void Select(uint8 set, int32 mark)
	{
		BMessage state;
		for (bool on : Bits(set))
			state.AddBool("evtypes", on);
		state.AddInt32("mark", mark);
		element.SetState(&state);
	}

	std::vector<MIDISeq> Through(const std::vector<MIDISeq>& slots)
	{
		ItemList list;
		list.MidiSlots(slots);
		EXPECT_EQ(element.Call("", list), 0);
		return list.snapshot()[0].slots();
	}
};

TEST_F(KindtagTest, Registration)
{
	Module& module = element.GetModule();
	EXPECT_EQ(module.Description(), "Mark MIDI Messages");
	EXPECT_EQ(module.HelpFile(), "Tonvantrel/Kindtag");
	ASSERT_EQ(module.Ports().size(), 1u);
	EXPECT_EQ(module.Ports()[0].name, "");
	EXPECT_EQ(module.Ports()[0].kind, uint32(Z_FILT));
	Saved saved = Save(element);
	EXPECT_EQ(saved.mark, 1);
	EXPECT_EQ(saved.evtypes, Bits(0));
}

TEST_F(KindtagTest, MarksTheSelectedTypes)
{
	auto pad = [](std::vector<MIDISeq> events) {
		events.resize(32, Ev(0));
		return events;
	};
	struct Case {
		const char* name;
		uint8 set;
		int32 mark;
		std::vector<MIDISeq> in;
		std::vector<MIDISeq> out;
	} cases[] = {
		{"a fresh element marks nothing", 0, 1, {Ev(0x90, 60, 64), Ev(0xB0, 7, 1)},
			{Ev(0x90, 60, 64), Ev(0xB0, 7, 1)}},
		{"note-off class takes velocity-0 note-ons", 0x01, 1, {Ev(0x90, 60, 0), Ev(0x90, 60, 64), Ev(0x85, 1, 2)},
			{Ev(0x90, 60, 0, 1), Ev(0x90, 60, 64), Ev(0x85, 1, 2, 1)}},
		{"note-on class leaves velocity-0 note-ons", 0x02, 4, {Ev(0x90, 60, 0), Ev(0x9F, 60, 64)},
			{Ev(0x90, 60, 0), Ev(0x9F, 60, 64, 4)}},
		{"marks already set stay set", 0x08, 2, {Ev(0xB0, 7, 1, 0x81), Ev(0xB0, 7, 1, 0x02)},
			{Ev(0xB0, 7, 1, 0x83), Ev(0xB0, 7, 1, 0x02)}},
		{"system class, every system message", 0x80, 128, {Ev(0xF8), Ev(0xFF, 1), Ev(0xE0, 0, 64)},
			{Ev(0xF8, 0, 0, 128), Ev(0xFF, 1, 0, 128), Ev(0xE0, 0, 64)}},
		{"status 0 with other bytes set is a note-off and does not end the scan", 0x01 | 0x10, 1,
			{Ev(0x00, 5, 0), Ev(0xC0, 3)}, {Ev(0x00, 5, 0, 1), Ev(0xC0, 3, 0, 1)}},
		{"an all-zero event ends the scan", 0x01, 1, {Ev(0x80, 1), Ev(0), Ev(0x80, 2)},
			{Ev(0x80, 1, 0, 1), Ev(0), Ev(0x80, 2)}},
	};
	for (const Case& c : cases) {
		Select(c.set, c.mark);
		EXPECT_EQ(Through(pad(c.in)), pad(c.out)) << c.name;
	}
}

TEST_F(KindtagTest, ExaminesAll32EventsOfEveryPacket)
{
	Select(0x04, 8);
	std::vector<MIDISeq> full(32, Ev(0xA3, 1, 2));
	std::vector<MIDISeq> marked(32, Ev(0xA3, 1, 2, 8));
	ItemList list;
	list.Time(7).MidiSlots(full).Value(Z_CTRL, 3).MidiSlots(full);
	ASSERT_EQ(element.Call("", list), 0);
	Delivery out = list.snapshot();
	EXPECT_EQ(out[0].data, uintptr_t(7));
	EXPECT_EQ(out[1].slots(), marked);
	EXPECT_EQ(out[3].slots(), marked);
	ItemList none;
	EXPECT_EQ(element.Call("", none), 0);
}

TEST_F(KindtagTest, PanelChoosesTypesAndMark)
{
	ASSERT_EQ(element.ShowPanel(), 0);
	PanelDriver panel(element);
	panel.Click("Note On");
	panel.Click("Pitch Bend");
	panel.Choose("Mark 8");
	Saved saved = Save(element);
	EXPECT_EQ(saved.mark, 128);  // zero-extended, not -128
	EXPECT_EQ(saved.evtypes, Bits(0x42));
	panel.Click("Note On");
	EXPECT_EQ(Save(element).evtypes, Bits(0x40));
	std::vector<MIDISeq> in = {Ev(0xE0, 0, 64), Ev(0x90, 60, 64)};
	in.resize(32, Ev(0));
	std::vector<MIDISeq> out = Through(in);
	EXPECT_EQ(out[0], Ev(0xE0, 0, 64, 128));
	EXPECT_EQ(out[1], Ev(0x90, 60, 64));
	panel.WithPanel([](BWindow* window) {
		BMenuBar* bar = dynamic_cast<BMenuBar*>(window->FindView("menu bar"));
		ASSERT_NE(bar, nullptr);
		EXPECT_STREQ(bar->ItemAt(0)->Label(), "Mark 8");
	});
}

TEST_F(KindtagTest, SavedStateEdgeCases)
{
	Select(0xF0, 1);
	ASSERT_EQ(element.ShowPanel(), 0);
	// Three values change bits 0 to 2 and keep bits 3 to 7.
	BMessage three;
	three.AddBool("evtypes", true);
	three.AddBool("evtypes", false);
	three.AddBool("evtypes", true);
	element.SetState(&three);
	EXPECT_EQ(Save(element).evtypes, Bits(0xF5));
	EXPECT_EQ(Save(element).mark, 1);  // no "mark": unchanged
	// The mark keeps its low eight bits; the panel shows the lowest set bit.
	BMessage wide;
	wide.AddInt32("mark", 0x10C);
	element.SetState(&wide);
	EXPECT_EQ(Save(element).mark, 0x0C);
	PanelDriver(element).WithPanel([](BWindow* window) {
		BMenuBar* bar = dynamic_cast<BMenuBar*>(window->FindView("menu bar"));
		BMenu* menu = bar->SubmenuAt(0);
		EXPECT_EQ(menu->FindMarkedIndex(), 2);
		EXPECT_STREQ(bar->ItemAt(0)->Label(), "Mark 3");
		int on = 0;
		for (int32 i = 0; i < bar->Parent()->CountChildren(); i++)
			if (auto* box = dynamic_cast<BCheckBox*>(bar->Parent()->ChildAt(i)))
				on = on * 2 + box->Value();
		EXPECT_EQ(on, 0b10101111);  // boxes in bit order: bit 0 first
	});
}

TEST_F(KindtagTest, ClosedElementLeavesPacketsAlone)
{
	Select(0xFF, 1);
	element.Close();
	ItemList list;
	list.Midi({Ev(0x90, 60, 64)});
	EXPECT_EQ(element.Call("", list), -1);
	EXPECT_EQ(list.events(0), std::vector<MIDISeq>{Ev(0x90, 60, 64)});
}

TEST_F(KindtagTest, PanelsCascadeAndRestartAt400)
{
	BRect rect(Save(element).window.LeftTop(), 100, 160);
	bool restarted = false;
	for (int i = 0; i < 4; i++) {
		rect.OffsetBy(-20, 160);
		if (rect.bottom > 400) {
			rect.OffsetTo(400, 20);
			restarted = true;
		}
		EXPECT_EQ(Save(runtime.Open("Kindtag")).window.LeftTop(), rect.LeftTop()) << "panel " << i + 2;
	}
	EXPECT_TRUE(restarted);
}

TEST(KindtagDiagram, SavedAndLoadedAgainGivesTheSameState)
{
	Json diagram = Json::parse(R"({
		"elements": [
			{"id": "kind", "module": "Kindtag", "label": "Notes", "panel": true,
			 "state": {"mark": 4, "evtypes": [false, true, false]}},
			{"id": "chan", "module": "Laneset", "panel": true, "state": {"channel": 5}},
			{"id": "quiet", "module": "Kindtag"}
		],
		"cords": [{"from": "kind", "to": "chan"}]
	})");
	Json saved;
	{
		Runtime runtime(TestOptions());
		DiagramPlan plan = ParseDiagram(diagram, "test");
		Instantiate(runtime, plan, "test");
		PanelDriver(*runtime.Find("kind")).Click("Controller");
		PanelDriver(*runtime.Find("chan")).Click("16");
		saved = SaveDiagram(runtime, plan);
	}
	const Json& kind = saved["elements"][0];
	EXPECT_EQ(kind["label"], "Notes");
	EXPECT_EQ(kind["panel"], true);
	EXPECT_EQ(kind["state"]["mark"], 4);
	EXPECT_EQ(kind["state"]["evtypes"], Json::parse("[false, true, false, true, false, false, false, false]"));
	EXPECT_TRUE(kind["state"].contains("window"));
	EXPECT_EQ(saved["elements"][1]["state"]["channel"], 15);
	EXPECT_FALSE(saved["elements"][2].contains("panel"));

	Runtime again(TestOptions());
	DiagramPlan plan = ParseDiagram(saved, "saved");
	Instantiate(again, plan, "saved");
	EXPECT_EQ(SaveDiagram(again, plan), saved);
}
