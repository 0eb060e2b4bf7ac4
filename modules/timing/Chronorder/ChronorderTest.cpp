#include <VantrelTest.h>

#include "SortQueue.h"

using namespace vantrel;
using namespace vantrel::testing;

namespace {

class ChronorderTest : public ::testing::Test {
protected:
	Runtime runtime{TestOptions()};
	Element& element = runtime.Open("Chronorder");

	int Through(int32 stamp, const std::vector<MIDISeq>& events)
	{
		ItemList list;
		if (stamp != -1)
			list.Time(stamp);
		list.Midi(events);
		return element.Call("Through", list);
	}

	// Events of the next Sorted delivery, with its time stamp.
	std::vector<MIDISeq> Next(int32* stamp = nullptr, bigtime_t timeout = kDeadline)
	{
		Delivery delivery;
		if (!element.Pull("Sorted", &delivery, timeout))
			return {};
		EXPECT_EQ(delivery.size(), 6u);
		EXPECT_EQ(delivery[0].type, uint32(Z_MTIM));
		EXPECT_EQ(delivery[1].type, uint32(Z_MIDI));
		if (stamp)
			*stamp = delivery[0].value();
		return delivery[1].events();
	}
};

MIDISeq Note(int key)
{
	return Ev(0x90, key, 100);
}

}  // namespace

TEST_F(ChronorderTest, Registration)
{
	Module& module = element.GetModule();
	EXPECT_EQ(module.Description(), "Sort MIDI Time Sequence");
	EXPECT_EQ(module.HelpFile(), "Tonvantrel/Chronorder");
	ASSERT_EQ(module.Ports().size(), 2u);
	EXPECT_EQ(module.Ports()[0].name, "Sorted");
	EXPECT_EQ(module.Ports()[0].kind, uint32(Z_DSRC));
	EXPECT_EQ(module.Ports()[1].name, "Through");
	EXPECT_EQ(module.Ports()[1].kind, uint32(Z_FLT1));
	EXPECT_EQ(module.panel, nullptr);
	EXPECT_EQ(module.saveState, nullptr);
}

TEST_F(ChronorderTest, PastEventsLeaveInStampOrderAndTiesInArrivalOrder)
{
	// Queued before the output runs, so all are due at its first look.
	Through(300, {Note(3)});
	Through(100, {Note(1), Ev(0x80, 1, 0, 0x05)});
	Through(200, {Note(2)});
	Through(100, {Note(11)});
	int32 stamp = 0;
	bigtime_t before = system_time() / 1000;
	std::vector<MIDISeq> out = Next(&stamp);
	EXPECT_EQ(out, (std::vector<MIDISeq>{Note(1), Ev(0x80, 1, 0, 0x05), Note(11), Note(2), Note(3)}));
	EXPECT_GE(stamp, int32(before));  // stamped with the release time
}

TEST_F(ChronorderTest, InputPassesUnchangedAndOnlyItsFirstPacketIsQueued)
{
	ItemList list;
	list.Value(Z_CTRL, 0x00400101).Time(0).Time(50).Midi({Note(1), Note(2)}).Midi({Note(9)});
	Delivery before = list.snapshot();
	EXPECT_EQ(element.Call("Through", list), 0);
	Delivery after = list.snapshot();
	ASSERT_EQ(after.size(), before.size());
	for (size_t i = 0; i < after.size(); i++) {
		EXPECT_EQ(after[i].type, before[i].type);
		EXPECT_EQ(after[i].data, before[i].data);
		EXPECT_EQ(after[i].payload, before[i].payload);
	}
	EXPECT_EQ(Next(), (std::vector<MIDISeq>{Note(1), Note(2)}));
	EXPECT_FALSE(element.Pull("Sorted", nullptr, kQuiet)) << "the second packet was queued";

	ItemList noPacket;
	noPacket.Time(5).Line("x\n");
	EXPECT_EQ(element.Call("Through", noPacket), 0);
}

TEST_F(ChronorderTest, MissingOrZeroStampMeansArrivalTime)
{
	for (int32 stamp : {-1, 0}) {
		int32 arrival = now_ms();
		Through(stamp, {Note(stamp + 2)});
		int32 released = 0;
		EXPECT_EQ(Next(&released), std::vector<MIDISeq>{Note(stamp + 2)}) << stamp;
		EXPECT_GE(released, arrival);
	}
}

TEST_F(ChronorderTest, FutureEventIsHeldAndAnEarlierArrivalWakesTheOutput)
{
	EXPECT_FALSE(element.Pull("Sorted", nullptr, 1000));  // output now waits on the empty queue
	int32 late = now_ms() + 1500;
	Through(late, {Note(70)});
	EXPECT_FALSE(element.Pull("Sorted", nullptr, kQuiet));
	Through(now_ms(), {Note(60)});
	// Had the output slept on until the late stamp, both would leave in
	// one packet.
	int32 released = 0;
	EXPECT_EQ(Next(&released), std::vector<MIDISeq>{Note(60)});
	EXPECT_LT(released, late);
	EXPECT_EQ(Next(&released), std::vector<MIDISeq>{Note(70)});
	EXPECT_GE(released, late);
	EXPECT_GE(now_ms(), late);
}

TEST_F(ChronorderTest, DueEventsLeave32PerPacket)
{
	std::vector<MIDISeq> all;
	for (int i = 0; i < 70; i++)
		all.push_back(Ev(0x90 | (i % 16), i, 1 + i, uint8(i)));
	for (int start = 0; start < 70; start += 10)
		Through(1000, std::vector<MIDISeq>(all.begin() + start, all.begin() + start + 10));
	Delivery first;
	ASSERT_TRUE(element.Pull("Sorted", &first, kDeadline));
	std::vector<MIDISeq> slots = first[1].slots();
	EXPECT_EQ(slots, std::vector<MIDISeq>(all.begin(), all.begin() + 32));  // full, no terminator
	EXPECT_EQ(Next(), std::vector<MIDISeq>(all.begin() + 32, all.begin() + 64));
	EXPECT_EQ(Next(), std::vector<MIDISeq>(all.begin() + 64, all.end()));
}

TEST_F(ChronorderTest, AThousandEventsFillTheStoreAndTheNextIsDropped)
{
	int32 held = now_ms() + 400;
	int queued = 0;
	while (queued < kSortNodes) {
		std::vector<MIDISeq> packet;
		for (int i = 0; i < 32 && queued < kSortNodes; i++, queued++)
			packet.push_back(Ev(0x90, queued % 128, 1 + queued / 128));
		Through(held, packet);
	}
	// Due at once, so it would lead the output if it had found a node.
	Through(1, {Ev(0xB0, 7, 7)});
	int got = 0;
	while (got < kSortNodes) {
		std::vector<MIDISeq> out = Next();
		ASSERT_FALSE(out.empty()) << "after " << got;
		for (const MIDISeq& event : out) {
			EXPECT_EQ(event, Ev(0x90, got % 128, 1 + got / 128));
			got++;
		}
	}
	EXPECT_FALSE(element.Pull("Sorted", nullptr, kQuiet));
	// Every node is back on the free list.
	Through(0, {Note(5)});
	EXPECT_EQ(Next(), std::vector<MIDISeq>{Note(5)});
}

TEST_F(ChronorderTest, CloseReleasesTheWaitingOutput)
{
	Through(now_ms() + 60000, {Note(1)});
	EXPECT_FALSE(element.Pull("Sorted", nullptr, kQuiet));
	element.Close();
	EXPECT_TRUE(element.JoinSources(kDeadline).empty());
	EXPECT_TRUE(element.Port("Sorted").finished);
	EXPECT_EQ(Through(0, {Note(2)}), -1);
}

TEST(SortQueueWait, AgreesWithTheDueTestAcrossTheMillisecondWrap)
{
	struct Case {
		uint32 stamp;
		bigtime_t now;
		bigtime_t wait;
	} cases[] = {
		{1000, 999'000, 1000},
		{1000, 999'400, 600},
		{1000, 1'000'000, 0},
		{1000, 5'000'000, 0},
		// The clock past 2^32 ms: the stamp holds the truncated value.
		{10, (bigtime_t(1) << 32) * 1000 + 5'250, 4750},
		{5, (bigtime_t(1) << 32) * 1000 + 5'250, 0},
	};
	for (const Case& c : cases)
		EXPECT_EQ(wait_until_due(c.stamp, c.now), c.wait) << c.stamp << " at " << c.now;
}
