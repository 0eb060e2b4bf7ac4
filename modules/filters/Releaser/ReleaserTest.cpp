#include <VantrelTest.h>

#include <functional>

using namespace vantrel;
using namespace vantrel::testing;

class ReleaserTest : public ::testing::Test {
protected:
	Runtime runtime{TestOptions()};
	Element& element = runtime.Open("Releaser");
};

TEST_F(ReleaserTest, Registration)
{
	Module& module = element.GetModule();
	EXPECT_EQ(module.Description(), "Note On to Note Off");
	EXPECT_EQ(module.HelpFile(), "Tonvantrel/Releaser");
	ASSERT_EQ(module.Ports().size(), 1u);
	EXPECT_EQ(module.Ports()[0].name, "");
	EXPECT_EQ(module.Ports()[0].kind, uint32(Z_FILT));
	EXPECT_EQ(module.Signature(), "application/x-Vantrel-Module");
	EXPECT_EQ(module.labelElem, nullptr);
	EXPECT_EQ(module.saveState, nullptr);
	EXPECT_EQ(module.panel, nullptr);
}

TEST_F(ReleaserTest, KeepsOnlySoundingNoteOnsAsReleases)
{
	ItemList list;
	list.Midi({Ev(0x90, 60, 100), Ev(0x80, 60, 0), Ev(0xB0, 7, 100), Ev(0x93, 62, 0), Ev(0x9F, 64, 1, 0x04)});
	EXPECT_EQ(element.Call("", list), 0);
	std::vector<MIDISeq> slots = list.snapshot()[0].slots();
	EXPECT_EQ(slots[0], Ev(0x90, 60, 0));
	EXPECT_EQ(slots[1], Ev(0x9F, 64, 0, 0x04));  // marks kept
	EXPECT_EQ(slots[2], Ev(0, 0, 0, 0));          // terminator
	EXPECT_EQ(list.events(0).size(), 2u);
}

TEST_F(ReleaserTest, WhatPassesAndWhatIsDropped)
{
	struct Case {
		const char* name;
		std::function<void(ItemList&)> build;
		int result;
	} cases[] = {
		{"empty list", [](ItemList&) {}, -1},
		{"time and no note-on", [](ItemList& l) { l.Time(5).Midi({Ev(0xB0, 1, 2)}); }, -1},
		{"only empty slots", [](ItemList& l) { l.Empty().Empty(); }, -1},
		{"control item beside an emptied packet", [](ItemList& l) {
			 l.Value(Z_CTRL, 0x00400101).Midi({Ev(0x80, 1, 0)}); }, 0},
		{"velocity-0 note-on alone", [](ItemList& l) { l.Midi({Ev(0x90, 60, 0)}); }, -1},
		{"text item alone", [](ItemList& l) { l.Line("x\n"); }, 0},
	};
	for (const Case& c : cases) {
		ItemList list;
		c.build(list);
		EXPECT_EQ(element.Call("", list), c.result) << c.name;
		for (const ItemCopy& item : list.snapshot()) {
			if (item.type == Z_MIDI) {
				EXPECT_TRUE(item.events().empty()) << c.name << ": packet rewritten to empty";
			}
		}
	}
}

TEST_F(ReleaserTest, FullPacketKeepsAll32WithoutTerminator)
{
	std::vector<MIDISeq> slots;
	for (int i = 0; i < 32; i++)
		slots.push_back(Ev(0x90 | (i % 16), i, 100, uint8(i)));
	ItemList list;
	list.MidiSlots(slots);
	// Guard bytes right after the buffer would be overwritten by a
	// terminator written past slot 31; ASan reports any such write.
	EXPECT_EQ(element.Call("", list), 0);
	std::vector<MIDISeq> out = list.snapshot()[0].slots();
	ASSERT_EQ(out.size(), 32u);
	for (int i = 0; i < 32; i++)
		EXPECT_EQ(out[size_t(i)], Ev(0x90 | (i % 16), i, 0, uint8(i)));
}

TEST_F(ReleaserTest, EveryPacketOfTheListIsConverted)
{
	ItemList list;
	list.Midi({Ev(0x90, 1, 1)}).Midi({Ev(0xE0, 0, 64)}).Midi({Ev(0x91, 2, 2)});
	EXPECT_EQ(element.Call("", list), 0);
	EXPECT_EQ(list.events(0), std::vector<MIDISeq>{Ev(0x90, 1, 0)});
	EXPECT_TRUE(list.events(1).empty());
	EXPECT_EQ(list.events(2), std::vector<MIDISeq>{Ev(0x91, 2, 0)});
}

TEST_F(ReleaserTest, ClosedElementLeavesItemsAlone)
{
	element.Close();
	ItemList list;
	list.Midi({Ev(0x90, 60, 100), Ev(0xB0, 7, 1)});
	EXPECT_EQ(element.Call("", list), -1);
	EXPECT_EQ(list.events(0), (std::vector<MIDISeq>{Ev(0x90, 60, 100), Ev(0xB0, 7, 1)}));
}
