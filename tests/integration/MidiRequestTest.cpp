// A MIDI request end to end, as the example diagram wires it: raw bytes
// parsed into packets, note-ons marked, the marked events split off to a
// branch whose channel is rewritten, and a monitor on each branch.

#include <VantrelTest.h>

#include <cstdlib>

using namespace vantrel;
using namespace vantrel::testing;

namespace {

// The monitor lines that reach an Eventlog's output within the deadline,
// until `expected` lines came.
std::vector<std::string> Lines(Element& monitor, size_t expected)
{
	std::vector<std::string> lines;
	Delivery delivery;
	while (lines.size() < expected && monitor.Pull("Output", &delivery, kDeadline)) {
		for (const ItemCopy& item : delivery)
			if (item.type == Z_LINE)
				lines.push_back(item.text());
	}
	return lines;
}

// A line without its time column, which depends on the clock.
std::string Untimed(const std::string& line)
{
	size_t colon = line.find(": ");
	return colon == std::string::npos ? line : "T: " + line.substr(colon + 2);
}

}  // namespace

TEST(MidiRequest, MarkedNoteOnsTakeTheDivertedBranch)
{
	Runtime runtime(TestOptions());
	std::string path = std::string(VANTREL_SOURCE_DIR) + "/examples/midi-request.json";
	DiagramPlan plan = ReadDiagram(path);
	Instantiate(runtime, plan, path);
	runtime.Start();

	// Note-on channel 1 key 60, a controller, and the note-off as a
	// velocity-0 note-on with running status.
	ItemList bytes;
	bytes.Data({0x90, 60, 100, 0xB0, 7, 90, 0x90, 60, 0});
	EXPECT_EQ(runtime.Find("raw")->Inject("Data Input", bytes), 0);

	std::vector<std::string> moved = Lines(*runtime.Find("moved"), 1);
	std::vector<std::string> kept = Lines(*runtime.Find("kept"), 2);
	ASSERT_EQ(moved.size(), 1u);
	EXPECT_EQ(Untimed(moved[0]), "T: 10  [Note On]       note 60(C) vel. 100 [marks 0x1]\n");
	ASSERT_EQ(kept.size(), 2u);
	EXPECT_EQ(Untimed(kept[0]), "T:  1  [Controller]  num. 7 Main Volume (MSB) value 90 \n");
	EXPECT_EQ(Untimed(kept[1]), "T:  1  [Note On='Off'] note 60(C)\n");

	// The diverted line carries the time the parser stamped on the packet.
	int32 stamp = int32(strtol(moved[0].c_str(), nullptr, 10));
	EXPECT_LE(stamp, now_ms());
	EXPECT_GT(stamp, now_ms() - 60000);
}
