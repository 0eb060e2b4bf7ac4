#include <VantrelTest.h>

using namespace vantrel;
using namespace vantrel::testing;

namespace {

using Bytes = std::vector<uint8>;

// What one output call hands out: a packet's events or a sysex body.
struct Out {
	bool sysex;
	std::vector<MIDISeq> events;
	Bytes body;
};

Out Midi(std::vector<MIDISeq> events) { return Out{false, std::move(events), {}}; }
Out Syx(Bytes body) { return Out{true, {}, std::move(body)}; }

bool operator==(const Out& a, const Out& b)
{
	return a.sysex == b.sysex && a.events == b.events && a.body == b.body;
}

std::ostream& operator<<(std::ostream& out, const Out& o)
{
	if (o.sysex) {
		out << "MSYX[" << o.body.size() << "]";
		for (size_t i = 0; i < o.body.size() && i < 8; i++)
			out << " " << int(o.body[i]);
		return out;
	}
	out << "MIDI";
	for (const MIDISeq& e : o.events)
		out << " " << e;
	return out;
}

class RawparseTest : public ::testing::Test {
protected:
	void Feed(const std::vector<Bytes>& chunks)
	{
		ItemList list;
		for (const Bytes& chunk : chunks)
			list.Data(chunk);
		EXPECT_EQ(element.Call("Data Input", list), 0);
	}

	// Everything the output hands out until it has been quiet for a while.
	std::vector<Out> Drain()
	{
		std::vector<Out> outs;
		Delivery delivery;
		while (element.Pull("MIDI Output", &delivery, kQuiet)) {
			EXPECT_EQ(delivery.size(), 6u);
			EXPECT_EQ(delivery[0].type, uint32(Z_MTIM));
			const ItemCopy& item = delivery[1];
			for (size_t i = 2; i < delivery.size(); i++)
				EXPECT_EQ(delivery[i].type, 0u) << "one entry per call";
			if (item.type == Z_MSYX)
				outs.push_back(Syx(item.payload));
			else if (item.type == Z_MIDI)
				outs.push_back(Midi(item.events()));
			else
				ADD_FAILURE() << "unexpected item " << DescribeItem(item);
		}
		return outs;
	}

	Runtime runtime{TestOptions()};
	Element& element = runtime.Open("Rawparse");
};

Bytes Repeat(std::initializer_list<uint8> bytes, int times)
{
	Bytes out;
	for (int i = 0; i < times; i++)
		out.insert(out.end(), bytes);
	return out;
}

Bytes Sysex(int bodyLength, bool terminated = true)
{
	Bytes out{0xF0};
	for (int i = 0; i < bodyLength; i++)
		out.push_back(uint8(i % 128));
	if (terminated)
		out.push_back(0xF7);
	return out;
}

Bytes Body(int length)
{
	Bytes out;
	for (int i = 0; i < length; i++)
		out.push_back(uint8(i % 128));
	return out;
}

TEST_F(RawparseTest, Registration)
{
	Module& module = element.GetModule();
	EXPECT_EQ(module.Description(), "Stream to MIDI");
	EXPECT_EQ(module.HelpFile(), "Flovantrel/Rawparse");
	ASSERT_EQ(module.Ports().size(), 2u);
	EXPECT_EQ(module.Ports()[0].name, "MIDI Output");
	EXPECT_EQ(module.Ports()[0].kind, uint32(Z_DSRC));
	EXPECT_EQ(module.Ports()[1].name, "Data Input");
	EXPECT_EQ(module.Ports()[1].kind, uint32(Z_FLT1));
}

TEST_F(RawparseTest, ParsesByteStreams)
{
	std::vector<MIDISeq> thirtyThree;
	Bytes notes;
	for (int i = 0; i < 33; i++) {
		thirtyThree.push_back(Ev(0x90, i, 100));
		notes.insert(notes.end(), {0x90, uint8(i), 100});
	}
	Bytes exact = Sysex(260), over = Sysex(300);
	struct Case {
		const char* name;
		std::vector<Bytes> chunks;
		std::vector<Out> outs;
	} cases[] = {
		{"running status", {{0x90, 0x3C, 0x40, 0x3E, 0x40}},
			{Midi({Ev(0x90, 0x3C, 0x40), Ev(0x90, 0x3E, 0x40)})}},
		{"message split across two items", {{0x90, 0x3C}, {0x40}}, {Midi({Ev(0x90, 0x3C, 0x40)})}},
		{"split right after the status byte", {{0xB2}, {0x07, 0x64}}, {Midi({Ev(0xB2, 7, 100)})}},
		{"status at the start of an item abandons the message", {{0x90, 0x3C}, {0x80, 0x3C, 0x00}},
			{Midi({Ev(0x80, 0x3C, 0)})}},
		{"high-bit byte among a message's data bytes is data", {{0x90, 0x3C, 0x85}},
			{Midi({Ev(0x90, 0x3C, 0x85)})}},
		{"one-byte messages with running status", {{0xC1, 5, 6, 0xD3, 0x40}},
			{Midi({Ev(0xC1, 5), Ev(0xC1, 6), Ev(0xD3, 0x40)})}},
		{"pitch bend and system common", {{0xE0, 0x00, 0x40, 0xF2, 1, 2, 0xF3, 9}},
			{Midi({Ev(0xE0, 0, 0x40), Ev(0xF2, 1, 2), Ev(0xF3, 9)})}},
		{"real-time byte and a stray data byte after it", {{0xF8, 0x11, 0x90, 1, 2}},
			{Midi({Ev(0xF8), Ev(0x90, 1, 2)})}},
		{"data bytes before any status are dropped", {{0x12, 0x34, 0x90, 1, 2}}, {Midi({Ev(0x90, 1, 2)})}},
		{"33 messages in one item give packets of 32 and 1", {notes},
			{Midi({thirtyThree.begin(), thirtyThree.begin() + 32}), Midi({thirtyThree[32]})}},
		{"count 0", {Bytes()}, {}},
		{"sysex", {{0xF0, 0x01, 0x02, 0xF7}}, {Syx({1, 2})}},
		{"empty sysex", {{0xF0, 0xF7}}, {Syx({})}},
		{"sysex over three items", {{0xF0, 1}, {2, 3}, {4, 0xF7}}, {Syx({1, 2, 3, 4})}},
		{"sysex ending right at an item start", {{0xF0, 1, 2}, {0xF7, 0x90, 1, 2}},
			{Syx({1, 2}), Midi({Ev(0x90, 1, 2)})}},
		{"a status byte at an item start stays in the sysex body", {{0xF0, 1}, {0xF8, 2, 0xF7}},
			{Syx({1, 0xF8, 2})}},
		{"data after a sysex start another sysex", {{0xF0, 1, 0xF7, 5, 6, 0xF7}}, {Syx({1}), Syx({5, 6})}},
		{"events keep their order around a sysex",
			{{0x90, 1, 2, 0xF0, 9, 0xF7, 0x80, 1, 0}},
			{Midi({Ev(0x90, 1, 2)}), Syx({9}), Midi({Ev(0x80, 1, 0)})}},
		{"sysex of 254 bytes inside one item", {Sysex(254)}, {Syx(Body(254))}},
		{"sysex of exactly 260 bytes", {Bytes(exact.begin(), exact.begin() + 200),
			Bytes(exact.begin() + 200, exact.end())}, {Syx(Body(260))}},
		{"sysex beyond 260 bytes is cut", {Bytes(over.begin(), over.begin() + 256),
			Bytes(over.begin() + 256, over.end())}, {Syx(Body(260))}},
	};
	for (const Case& c : cases) {
		Runtime fresh{TestOptions()};
		Element& parser = fresh.Open("Rawparse");
		ItemList list;
		for (const Bytes& chunk : c.chunks)
			list.Data(chunk);
		EXPECT_EQ(parser.Call("Data Input", list), 0) << c.name;
		std::vector<Out> outs;
		Delivery delivery;
		while (parser.Pull("MIDI Output", &delivery, kQuiet)) {
			if (delivery[1].type == Z_MSYX)
				outs.push_back(Syx(delivery[1].payload));
			else
				outs.push_back(Midi(delivery[1].events()));
		}
		EXPECT_EQ(outs, c.outs) << c.name;
	}
}

TEST_F(RawparseTest, PartialMessageWaitsForItsLastByte)
{
	Feed({{0x90, 0x3C}});
	EXPECT_TRUE(Drain().empty());
	Feed({{0x40}});
	EXPECT_EQ(Drain(), std::vector<Out>{Midi({Ev(0x90, 0x3C, 0x40)})});
}

TEST_F(RawparseTest, InputItemsPassUnchanged)
{
	ItemList list;
	list.Time(7).Data({0x90, 1, 2}).EndOfData().Line("x\n");
	Delivery before = list.snapshot();
	EXPECT_EQ(element.Call("Data Input", list), 0);
	Delivery after = list.snapshot();
	ASSERT_EQ(after.size(), before.size());
	for (size_t i = 0; i < after.size(); i++) {
		EXPECT_EQ(after[i].type, before[i].type);
		EXPECT_EQ(after[i].payload, before[i].payload);
	}
}

TEST_F(RawparseTest, QueueHoldsAtMost128Entries)
{
	// 130 empty sysex messages, each its own entry, before anything drains.
	Feed({Repeat({0xF0, 0xF7}, 128), Repeat({0xF0, 0xF7}, 2)});
	std::vector<Out> outs = Drain();
	EXPECT_EQ(outs.size(), 128u);
	// Once drained, the queue takes entries again.
	Feed({{0xF0, 0x05, 0xF7}});
	EXPECT_EQ(Drain(), std::vector<Out>{Syx({5})});
}

TEST_F(RawparseTest, DeliveryTimeIsNow)
{
	int32 before = int32(system_time() / 1000);
	Feed({{0x90, 1, 2}});
	Delivery delivery;
	ASSERT_TRUE(element.Pull("MIDI Output", &delivery, kDeadline));
	EXPECT_GE(delivery[0].value(), before);
	EXPECT_LE(delivery[0].value(), int32(system_time() / 1000));
}

TEST_F(RawparseTest, CloseEndsABlockedOutputAndRefusesInput)
{
	EXPECT_FALSE(element.Pull("MIDI Output", nullptr, 20000));  // now blocked
	element.Close();
	EXPECT_TRUE(element.JoinSources(kDeadline).empty());
	ItemList list;
	list.Data({0x90, 1, 2});
	EXPECT_EQ(element.Call("Data Input", list), -1);
}

}  // namespace
