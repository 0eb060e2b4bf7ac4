#include <VantrelTest.h>

#include <functional>

using namespace vantrel;
using namespace vantrel::testing;

namespace {

using Lines = std::vector<std::string>;
using Build = std::function<void(ItemList&)>;

class EventlogTest : public ::testing::Test {
protected:
	// Lines handed out by the element's output, until it is quiet.
	static Lines Drain(Element& monitor, size_t expected = 0)
	{
		Lines lines;
		Delivery delivery;
		while (monitor.Pull("Output", &delivery, lines.size() < expected ? kDeadline : kQuiet)) {
			EXPECT_EQ(delivery.size(), 32u);
			for (const ItemCopy& item : delivery) {
				if (item.type == 0)
					continue;
				EXPECT_EQ(item.type, uint32(Z_LINE));
				EXPECT_EQ(item.size, 100);
				lines.push_back(item.text());
			}
		}
		return lines;
	}

	Runtime runtime{TestOptions()};
};

TEST_F(EventlogTest, Registration)
{
	Module& module = runtime.Open("Eventlog").GetModule();
	EXPECT_EQ(module.Description(), "Vantrel Packet Monitor");
	EXPECT_EQ(module.HelpFile(), "Tonvantrel/Eventlog");
	ASSERT_EQ(module.Ports().size(), 2u);
	EXPECT_EQ(module.Ports()[0].name, "Output");
	EXPECT_EQ(module.Ports()[0].kind, uint32(Z_DSRC));
	EXPECT_EQ(module.Ports()[1].name, "Input");
	EXPECT_EQ(module.Ports()[1].kind, uint32(Z_FLT1));
	EXPECT_EQ(module.panel, nullptr);
}

TEST_F(EventlogTest, LineFormats)
{
	const std::string longText = "abcdefghijklmnopqrstuvwxyzABC";  // 29 characters
	struct Case {
		const char* name;
		std::vector<Build> lists;  // given one after another to a fresh element
		Lines lines;
	} cases[] = {
		{"note-on with velocity 0", {[](ItemList& l) { l.Time(1500).Midi({Ev(0x91, 60, 0)}); }},
			{"      1500:  2  [Note On='Off'] note 60(C)\n"}},
		{"note-off", {[](ItemList& l) { l.Midi({Ev(0x80, 61, 9)}); }},
			{"         0:  1  [Note Off]     note 61(C#)\n"}},
		{"note-on", {[](ItemList& l) { l.Time(-5).Midi({Ev(0x9F, 64, 100)}); }},
			{"        -5: 16  [Note On]       note 64(E) vel. 100\n"}},
		{"key pressure", {[](ItemList& l) { l.Midi({Ev(0xA2, 62, 33)}); }},
			{"         0:  3  [Poly Aftertouch] note 62(D) press. 33  \n"}},
		{"controller with marks after a track",
			{[](ItemList& l) { l.Value(Z_MTRK, 3).Midi({Ev(0xB0, 7, 100, 2)}); }},
			{"<Track 3>\n", "         0:  1  [Controller]  num. 7 Main Volume (MSB) value 100  [marks 0x2]\n"}},
		{"controller without a name", {[](ItemList& l) { l.Midi({Ev(0xB0, 3, 5, 0x80)}); }},
			{"         0:  1  [Controller]  num. 3 (unnamed) value 5  [marks 0x80]\n"}},
		{"program changes", {[](ItemList& l) { l.Midi({Ev(0xC0, 0), Ev(0xC9, 127)}); }},
			{"         0:  1  [Program Change] num. 0 Acoustic Piano\n",
				"         0: 10  [Program Change] num. 127 Gunshot\n"}},
		{"channel pressure", {[](ItemList& l) { l.Midi({Ev(0xD5, 90)}); }},
			{"         0:  6  [Channel Aftertouch] press. 90\n"}},
		{"pitch bends", {[](ItemList& l) { l.Midi({Ev(0xE0, 0, 64), Ev(0xE1, 127, 127), Ev(0xE2, 0, 0)}); }},
			{"         0:  1  [Pitch Bend]    value:0 (0 64)\n",
				"         0:  2  [Pitch Bend]    value:8191 (127 127)\n",
				"         0:  3  [Pitch Bend]    value:-8192 (0 0)\n"}},
		{"system real time and common",
			{[](ItemList& l) { l.Time(42).Midi({Ev(0xF8), Ev(0xFF), Ev(0xF9), Ev(0xF2, 1, 2), Ev(0xF6)}); }},
			{"        42:   [System Real Time] Clock\n", "        42:   [System Real Time] System Reset\n",
				"        42:   [System Real Time] <Undefined>\n",
				"        42:   [System Common]  Song Position bytes: 1 2\n",
				"        42:   [System Common]  Tune Request bytes: 0 0\n"}},
		{"sysex", {[](ItemList& l) { l.Time(7).Sysex({0x7E, 1, 0x42}); }},
			{"         7: SysEx size 3 bytes [first=0x7e(126) last=0x42(66)]\n"}},
		{"empty sysex", {[](ItemList& l) { l.Sysex({}); }}, {"         0: SysEx size 0 bytes\n"}},
		{"chord ahead of the first event prints nothing, after it a line",
			{[](ItemList& l) {
				l.Value(Z_CHRD, 0x02090224).Midi({Ev(0x90, 62, 1)}).Value(Z_CHRD, 0x02090224)
					.Value(Z_CHRD, 0x0B000000).Value(Z_CHRD, 0x0BFF0001);
			}},
			{"         0:  1  [Note On]       note 62(D) vel. 1\n", "Minor Triad: root D\n",
				"Unrecognized: root B\n"}},
		{"tempo", {[](ItemList& l) { l.Value(Z_MTPO, 500000); }},
			{"         0: Tempo Change to 120.00 BPM = 0.5 secs/beat\n"}},
		{"meta events",
			{[&](ItemList& l) {
				l.Meta(3, "Piano").Meta(3, longText).Meta(0x51, "abc").Meta(9, "x").Meta(6, "Verse", 6);
			}},
			{"         0: TRACK_NAME -- Piano\n",
				"         0: TRACK_NAME -- [LONG: 29 chars] abcdefghijklmnopqrst...\n",
				"         0: Meta -- type=0x51 size=4\n", "         0: Unspec. Text -- x\n",
				"         0: MARKER -- Verse\n"}},
		{"control and switch items",
			{[](ItemList& l) { l.Value(Z_CTRL, int32(0xFFFE0502)).Value(Z_SWCH, 0xA5); }},
			{"DIRECTOR: Control 2  index 5   value=-2(0xfffe)\n", "DIRECTOR: Switch bits=000000a5 (hex)\n"}},
		{"a list without a track after one with a track",
			{[](ItemList& l) { l.Value(Z_MTRK, 3).Midi({Ev(0x90, 1, 1)}); },
				[](ItemList& l) { l.Midi({Ev(0x90, 2, 2)}).Sysex({5}); }},
			{"<Track 3>\n", "         0:  1  [Note On]       note 1(C#) vel. 1\n", "<No track>\n",
				"         0:  1  [Note On]       note 2(D) vel. 2\n",
				"         0: SysEx size 1 bytes [first=0x5(5) last=0x5(5)]\n"}},
		{"a track line comes before a sysex too",
			{[](ItemList& l) { l.Value(Z_MTRK, 0).Sysex({1, 2}).Value(Z_MTRK, 0).Midi({Ev(0x80, 0, 0)}); }},
			{"<Track 0>\n", "         0: SysEx size 2 bytes [first=0x1(1) last=0x2(2)]\n",
				"         0:  1  [Note Off]     note 0(C)\n"}},
		{"items it does not describe",
			{[](ItemList& l) { l.Empty().Line("text\n").Data({1, 2}).EndOfData().Midi({}); }}, {}},
	};
	for (const Case& c : cases) {
		Element& monitor = runtime.Open("Eventlog");
		for (const Build& build : c.lists) {
			ItemList list;
			build(list);
			Delivery before = list.snapshot();
			EXPECT_EQ(monitor.Call("Input", list), 0) << c.name;
			Delivery after = list.snapshot();
			for (size_t i = 0; i < after.size(); i++)
				EXPECT_EQ(after[i].payload, before[i].payload) << c.name << ": items pass unchanged";
		}
		EXPECT_EQ(Drain(monitor, c.lines.size()), c.lines) << c.name;
	}
}

TEST_F(EventlogTest, QueueHoldsAtMost128Lines)
{
	Element& monitor = runtime.Open("Eventlog");
	for (int list = 0; list < 5; list++) {
		std::vector<MIDISeq> events;
		for (int i = 0; i < 32; i++)
			events.push_back(Ev(0x90, (list * 32 + i) % 128, 1));
		ItemList items;
		items.Midi(events);
		EXPECT_EQ(monitor.Call("Input", items), 0);
	}
	Lines lines = Drain(monitor, 128);
	ASSERT_EQ(lines.size(), 128u);
	EXPECT_EQ(lines.front(), "         0:  1  [Note On]       note 0(C) vel. 1\n");
	EXPECT_EQ(lines.back(), "         0:  1  [Note On]       note 127(G) vel. 1\n");

	// Drained, it queues again, reusing the buffers handed out before.
	ItemList more;
	more.Midi({Ev(0x80, 12, 0)});
	EXPECT_EQ(monitor.Call("Input", more), 0);
	EXPECT_EQ(Drain(monitor, 1), Lines{"         0:  1  [Note Off]     note 12(C)\n"});
}

TEST_F(EventlogTest, OneOutputCallTakesUpTo32Lines)
{
	Element& monitor = runtime.Open("Eventlog");
	std::vector<MIDISeq> events(32, Ev(0xF8));
	ItemList first, second;
	first.MidiSlots(events);
	second.Midi({Ev(0xFA), Ev(0xFC)});
	monitor.Call("Input", first);
	monitor.Call("Input", second);
	Delivery delivery;
	ASSERT_TRUE(monitor.Pull("Output", &delivery, kDeadline));
	EXPECT_EQ(delivery[31].text(), "         0:   [System Real Time] Clock\n");
	ASSERT_TRUE(monitor.Pull("Output", &delivery, kDeadline));
	EXPECT_EQ(delivery[0].text(), "         0:   [System Real Time] Start\n");
	EXPECT_EQ(delivery[1].text(), "         0:   [System Real Time] Stop\n");
	EXPECT_EQ(delivery[2].type, 0u);
	EXPECT_FALSE(monitor.Pull("Output", &delivery, kQuiet));
}

TEST_F(EventlogTest, ConcurrentInputsKeepTheirLinesTogether)
{
	Element& monitor = runtime.Open("Eventlog");
	monitor.StartSources();
	auto feed = [&](int channel) {
		for (int n = 0; n < 20; n++) {
			ItemList list;
			list.Midi({Ev(0x90 | channel, n, 1), Ev(0x80 | channel, n, 0)});
			monitor.Call("Input", list);
		}
	};
	std::thread a(feed, 0), b(feed, 1);
	a.join();
	b.join();
	Lines lines = Drain(monitor, 80);
	ASSERT_EQ(lines.size(), 80u);
	for (size_t i = 0; i < lines.size(); i += 2)
		EXPECT_EQ(lines[i].substr(11, 3), lines[i + 1].substr(11, 3)) << "line " << i;
}

TEST_F(EventlogTest, CloseEndsABlockedOutput)
{
	Element& monitor = runtime.Open("Eventlog");
	EXPECT_FALSE(monitor.Pull("Output", nullptr, 20000));
	monitor.Close();
	EXPECT_TRUE(monitor.JoinSources(kDeadline).empty());
	ItemList list;
	list.Midi({Ev(0x90, 1, 1)});
	EXPECT_EQ(monitor.Call("Input", list), -1);
}

}  // namespace
