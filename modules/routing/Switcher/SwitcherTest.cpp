#include <PanelProbe.h>

#include <MenuBar.h>

#include <future>
#include <mutex>
#include <set>

using namespace vantrel;
using namespace vantrel::testing;

namespace {

enum { kPass, kDivert, kDupe, kStop };

struct Grid {
	uint16 passes = 0, splits = 0, dupes = 0, stops = 0;
};

void AddBits(BMessage& state, const char* key, uint16 bits, int count = 16)
{
	for (int b = 0; b < count; b++)
		state.AddBool(key, (bits >> b) & 1);
}

class SwitcherTest : public ::testing::Test {
protected:
	Runtime runtime{TestOptions()};
	Element& element = runtime.Open("Switcher");

	void Load(Element& e, int state, Grid grid = {})
	{
		BMessage message;
		message.AddInt32("state", state);
		AddBits(message, "splits", grid.splits);
		AddBits(message, "dupes", grid.dupes);
		AddBits(message, "stops", grid.stops);
		AddBits(message, "passes", grid.passes);
		e.SetState(&message);
	}

	int State(Element& e)
	{
		BMessage saved;
		e.SaveState(&saved);
		return saved.GetInt32("state", -1);
	}

	// The sets as saved, in the order passes, splits, dupes, stops.
	Grid Saved(Element& e)
	{
		BMessage saved;
		e.SaveState(&saved);
		Grid grid;
		struct { const char* key; uint16* bits; } keys[] = {
			{"passes", &grid.passes}, {"splits", &grid.splits}, {"dupes", &grid.dupes}, {"stops", &grid.stops}};
		for (auto& k : keys)
			for (int b = 0; b < 16; b++)
				if (saved.GetBool(k.key, b, false))
					*k.bits |= uint16(1u << b);
		return grid;
	}

	static ItemList Sample(int key = 60)
	{
		ItemList list;
		list.Time(1234).Midi({Ev(0x90, key, 100, 0x01), Ev(0x80, key, 0)}).Value(Z_CTRL, 0x00400101);
		return list;
	}

	// The port function itself, for calls the runtime does not make.
	ZPortFunc SplitPort() { return element.Port("Diverted").info->function; }
};

}  // namespace

TEST_F(SwitcherTest, Registration)
{
	Module& module = element.GetModule();
	EXPECT_EQ(module.Description(), "Stream Switcher");
	EXPECT_EQ(module.HelpFile(), "Switcher");
	const char* names[] = {"Through", "Diverted", "Control"};
	uint32 kinds[] = {Z_FLT1, Z_DSRC, Z_FLT1};
	ASSERT_EQ(module.Ports().size(), 3u);
	for (size_t i = 0; i < 3; i++) {
		EXPECT_EQ(module.Ports()[i].name, names[i]);
		EXPECT_EQ(module.Ports()[i].kind, kinds[i]);
	}
	EXPECT_EQ(State(element), kPass);
	Grid grid = Saved(element);
	EXPECT_EQ(grid.passes | grid.splits | grid.dupes | grid.stops, 0);
}

TEST_F(SwitcherTest, EachStateDecidesBothOutputs)
{
	struct Case {
		int state;
		int through;
		bool diverted;
	} cases[] = {
		{kPass, 0, false},
		{kDivert, -1, true},
		{kDupe, 0, true},
		{kStop, -1, false},
	};
	for (const Case& c : cases) {
		Element& e = runtime.Open("Switcher");
		Load(e, c.state);
		ItemList list = Sample();
		Delivery before = list.snapshot();
		EXPECT_EQ(e.Call("Through", list), c.through) << "state " << c.state;
		Delivery after = list.snapshot();
		for (size_t i = 0; i < after.size(); i++)
			EXPECT_EQ(after[i].payload, before[i].payload) << "the input is never changed";
		Delivery copy;
		bool got = e.Pull("Diverted", &copy, c.diverted ? kDeadline : kQuiet);
		EXPECT_EQ(got, c.diverted) << "state " << c.state;
		if (got) {
			ASSERT_EQ(copy.size(), 3u);
			EXPECT_EQ(copy[0].type, uint32(Z_MTIM));
			EXPECT_EQ(copy[0].value(), 1234);
			EXPECT_EQ(copy[1].events(), list.events(1));
			EXPECT_EQ(copy[2].value(), 0x00400101);
		}
	}
}

TEST_F(SwitcherTest, CopyOwnsItsBuffersAndSharesPlainWords)
{
	Load(element, kDupe);
	static char unowned[] = "kept by its owner";
	ItemList list;
	list.Midi({Ev(0x91, 1, 2, 0x80)}).Line("text\n").Raw('XTRA', unowned, 0);
	list[2].extra = 7;
	EXPECT_EQ(element.Call("Through", list), 0);
	Delivery copy;
	ASSERT_TRUE(element.Pull("Diverted", &copy, kDeadline));
	Delivery original = list.snapshot();
	ASSERT_EQ(copy.size(), 3u);
	for (size_t i = 0; i < 2; i++) {
		EXPECT_EQ(copy[i].type, original[i].type);
		EXPECT_EQ(copy[i].size, original[i].size);
		EXPECT_EQ(copy[i].payload, original[i].payload);
		EXPECT_NE(copy[i].data, original[i].data) << "item " << i << " needs a buffer of its own";
	}
	EXPECT_EQ(copy[2].data, uintptr_t(unowned));
	EXPECT_EQ(copy[2].size, 0);
	EXPECT_EQ(copy[2].extra, 7u);
}

TEST_F(SwitcherTest, ControlItemsSelectByGridInPriorityOrder)
{
	auto swch = [](uint32 bits) { return [bits](ItemList& l) { l.Value(Z_SWCH, int32(bits)); }; };
	auto ctrl = [](int kind, int value) {
		return [=](ItemList& l) { l.Value(Z_CTRL, int32(uint32(kind) | uint32(5) << 8 | uint32(value) << 16)); };
	};
	Grid all{.passes = 0x0001, .splits = 0x0002, .dupes = 0x0004 | 0x0008, .stops = 0x0008};
	struct Case {
		const char* name;
		Grid grid;
		int start;
		std::function<void(ItemList&)> build;
		int expected;
	} cases[] = {
		{"stops decide before dupes", all, kPass, swch(0x0008), kStop},
		{"dupes before splits", {.splits = 4, .dupes = 4}, kPass, swch(4), kDupe},
		{"splits before passes", {.passes = 2, .splits = 2}, kPass, swch(2), kDivert},
		{"passes", all, kStop, swch(0x0001), kPass},
		{"several bits: the first set in order", all, kPass, swch(0x0001 | 0x0002), kDivert},
		{"no set shares a bit", all, kDupe, swch(0x0100), kDupe},
		{"bit 20 is outside the grid", {.stops = 0xFFFF}, kPass, swch(1u << 20), kPass},
		{"CTRL kind 1 value 3 is bit 3", all, kPass, ctrl(1, 3), kStop},
		{"CTRL value 35 wraps to bit 3", all, kPass, ctrl(1, 35), kStop},
		{"CTRL kind 2 is ignored", all, kPass, ctrl(2, 3), kPass},
		{"the later item decides", all, kPass, [](ItemList& l) {
			 l.Value(Z_SWCH, 0x0008).Midi({Ev(0x90, 1, 1)}).Value(Z_CTRL, 1 | 1 << 16); }, kDivert},
		{"other items select nothing", all, kDivert, [](ItemList& l) {
			 l.Value(Z_MTIM, 8).Value(Z_CHRD, 8).Empty(); }, kDivert},
	};
	for (const Case& c : cases) {
		Element& e = runtime.Open("Switcher");
		Load(e, c.start, c.grid);
		ItemList list;
		c.build(list);
		Delivery before = list.snapshot();
		EXPECT_EQ(e.Call("Control", list), 0) << c.name;
		EXPECT_EQ(State(e), c.expected) << c.name;
		Delivery after = list.snapshot();
		for (size_t i = 0; i < after.size(); i++)
			EXPECT_EQ(after[i].data, before[i].data) << c.name << ": control items pass unchanged";
	}
}

TEST_F(SwitcherTest, ControlChangesWhatTheNextDeliveryDoes)
{
	Load(element, kPass, {.splits = 1 << 2, .stops = 1 << 5});
	ItemList select;
	select.Value(Z_SWCH, 1 << 2);
	element.Call("Control", select);
	ItemList list = Sample();
	EXPECT_EQ(element.Call("Through", list), -1);
	ASSERT_TRUE(element.Pull("Diverted", nullptr, kDeadline));
	ItemList stop;
	stop.Value(Z_CTRL, 1 | 5 << 16);
	element.Call("Control", stop);
	EXPECT_EQ(element.Call("Through", list), -1);
	EXPECT_FALSE(element.Pull("Diverted", nullptr, kQuiet));
}

TEST_F(SwitcherTest, SecondDivertDeliveryWaitsForTheFirstToBeTaken)
{
	Load(element, kDivert);
	ItemList first = Sample(1);
	EXPECT_EQ(element.Call("Through", first), -1);  // nobody pulls yet
	ItemList second = Sample(2);
	auto waiting = std::async(std::launch::async, [&] { return element.Call("Through", second); });
	EXPECT_EQ(waiting.wait_for(std::chrono::microseconds(kQuiet)), std::future_status::timeout);
	Delivery copy;
	ASSERT_TRUE(element.Pull("Diverted", &copy, kDeadline));
	EXPECT_EQ(copy[1].events()[0].data1, 1);
	EXPECT_EQ(waiting.get(), -1);
	ASSERT_TRUE(element.Pull("Diverted", &copy, kDeadline));
	EXPECT_EQ(copy[1].events()[0].data1, 2);
}

TEST_F(SwitcherTest, CloseReleasesBothWaitingSides)
{
	// A delivery waiting for the slot.
	Load(element, kDupe);
	ItemList first = Sample(1), second = Sample(2);
	EXPECT_EQ(element.Call("Through", first), 0);
	auto waiting = std::async(std::launch::async, [&] { return element.Call("Through", second); });
	EXPECT_EQ(waiting.wait_for(std::chrono::microseconds(kQuiet)), std::future_status::timeout);
	element.Close();
	EXPECT_EQ(waiting.get(), -1);

	// A source waiting for a copy.
	Element& idle = runtime.Open("Switcher");
	EXPECT_FALSE(idle.Pull("Diverted", nullptr, kQuiet));
	idle.Close();
	EXPECT_TRUE(idle.JoinSources(kDeadline).empty());
	ItemList list = Sample();
	EXPECT_EQ(idle.Call("Through", list), -1);
	EXPECT_EQ(idle.Call("Control", list), -1);
}

TEST_F(SwitcherTest, ClosedSourceBlanksTheItemsItIsGiven)
{
	element.Close();
	ZItem* items = new ZItem[3];
	items[0].type = Z_LINE;
	items[0].data = strdup("left over\n");
	items[0].size = 11;
	items[1].type = Z_MIDI;
	items[1].data = calloc(1, 128);  // switcher copies take packets with malloc
	items[1].size = 128;
	items[2].type = Z_MTIM;
	set_zvalue(items[2], 99);
	int count = 3;
	EXPECT_EQ(SplitPort()(element.Handle(), items, count), -1);
	EXPECT_EQ(count, 3);
	for (int i = 0; i < 3; i++) {
		EXPECT_EQ(items[i].type, 0u);
		EXPECT_EQ(items[i].data, nullptr);
		EXPECT_EQ(items[i].size, 0);
	}
	delete[] items;
}

TEST_F(SwitcherTest, SteadyStateCopiesReuseTheCirculatingArrays)
{
	Load(element, kDupe);
	std::mutex lock;
	std::set<const ZItem*> arrays;
	std::set<uintptr_t> buffers;
	element.Port("Diverted").observer = [&](const ZItem* items, int count) {
		std::lock_guard<std::mutex> guard(lock);
		arrays.insert(items);
		for (int i = 0; i < count; i++)
			if (items[i].size != 0)
				buffers.insert(uintptr_t(items[i].data));
	};
	for (int round = 0; round < 12; round++) {
		ItemList list = Sample(round);
		EXPECT_EQ(element.Call("Through", list), 0);
		Delivery copy;
		ASSERT_TRUE(element.Pull("Diverted", &copy, kDeadline));
		EXPECT_EQ(copy[1].events()[0].data1, round);
	}
	std::lock_guard<std::mutex> guard(lock);
	// One array out with the host, one kept for the next copy.
	EXPECT_EQ(arrays.size(), 2u);
	EXPECT_EQ(buffers.size(), 2u);
}

TEST_F(SwitcherTest, ListsOfAnotherLengthTakeOverTheRecycledSlots)
{
	Load(element, kDivert);
	std::vector<int> lengths = {3, 3, 1, 5, 0, 2};
	for (int length : lengths) {
		ItemList list;
		for (int i = 0; i < length; i++)
			i % 2 ? list.Line(std::string(size_t(i + 1), 'a') + "\n") : list.Midi({Ev(0x90, i, length)});
		EXPECT_EQ(element.Call("Through", list), -1);
		Delivery copy;
		ASSERT_TRUE(element.Pull("Diverted", &copy, kDeadline)) << length;
		ASSERT_EQ(copy.size(), size_t(length));
		Delivery original = list.snapshot();
		for (int i = 0; i < length; i++) {
			EXPECT_EQ(copy[size_t(i)].type, original[size_t(i)].type);
			EXPECT_EQ(copy[size_t(i)].payload, original[size_t(i)].payload) << length << "/" << i;
		}
	}
}

TEST_F(SwitcherTest, DivertedSourceRunsAtThePriorityOfTheDeliveringThread)
{
	Load(element, kDivert);
	std::atomic<int32> sourcePriority{-1};
	element.Port("Diverted").observer = [&](const ZItem*, int) {
		thread_info info;
		get_thread_info(find_thread(nullptr), &info);
		sourcePriority = info.priority;
	};
	std::thread([&] {
		set_thread_priority(find_thread(nullptr), B_DISPLAY_PRIORITY);
		ItemList list = Sample();
		element.Call("Through", list);
	}).join();
	ASSERT_TRUE(element.Pull("Diverted", nullptr, kDeadline));
	EXPECT_EQ(sourcePriority, B_DISPLAY_PRIORITY);
}

TEST_F(SwitcherTest, SavedStateRoundTripsAndPartialStateKeepsTheRest)
{
	Grid grid{.passes = 0x8001, .splits = 0x0102, .dupes = 0x0400, .stops = 0x2000};
	Load(element, kDupe, grid);
	BMessage saved;
	element.SaveState(&saved);
	char* name;
	type_code type;
	const char* order[] = {"window", "state", "splits", "dupes", "stops", "passes"};
	for (int i = 0; i < 6; i++) {
		ASSERT_EQ(saved.GetInfo(B_ANY_TYPE, i, &name, &type), B_OK);
		EXPECT_STREQ(name, order[i]);
	}
	Element& copy = runtime.Open("Switcher");
	copy.SetState(&saved);
	EXPECT_EQ(State(copy), kDupe);
	Grid back = Saved(copy);
	EXPECT_EQ(back.passes, grid.passes);
	EXPECT_EQ(back.splits, grid.splits);
	EXPECT_EQ(back.dupes, grid.dupes);
	EXPECT_EQ(back.stops, grid.stops);

	// Three indices of "stops": bits 0 to 2 are set or cleared, the rest
	// stay; no "state" and a state outside the four leave the state.
	BMessage partial;
	AddBits(partial, "stops", 0x0005, 3);
	copy.SetState(&partial);
	EXPECT_EQ(Saved(copy).stops, 0x2005);
	EXPECT_EQ(State(copy), kDupe);
	BMessage bad;
	bad.AddInt32("state", 7);
	copy.SetState(&bad);
	EXPECT_EQ(State(copy), kDupe);
}

namespace {

enum { kPassBox, kDivertBox, kDupeBox, kStopBox };

size_t BoxIndex(int bit, int column)
{
	return size_t(bit * 4 + column);
}

class SwitcherPanelTest : public SwitcherTest {
protected:
	BWindow* window = nullptr;

	void SetUp() override
	{
		element.SetLabel("Routing A");
		ASSERT_EQ(element.ShowPanel(), 0);
		window = FindPanel("Routing A");
		ASSERT_NE(window, nullptr);
	}

	std::string Marked()
	{
		std::string label;
		window->Lock();
		WalkViews(window->ContentView(), [&](BView* view) {
			if (BMenuBar* bar = dynamic_cast<BMenuBar*>(view)) {
				BMenu* menu = bar->SubmenuAt(0);
				if (menu && menu->FindMarked())
					label = menu->FindMarked()->Label();
			}
		});
		window->Unlock();
		return label;
	}
};

}  // namespace

TEST_F(SwitcherPanelTest, LayoutOfMenuHeaderAndRows)
{
	std::vector<std::string> labels = Labels(window);
	std::vector<std::string> expected = {"Pass:", "Divert:", "Dupe:", "", "Stop:"};
	for (int row = 1; row <= 16; row++)
		expected.push_back((row < 10 ? " " : "") + std::to_string(row));
	EXPECT_EQ(labels, expected);
	WithBoxes(window, [&](std::vector<BCheckBox*>& boxes) {
		ASSERT_EQ(boxes.size(), 64u);
		for (BCheckBox* box : boxes) {
			EXPECT_STREQ(box->Name(), "mark");
			EXPECT_EQ(box->Label(), nullptr);
		}
		// Row 3: Pass, Divert, Dupe left of the row number, Stop right of it.
		float number = 0;
		WalkViews(window->ContentView(), [&](BView* view) {
			if (BStringView* label = dynamic_cast<BStringView*>(view); label && std::string(label->Text()) == " 3")
				number = label->Frame().left;
		});
		EXPECT_LT(boxes[BoxIndex(2, kDupeBox)]->Frame().left, number);
		EXPECT_GT(boxes[BoxIndex(2, kStopBox)]->Frame().left, number);
		EXPECT_LT(boxes[BoxIndex(2, kPassBox)]->Frame().left, boxes[BoxIndex(2, kDivertBox)]->Frame().left);
	});
	EXPECT_EQ(Marked(), "Pass");
}

TEST_F(SwitcherPanelTest, CheckingABoxMovesItsBitAndUncheckingClearsOnlyThatSet)
{
	Load(element, kPass, {.passes = 1 << 4, .splits = 1 << 4 | 1 << 5, .stops = 1 << 4});
	std::vector<int32> values = BoxValues(window);
	EXPECT_EQ(values[BoxIndex(4, kPassBox)], 1);
	EXPECT_EQ(values[BoxIndex(4, kStopBox)], 1);
	EXPECT_EQ(values[BoxIndex(4, kDupeBox)], 0);

	ASSERT_EQ(ClickBox(window, BoxIndex(4, kDupeBox)), B_OK);
	Grid grid = Saved(element);
	EXPECT_EQ(grid.dupes, 1 << 4);
	EXPECT_EQ(grid.passes, 0);
	EXPECT_EQ(grid.splits, 1 << 5);  // other rows untouched
	EXPECT_EQ(grid.stops, 0);
	values = BoxValues(window);
	EXPECT_EQ(values[BoxIndex(4, kPassBox)], 0);
	EXPECT_EQ(values[BoxIndex(4, kDivertBox)], 0);
	EXPECT_EQ(values[BoxIndex(4, kDupeBox)], 1);
	EXPECT_EQ(values[BoxIndex(4, kStopBox)], 0);
	EXPECT_EQ(values[BoxIndex(5, kDivertBox)], 1);

	ASSERT_EQ(ClickBox(window, BoxIndex(4, kDupeBox)), B_OK);
	grid = Saved(element);
	EXPECT_EQ(grid.dupes, 0);
	EXPECT_EQ(grid.splits, 1 << 5);

	// The grid now drives the control port: bit 15 is the last row.
	ASSERT_EQ(ClickBox(window, BoxIndex(15, kStopBox)), B_OK);
	ItemList control;
	control.Value(Z_SWCH, 1 << 15);
	element.Call("Control", control);
	EXPECT_EQ(State(element), kStop);
}

TEST_F(SwitcherPanelTest, StateMenuSwitchesTheThroughPort)
{
	std::string why;
	ASSERT_EQ(platform_input::ChooseMenuItem(window, "Divert", nullptr, &why), B_OK) << why;
	EXPECT_EQ(State(element), kDivert);
	ItemList list = Sample();
	EXPECT_EQ(element.Call("Through", list), -1);
	EXPECT_TRUE(element.Pull("Diverted", nullptr, kDeadline));
	ASSERT_EQ(platform_input::ChooseMenuItem(window, "Stop", nullptr, &why), B_OK) << why;
	EXPECT_EQ(State(element), kStop);
	EXPECT_EQ(Marked(), "Stop");
}

TEST_F(SwitcherPanelTest, SavedStateAndControlItemsShowOnThePanel)
{
	Load(element, kStop, {.passes = 1 << 0, .dupes = 1 << 9});
	EXPECT_EQ(Marked(), "Stop");
	std::vector<int32> values = BoxValues(window);
	for (size_t i = 0; i < values.size(); i++) {
		bool on = i == BoxIndex(0, kPassBox) || i == BoxIndex(9, kDupeBox);
		EXPECT_EQ(values[i], on ? 1 : 0) << "box " << i;
	}
	ItemList control;
	control.Value(Z_CTRL, 1 | 9 << 16);
	element.Call("Control", control);
	EXPECT_EQ(Marked(), "Dupe");
}

TEST_F(SwitcherPanelTest, PanelFrameTitleAndClose)
{
	BMessage saved;
	element.SaveState(&saved);
	BRect frame;
	ASSERT_EQ(saved.FindRect("window", &frame), B_OK);
	window->Lock();
	EXPECT_EQ(frame, window->Frame());
	window->Unlock();

	BMessage moved;
	moved.AddRect("window", BRect(100, 120, 260, 470));
	element.SetState(&moved);
	window->Lock();
	EXPECT_EQ(window->Frame().LeftTop(), BPoint(100, 120));
	EXPECT_EQ(window->Frame().Width(), 160);
	window->Unlock();

	element.SetLabel("Routing B");
	EXPECT_EQ(FindPanel("Routing B"), window);

	// A second Panel call raises the panel and keeps the first message.
	EXPECT_EQ(element.ShowPanel(), 0);
	std::string why;
	ASSERT_EQ(platform_input::CloseWindow(window, &why), B_OK) << why;
	EXPECT_TRUE(WaitFor([&] { return element.panelCloses == 1; }));
	EXPECT_EQ(element.ShowPanel(), 0);
	ASSERT_EQ(platform_input::CloseWindow(window, &why), B_OK) << why;
	EXPECT_TRUE(WaitFor([&] { return element.panelCloses == 2; }));
}

TEST_F(SwitcherTest, PanelsCascadeAndRestartAtTheTop)
{
	// Panels are one panel height (300) apart, which passes the limit at
	// once: every panel after the first of a module opens at (20, 20).
	for (int i = 0; i < 3; i++) {
		Element& next = runtime.Open("Switcher");
		BMessage saved;
		next.SaveState(&saved);
		BRect frame;
		ASSERT_EQ(saved.FindRect("window", &frame), B_OK);
		EXPECT_EQ(frame.LeftTop(), BPoint(20, 20)) << i;
	}
}

TEST_F(SwitcherPanelTest, CloseWhileTheControlPortUpdatesThePanel)
{
	Load(element, kPass, {.passes = 1, .stops = 2});
	std::atomic<int> calls{0};
	std::thread control([&] {
		for (int i = 0;; i++) {
			ItemList list;
			list.Value(Z_SWCH, i % 2 ? 1 : 2);
			if (element.Call("Control", list) != 0)
				return;
			calls++;
		}
	});
	EXPECT_TRUE(WaitFor([&] { return calls > 200; }));
	element.Close();
	control.join();
}
