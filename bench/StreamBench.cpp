// Throughput of the byte-stream parser and the event monitor, each with
// its output drained by the runtime's source thread as in a diagram.

#include <vantrel/Runtime.h>

#include <benchmark/benchmark.h>

#include <atomic>

using namespace vantrel;

namespace {

RuntimeOptions Options()
{
	RuntimeOptions options;
	options.joinTimeout = 5000000;
	return options;
}

// A raw MIDI stream of notes, controllers, bends and the odd sysex, with
// running status, cut into 256-byte 'DATA' items.
std::vector<std::vector<uint8>> RawStream(size_t bytes)
{
	std::vector<uint8> all;
	uint32 seed = 1;
	while (all.size() < bytes) {
		seed = seed * 1103515245 + 12345;
		switch ((seed >> 16) % 8) {
			case 0: all.insert(all.end(), {0xB0, uint8(seed % 120), uint8((seed >> 8) & 0x7F)}); break;
			case 1: all.insert(all.end(), {0xE1, 0x00, uint8((seed >> 9) & 0x7F)}); break;
			case 2: all.insert(all.end(), {0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}); break;
			default:
				all.insert(all.end(), {0x90, uint8(seed % 128), 100, uint8(seed % 128), 0});
				break;
		}
	}
	std::vector<std::vector<uint8>> chunks;
	for (size_t at = 0; at < all.size(); at += 256)
		chunks.emplace_back(all.begin() + long(at), all.begin() + long(std::min(all.size(), at + 256)));
	return chunks;
}

void BM_RawparseBytes(benchmark::State& state)
{
	Runtime runtime(Options());
	Element& parser = runtime.Open("Rawparse");
	std::atomic<long> delivered{0};
	parser.Port("MIDI Output").observer = [&](const ZItem*, int) { delivered++; };
	parser.StartSources();
	std::vector<std::vector<uint8>> chunks = RawStream(1 << 16);
	std::vector<ItemList> lists(chunks.size());
	int64_t bytes = 0;
	for (size_t i = 0; i < chunks.size(); i++) {
		lists[i].Data(chunks[i]);
		bytes += int64_t(chunks[i].size());
	}
	// About how many entries each chunk yields (a late delivery may count
	// for the next chunk), so that the timed loop keeps at most about 64
	// waiting: the queue's bound of 128 then drops nothing.
	std::vector<long> yields;
	for (ItemList& list : lists) {
		long before = delivered;
		parser.Call("Data Input", list);
		runtime.WaitIdle(2000, 5000000);
		yields.push_back(delivered - before);
	}
	runtime.WaitIdle(20000, 5000000);
	long perPass = 0;
	for (long n : yields)
		perPass += n;
	long entries = 0;
	for (auto _ : state) {
		long start = delivered, expected = 0;
		bigtime_t deadline = system_time() + 10000000;
		for (size_t i = 0; i < lists.size(); i++) {
			while (expected - (delivered - start) > 64 && system_time() < deadline)
				std::this_thread::yield();
			parser.Call("Data Input", lists[i]);
			expected += yields[i];
		}
		while (delivered - start < perPass && system_time() < deadline)
			std::this_thread::yield();
		if (delivered - start < perPass) {
			state.SkipWithError("entries were dropped");
			break;
		}
		entries += perPass;
	}
	state.SetBytesProcessed(state.iterations() * bytes);
	state.counters["entries/s"] = benchmark::Counter(double(entries), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RawparseBytes)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_EventlogLines(benchmark::State& state)
{
	Runtime runtime(Options());
	Element& monitor = runtime.Open("Eventlog");
	std::atomic<long> lines{0};
	monitor.Port("Output").observer = [&](const ZItem* items, int count) {
		for (int i = 0; i < count; i++)
			if (items[i].type == Z_LINE)
				lines++;
	};
	monitor.StartSources();
	std::vector<MIDISeq> events;
	for (int i = 0; i < 32; i++)
		events.push_back(MIDISeq{uint8(0x90 + i % 3 * 0x10), uint8(i * 3), uint8(i + 1), uint8(i % 2)});
	ItemList list;
	list.Time(123456).Midi(events);
	long formatted = 0;
	for (auto _ : state) {
		// Four packets stay within the 128-line bound while the output drains.
		for (int i = 0; i < 4; i++)
			monitor.Call("Input", list);
		formatted += 4 * 32;
		while (lines.load() < formatted)
			std::this_thread::yield();
	}
	state.SetItemsProcessed(formatted);
	state.counters["lines/s"] = benchmark::Counter(double(formatted), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_EventlogLines)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
