// Releaser's throughput on full 32-event packets of note-ons, called
// through the port function as the host calls it.

#include <VantrelTest.h>

#include <benchmark/benchmark.h>

#include <cstring>

using namespace vantrel;

static void ReleaserFullPackets(benchmark::State& state)
{
	Runtime runtime;
	Element& element = runtime.Open("Releaser");
	ZPortFunc port = element.GetModule().FindPort("")->function;
	std::vector<MIDISeq> notes;
	for (int i = 0; i < 32; i++)
		notes.push_back(MIDISeq{uint8(0x90 | (i & 15)), uint8(36 + i), 100, 0});
	ItemList list;
	list.Time(0).MidiSlots(notes);
	void* packet = list[1].data;
	for (auto _ : state) {
		// The converter rewrites velocities; restore the note-ons.
		memcpy(packet, notes.data(), kPacketBytes);
		int result = port(element.Handle(), list.items(), list.count());
		benchmark::DoNotOptimize(result);
	}
	state.SetItemsProcessed(state.iterations() * 32);
	state.counters["events_per_second"] =
		benchmark::Counter(double(state.iterations() * 32), benchmark::Counter::kIsRate);
}
BENCHMARK(ReleaserFullPackets);

BENCHMARK_MAIN();
