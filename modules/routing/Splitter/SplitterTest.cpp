#include <PanelProbe.h>

#include <functional>
#include <future>
#include <mutex>
#include <set>

using namespace vantrel;
using namespace vantrel::testing;

namespace {

struct Marks {
	uint8 passes = 0, splits = 0, dupes = 0, stops = 0;
};

void AddBits(BMessage& state, const char* key, uint8 bits, int count = 8)
{
	for (int b = 0; b < count; b++)
		state.AddBool(key, (bits >> b) & 1);
}

constexpr uint8 M1 = 0x01, M2 = 0x02, M3 = 0x04, M4 = 0x08;

class SplitterTest : public ::testing::Test {
protected:
	Runtime runtime{TestOptions()};
	Element& element = runtime.Open("Splitter");

	void Load(Element& e, Marks marks)
	{
		BMessage state;
		AddBits(state, "splits", marks.splits);
		AddBits(state, "dupes", marks.dupes);
		AddBits(state, "stops", marks.stops);
		AddBits(state, "passes", marks.passes);
		e.SetState(&state);
	}

	Marks Saved(Element& e)
	{
		BMessage saved;
		e.SaveState(&saved);
		Marks marks;
		struct { const char* key; uint8* bits; } keys[] = {
			{"passes", &marks.passes}, {"splits", &marks.splits}, {"dupes", &marks.dupes}, {"stops", &marks.stops}};
		for (auto& k : keys)
			for (int b = 0; b < 8; b++)
				if (saved.GetBool(k.key, b, false))
					*k.bits |= uint8(1u << b);
		return marks;
	}

	ZPortFunc SplitPort() { return element.Port("Diverted").info->function; }
};

MIDISeq Note(int key, int marks)
{
	return Ev(0x90, key, 100, marks);
}

}  // namespace

TEST_F(SplitterTest, RegistrationAndDefaultMarks)
{
	Module& module = element.GetModule();
	EXPECT_EQ(module.Description(), "MIDI Stream Splitter");
	EXPECT_EQ(module.HelpFile(), "Tonvantrel/Splitter");
	ASSERT_EQ(module.Ports().size(), 2u);
	EXPECT_EQ(module.Ports()[0].name, "Through");
	EXPECT_EQ(module.Ports()[0].kind, uint32(Z_FLT1));
	EXPECT_EQ(module.Ports()[1].name, "Diverted");
	EXPECT_EQ(module.Ports()[1].kind, uint32(Z_DSRC));
	Marks marks = Saved(element);
	EXPECT_EQ(marks.splits, M1);
	EXPECT_EQ(marks.dupes, M2);
	EXPECT_EQ(marks.stops | marks.passes, 0);
}

TEST_F(SplitterTest, EachEventGoesWhereTheFirstMatchingColumnSays)
{
	using Events = std::vector<MIDISeq>;
	Marks defaults{.splits = M1, .dupes = M2};
	Marks all{.passes = M4, .splits = M1 | M4, .dupes = M2 | M3, .stops = M3};
	struct Case {
		const char* name;
		Marks marks;
		Events in, through, diverted;
	} cases[] = {
		{"defaults", defaults,
		 {Note(1, 0), Note(2, M1), Note(3, M2), Note(4, M1 | M2), Note(5, 0x80)},
		 {Note(1, 0), Note(3, M2), Note(4, M1 | M2), Note(5, 0x80)},
		 {Note(2, M1), Note(3, M2), Note(4, M1 | M2)}},
		{"passes before splits", {.passes = M3, .splits = M3}, {Note(1, M3), Note(2, 0)},
		 {Note(1, M3), Note(2, 0)}, {}},
		{"passes, stops, dupes, splits in that order", all,
		 {Note(1, M4 | M3), Note(2, M3 | M2), Note(3, M2 | M1), Note(4, M1), Note(5, M1 | M4)},
		 {Note(1, M4 | M3), Note(3, M2 | M1), Note(5, M1 | M4)},
		 {Note(3, M2 | M1), Note(4, M1)}},
	};
	for (const Case& c : cases) {
		Element& e = runtime.Open("Splitter");
		Load(e, c.marks);
		ItemList list;
		list.Time(77).Midi(c.in);
		EXPECT_EQ(e.Call("Through", list), c.through.empty() ? -1 : 0) << c.name;
		EXPECT_EQ(list.events(1), c.through) << c.name;
		Delivery out;
		bool got = e.Pull("Diverted", &out, c.diverted.empty() ? kQuiet : kDeadline);
		ASSERT_EQ(got, !c.diverted.empty()) << c.name;
		if (got) {
			EXPECT_EQ(out[1].events(), c.diverted) << c.name;
			EXPECT_EQ(out[0].value(), 77) << c.name;
		}
	}
}

TEST_F(SplitterTest, TerminatorsAndFullPackets)
{
	// 5 events, 2 split off: the slots after each terminator keep their bytes.
	std::vector<MIDISeq> slots(32, Ev(0, 0, 0, 0));
	for (int i = 0; i < 5; i++)
		slots[size_t(i)] = Note(i, i % 2 ? M1 : 0);
	ItemList list;
	list.MidiSlots(slots);
	EXPECT_EQ(element.Call("Through", list), 0);
	std::vector<MIDISeq> through = list.snapshot()[0].slots();
	EXPECT_EQ(std::vector<MIDISeq>(through.begin(), through.begin() + 5),
		(std::vector<MIDISeq>{Note(0, 0), Note(2, 0), Note(4, 0), Ev(0, 0, 0, 0), Note(4, 0)}));
	Delivery out;
	ASSERT_TRUE(element.Pull("Diverted", &out, kDeadline));
	std::vector<MIDISeq> diverted = out[1].slots();
	EXPECT_EQ(diverted[0], Note(1, M1));
	EXPECT_EQ(diverted[1], Note(3, M1));
	EXPECT_EQ(diverted[2], Ev(0, 0, 0, 0));

	// 32 events all kept, then 32 all duplicated: no terminator anywhere.
	for (uint8 marks : {uint8(0), M2}) {
		std::vector<MIDISeq> full;
		for (int i = 0; i < 32; i++)
			full.push_back(Ev(0x90 | (i % 16), i, 1, marks));
		ItemList packet;
		packet.MidiSlots(full);
		EXPECT_EQ(element.Call("Through", packet), 0);
		EXPECT_EQ(packet.snapshot()[0].slots(), full);
		if (marks) {
			ASSERT_TRUE(element.Pull("Diverted", &out, kDeadline));
			EXPECT_EQ(out[1].slots(), full);
		}
	}
}

TEST_F(SplitterTest, WhatMakesTheDeliveryPassOn)
{
	struct Case {
		const char* name;
		std::function<void(ItemList&)> build;
		int result;
	} cases[] = {
		{"all split, only a time beside", [](ItemList& l) { l.Time(5).Midi({Note(1, M1)}); }, -1},
		{"all dropped", [](ItemList& l) { l.Midi({Note(1, M1)}); }, -1},
		{"only time and track", [](ItemList& l) { l.Time(5).Value(Z_MTRK, 2); }, -1},
		{"empty list", [](ItemList&) {}, -1},
		{"a second packet passes unsplit", [](ItemList& l) { l.Midi({Note(1, M1)}).Midi({Note(2, M1)}); }, 0},
		{"a second time counts", [](ItemList& l) { l.Time(5).Time(6).Midi({Note(1, M1)}); }, 0},
		{"a control item", [](ItemList& l) { l.Value(Z_CTRL, 0x101); }, 0},
	};
	for (const Case& c : cases) {
		Element& e = runtime.Open("Splitter");
		if (std::string(c.name) == "all dropped")
			Load(e, {.stops = M1});
		ItemList list;
		c.build(list);
		EXPECT_EQ(e.Call("Through", list), c.result) << c.name;
	}
	// The second packet really is left alone.
	ItemList two;
	two.Midi({Note(1, M1)}).Midi({Note(2, M1)});
	EXPECT_EQ(element.Call("Through", two), 0);
	EXPECT_EQ(two.events(0), std::vector<MIDISeq>{});
	EXPECT_EQ(two.events(1), std::vector<MIDISeq>{Note(2, M1)});
}

TEST_F(SplitterTest, ZeroStatusEndsTheScan)
{
	ItemList list;
	list.MidiSlots({Note(1, M1), Ev(0, 60, 100, M1), Note(2, M1)});
	EXPECT_EQ(element.Call("Through", list), -1);
	Delivery out;
	ASSERT_TRUE(element.Pull("Diverted", &out, kDeadline));
	EXPECT_EQ(out[1].events(), std::vector<MIDISeq>{Note(1, M1)});
}

TEST_F(SplitterTest, DivertedListCarriesTimeAndTrack)
{
	ItemList tracked;
	tracked.Value(Z_MTRK, 3).Time(4000).Time(9).Midi({Note(1, M1)});
	element.Call("Through", tracked);
	Delivery out;
	ASSERT_TRUE(element.Pull("Diverted", &out, kDeadline));
	ASSERT_EQ(out.size(), 6u);
	EXPECT_EQ(out[0].type, uint32(Z_MTIM));
	EXPECT_EQ(out[0].value(), 4000);  // the first time
	EXPECT_EQ(out[1].type, uint32(Z_MTRK));
	EXPECT_EQ(out[1].value(), 3);
	EXPECT_EQ(out[2].type, uint32(Z_MIDI));
	EXPECT_EQ(out[2].size, 128);
	for (size_t i = 3; i < 6; i++)
		EXPECT_EQ(out[i].type, 0u);

	// No track and no time: the hand-out time.
	int32 before = now_ms();
	ItemList plain;
	plain.Midi({Note(2, M1)});
	element.Call("Through", plain);
	ASSERT_TRUE(element.Pull("Diverted", &out, kDeadline));
	EXPECT_EQ(out[0].type, uint32(Z_MTIM));
	EXPECT_GE(out[0].value(), before);
	EXPECT_LE(out[0].value(), now_ms());
	EXPECT_EQ(out[1].type, uint32(Z_MIDI));
	EXPECT_EQ(out[1].events(), std::vector<MIDISeq>{Note(2, M1)});
	for (size_t i = 2; i < 6; i++)
		EXPECT_EQ(out[i].type, 0u) << i;
}

TEST_F(SplitterTest, DeliveryWaitsWhileADivertedPacketIsPendingAndCloseReleasesIt)
{
	ItemList first, second, third;
	first.Midi({Note(1, M1)});
	second.Midi({Note(2, M1), Note(3, 0)});
	third.Midi({Note(4, M1)});
	EXPECT_EQ(element.Call("Through", first), -1);
	auto waiting = std::async(std::launch::async, [&] { return element.Call("Through", second); });
	EXPECT_EQ(waiting.wait_for(std::chrono::microseconds(kQuiet)), std::future_status::timeout);
	Delivery out;
	ASSERT_TRUE(element.Pull("Diverted", &out, kDeadline));
	EXPECT_EQ(out[1].events(), std::vector<MIDISeq>{Note(1, M1)});
	EXPECT_EQ(waiting.get(), 0);
	EXPECT_EQ(second.events(0), std::vector<MIDISeq>{Note(3, 0)});
	ASSERT_TRUE(element.Pull("Diverted", &out, kDeadline));
	EXPECT_EQ(out[1].events(), std::vector<MIDISeq>{Note(2, M1)});

	// Pending again with nobody left to take it: close frees the waiter.
	Element& stalled = runtime.Open("Splitter");
	ItemList marked, next;
	marked.Midi({Note(5, M1)});
	next.Midi({Note(6, M1)});
	EXPECT_EQ(stalled.Call("Through", marked), -1);
	auto blocked = std::async(std::launch::async, [&] { return stalled.Call("Through", next); });
	EXPECT_EQ(blocked.wait_for(std::chrono::microseconds(kQuiet)), std::future_status::timeout);
	stalled.Close();
	EXPECT_EQ(blocked.get(), -1);
}

TEST_F(SplitterTest, ClosedSourceReleasesTheItemsItIsGiven)
{
	EXPECT_FALSE(element.Pull("Diverted", nullptr, kQuiet));  // waiting for a packet
	element.Close();
	EXPECT_TRUE(element.JoinSources(kDeadline).empty());

	ZItem* items = new ZItem[3];
	items[0].type = Z_MTIM;
	items[1].type = Z_MIDI;
	items[1].data = new_packet();
	items[1].size = 128;
	items[2].type = Z_LINE;
	items[2].data = strdup("x\n");
	items[2].size = 3;
	int count = 3;
	EXPECT_EQ(SplitPort()(element.Handle(), items, count), -1);
	for (int i = 0; i < 3; i++) {
		EXPECT_EQ(items[i].type, 0u);
		EXPECT_EQ(items[i].size, 0);
	}
	delete[] items;
	ItemList list;
	list.Midi({Note(1, 0)});
	EXPECT_EQ(element.Call("Through", list), -1);
}

TEST_F(SplitterTest, PacketBuffersCirculateInTheSteadyState)
{
	std::mutex lock;
	std::set<const ZItem*> arrays;
	std::set<uintptr_t> buffers;
	element.Port("Diverted").observer = [&](const ZItem* items, int) {
		std::lock_guard<std::mutex> guard(lock);
		arrays.insert(items);
		buffers.insert(uintptr_t(items[1].data));
	};
	for (int round = 0; round < 10; round++) {
		ItemList list;
		list.Time(round + 1).Midi({Note(round, M1), Note(round, M2)});
		element.Call("Through", list);
		Delivery out;
		ASSERT_TRUE(element.Pull("Diverted", &out, kDeadline));
		EXPECT_EQ(out[1].events(), (std::vector<MIDISeq>{Note(round, M1), Note(round, M2)}));
	}
	std::lock_guard<std::mutex> guard(lock);
	EXPECT_EQ(arrays.size(), 1u);
	EXPECT_EQ(buffers.size(), 2u);
}

TEST_F(SplitterTest, SavedStateRoundTripsAndPartialStateKeepsTheRest)
{
	Marks marks{.passes = 0x80, .splits = 0x21, .dupes = 0x02, .stops = 0x0C};
	Load(element, marks);
	BMessage saved;
	element.SaveState(&saved);
	const char* order[] = {"window", "splits", "dupes", "stops", "passes"};
	for (int i = 0; i < 5; i++) {
		char* name;
		type_code type;
		ASSERT_EQ(saved.GetInfo(B_ANY_TYPE, i, &name, &type), B_OK);
		EXPECT_STREQ(name, order[i]);
	}
	Element& copy = runtime.Open("Splitter");
	copy.SetState(&saved);
	Marks back = Saved(copy);
	EXPECT_EQ(back.passes, marks.passes);
	EXPECT_EQ(back.splits, marks.splits);
	EXPECT_EQ(back.dupes, marks.dupes);
	EXPECT_EQ(back.stops, marks.stops);

	BMessage partial;
	AddBits(partial, "splits", 0x02, 2);  // bit 0 cleared, bit 1 set, the rest kept
	copy.SetState(&partial);
	EXPECT_EQ(Saved(copy).splits, 0x22);
	EXPECT_EQ(Saved(copy).dupes, 0x02);
}

namespace {

enum { kSplitBox, kDupeBox, kStopBox, kPassBox };

size_t BoxIndex(int bit, int column)
{
	return size_t(bit * 4 + column);
}

class SplitterPanelTest : public SplitterTest {
protected:
	BWindow* window = nullptr;

	void SetUp() override
	{
		element.SetLabel("Split A");
		ASSERT_EQ(element.ShowPanel(), 0);
		window = FindPanel("Split A");
		ASSERT_NE(window, nullptr);
	}
};

}  // namespace

TEST_F(SplitterPanelTest, LayoutShowsTheDefaultMarks)
{
	std::vector<std::string> expected = {"Split:", "Dupe:", "Stop:", "", "Pass:"};
	for (int row = 1; row <= 8; row++)
		expected.push_back(" " + std::to_string(row));
	EXPECT_EQ(Labels(window), expected);
	std::vector<int32> values = BoxValues(window);
	ASSERT_EQ(values.size(), 32u);
	for (size_t i = 0; i < values.size(); i++) {
		bool on = i == BoxIndex(0, kSplitBox) || i == BoxIndex(1, kDupeBox);
		EXPECT_EQ(values[i], on ? 1 : 0) << "box " << i;
	}
}

TEST_F(SplitterPanelTest, BoxesChooseWhereMarkedEventsGo)
{
	// Mark 1 moves from Split to Stop: such events now vanish.
	ASSERT_EQ(ClickBox(window, BoxIndex(0, kStopBox)), B_OK);
	Marks marks = Saved(element);
	EXPECT_EQ(marks.stops, M1);
	EXPECT_EQ(marks.splits, 0);
	EXPECT_EQ(BoxValues(window)[BoxIndex(0, kSplitBox)], 0);
	ItemList list;
	list.Midi({Note(1, M1), Note(2, 0)});
	EXPECT_EQ(element.Call("Through", list), 0);
	EXPECT_EQ(list.events(0), std::vector<MIDISeq>{Note(2, 0)});
	EXPECT_FALSE(element.Pull("Diverted", nullptr, kQuiet));

	// Mark 8 split: the last row.
	ASSERT_EQ(ClickBox(window, BoxIndex(7, kSplitBox)), B_OK);
	ItemList high;
	high.Midi({Note(3, 0x80)});
	EXPECT_EQ(element.Call("Through", high), -1);
	Delivery out;
	ASSERT_TRUE(element.Pull("Diverted", &out, kDeadline));
	EXPECT_EQ(out[1].events(), std::vector<MIDISeq>{Note(3, 0x80)});

	// Unchecking clears that set only.
	ASSERT_EQ(ClickBox(window, BoxIndex(1, kDupeBox)), B_OK);
	EXPECT_EQ(Saved(element).dupes, 0);
	EXPECT_EQ(Saved(element).stops, M1);
}

TEST_F(SplitterPanelTest, SavedStateShowsOnThePanel)
{
	Load(element, {.passes = M3, .splits = 0, .dupes = 0, .stops = M4});
	std::vector<int32> values = BoxValues(window);
	for (size_t i = 0; i < values.size(); i++) {
		bool on = i == BoxIndex(2, kPassBox) || i == BoxIndex(3, kStopBox);
		EXPECT_EQ(values[i], on ? 1 : 0) << "box " << i;
	}
}

TEST_F(SplitterTest, PanelsCascadeDownAndRestartAtTheTop)
{
	// One panel height (150) down and 20 left, back to (20, 20) once the
	// bottom would pass 400.
	std::vector<BPoint> origins;
	for (int i = 0; i < 4; i++) {
		Element& next = runtime.Open("Splitter");
		BMessage saved;
		next.SaveState(&saved);
		BRect frame;
		ASSERT_EQ(saved.FindRect("window", &frame), B_OK);
		origins.push_back(frame.LeftTop());
	}
	for (size_t i = 1; i < origins.size(); i++) {
		BPoint stepped(origins[i - 1].x - 20, origins[i - 1].y + 150);
		BPoint expected = stepped.y + 150 > 400 ? BPoint(20, 20) : stepped;
		EXPECT_EQ(origins[i], expected) << i;
	}
}
