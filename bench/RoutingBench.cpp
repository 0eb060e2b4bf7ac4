// Hand-over latency and throughput of the splitter, release lateness of the
// time sorter, and heap allocations per delivery in the steady state of the
// switcher, splitter and time sorter.

#include "AllocCounter.h"

#include <vantrel/Runtime.h>

#include <Packet.h>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

using namespace vantrel;

namespace {

bigtime_t wall_ns()
{
	return std::chrono::duration_cast<std::chrono::nanoseconds>(
		std::chrono::steady_clock::now().time_since_epoch()).count();
}

double percentile(std::vector<double> values, double p)
{
	if (values.empty())
		return 0;
	std::sort(values.begin(), values.end());
	size_t index = size_t(p * double(values.size() - 1) + 0.5);
	return values[std::min(index, values.size() - 1)];
}

// A source port whose deliveries are counted and time-stamped as they
// leave the port.
struct Tap {
	std::atomic<uint64_t> deliveries{0};
	std::atomic<int64_t> lastNs{0};

	void Attach(Element& element, const char* port)
	{
		element.Port(port).observer = [this](const ZItem*, int) {
			lastNs.store(wall_ns(), std::memory_order_relaxed);
			deliveries.fetch_add(1, std::memory_order_release);
		};
	}

	void WaitFor(uint64_t count) const
	{
		while (deliveries.load(std::memory_order_acquire) < count)
			std::this_thread::yield();
	}
};

// A reusable delivery {'MTIM', 'MIDI'} whose packet is refilled before each
// call, since the splitter compacts it in place.
struct Packet {
	ItemList list;
	std::vector<MIDISeq> events;

	explicit Packet(std::vector<MIDISeq> e) : events(std::move(e))
	{
		list.Time(0).Midi(events);
	}

	ItemList& Refill()
	{
		PacketWriter writer(list[1].data);
		for (const MIDISeq& event : events)
			writer.put(event);
		writer.terminate();
		return list;
	}
};

const std::vector<MIDISeq> kMixed = {{0x90, 60, 100, 0x01}, {0x90, 64, 100, 0x00}, {0x80, 60, 0, 0x02}};

void BM_SplitterHandOverLatency(benchmark::State& state)
{
	Runtime runtime;
	Element& splitter = runtime.Open("Splitter");
	Tap tap;
	tap.Attach(splitter, "Diverted");
	splitter.StartSources();
	Packet packet(kMixed);
	std::vector<double> latencies;
	uint64_t sent = 0;
	for (auto _ : state) {
		ItemList& list = packet.Refill();
		int64_t start = wall_ns();
		splitter.Call("Through", list);
		tap.WaitFor(++sent);
		latencies.push_back(double(tap.lastNs.load() - start) / 1000.0);
	}
	state.counters["median_us"] = percentile(latencies, 0.5);
	state.counters["p99_us"] = percentile(latencies, 0.99);
	state.SetItemsProcessed(int64_t(sent));
}
BENCHMARK(BM_SplitterHandOverLatency)->Iterations(20000)->UseRealTime()->Unit(benchmark::kMicrosecond);

// Back to back: each delivery waits only until the previous packet is taken.
void BM_SplitterDeliveries(benchmark::State& state)
{
	Runtime runtime;
	Element& splitter = runtime.Open("Splitter");
	Tap tap;
	tap.Attach(splitter, "Diverted");
	splitter.StartSources();
	Packet packet(kMixed);
	uint64_t sent = 0;
	for (auto _ : state) {
		splitter.Call("Through", packet.Refill());
		sent++;
	}
	tap.WaitFor(sent);
	state.counters["deliveries_per_s"] = benchmark::Counter(double(sent), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_SplitterDeliveries)->Iterations(100000)->UseRealTime()->Unit(benchmark::kMicrosecond);

// 1,000 events a second, each stamped a few milliseconds after it arrives;
// lateness is the time the batch leaves the sorter minus the stamp.
void BM_ChronorderLateness(benchmark::State& state)
{
	const int events = int(state.range(0));
	const int32 lead = 5;  // ms between arrival and stamp
	for (auto _ : state) {
		Runtime runtime;
		Element& sorter = runtime.Open("Chronorder");
		std::vector<int32> stamps(size_t(events), 0);
		std::vector<bigtime_t> released(size_t(events), 0);
		std::atomic<int> got{0};
		sorter.Port("Sorted").observer = [&](const ZItem* items, int) {
			bigtime_t now = system_time();
			for (const MIDISeq& event : PacketEvents(items[1].data)) {
				int index = event.data1 | event.data2 << 7;
				if (index < events)
					released[size_t(index)] = now;
				got++;
			}
		};
		sorter.StartSources();
		ItemList list;
		// One event through first, so the output thread is up and waiting.
		list.Time(0).Midi({{0x90, 0x7F, 0x7F, 0}});
		sorter.Call("Through", list);
		while (got < 1)
			std::this_thread::yield();
		got = 0;
		bigtime_t start = system_time();
		for (int i = 0; i < events; i++) {
			snooze_until(start + bigtime_t(i) * 1000, B_SYSTEM_TIMEBASE);
			int32 stamp = now_ms() + lead;
			stamps[size_t(i)] = stamp;
			set_zvalue(list[0], stamp);
			MIDISeq* packet = packet_of(list[1]);
			packet[0] = MIDISeq{0x90, uint8(i & 0x7F), uint8((i >> 7) & 0x7F), 0};
			sorter.Call("Through", list);
		}
		while (got < events)
			std::this_thread::yield();
		std::vector<double> lateness;
		for (int i = 0; i < events; i++)
			lateness.push_back(double(released[size_t(i)] - bigtime_t(stamps[size_t(i)]) * 1000));
		state.counters["median_us"] = percentile(lateness, 0.5);
		state.counters["p99_us"] = percentile(lateness, 0.99);
		state.counters["max_us"] = percentile(lateness, 1.0);
	}
}
BENCHMARK(BM_ChronorderLateness)->Arg(5000)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

// Allocations per delivery once the element has warmed up. Each delivery
// goes in and is taken out at the source port before the next one.
template <typename Send>
void count_allocations(benchmark::State& state, Element& element, const char* source, Send send)
{
	Tap tap;
	tap.Attach(element, source);
	element.StartSources();
	uint64_t sent = 0;
	for (int i = 0; i < 200; i++) {
		send();
		tap.WaitFor(++sent);
	}
	uint64_t allocations = 0;
	uint64_t measured = 0;
	for (auto _ : state) {
		vantrel::bench::AllocationScope scope;
		send();
		tap.WaitFor(++sent);
		allocations += scope.Stop();
		measured++;
	}
	state.counters["allocs_per_delivery"] = double(allocations) / double(measured);
	state.counters["allocs_total"] = double(allocations);
}

void BM_SwitcherAllocations(benchmark::State& state)
{
	Runtime runtime;
	Element& switcher = runtime.Open("Switcher");
	BMessage dupe;
	dupe.AddInt32("state", 2);
	switcher.SetState(&dupe);
	ItemList list;
	list.Time(5).Midi(kMixed).Line("a line of text\n").Value(Z_CTRL, 0x00400101);
	count_allocations(state, switcher, "Diverted", [&] { switcher.Call("Through", list); });
}
BENCHMARK(BM_SwitcherAllocations)->Iterations(5000)->UseRealTime();

void BM_SplitterAllocations(benchmark::State& state)
{
	Runtime runtime;
	Element& splitter = runtime.Open("Splitter");
	Packet packet(kMixed);
	count_allocations(state, splitter, "Diverted", [&] { splitter.Call("Through", packet.Refill()); });
}
BENCHMARK(BM_SplitterAllocations)->Iterations(5000)->UseRealTime();

void BM_ChronorderAllocations(benchmark::State& state)
{
	Runtime runtime;
	Element& sorter = runtime.Open("Chronorder");
	ItemList list;
	list.Time(0).Midi(kMixed);  // stamped on arrival: due at once
	count_allocations(state, sorter, "Sorted", [&] { sorter.Call("Through", list); });
}
BENCHMARK(BM_ChronorderAllocations)->Iterations(5000)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
