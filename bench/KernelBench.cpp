// Semaphore hand-off between two threads: one round trip is a release to
// the other thread and a release back.

#include <OS.h>

#include <benchmark/benchmark.h>

#include <atomic>
#include <thread>

static void SemaphorePingPong(benchmark::State& state)
{
	sem_id ping = create_sem(0, "ping");
	sem_id pong = create_sem(0, "pong");
	std::thread partner([&] {
		while (acquire_sem(ping) == B_OK)
			release_sem(pong);
	});
	for (auto _ : state) {
		release_sem(ping);
		acquire_sem(pong);
	}
	delete_sem(ping);
	partner.join();
	delete_sem(pong);
	state.counters["us_per_round_trip"] = benchmark::Counter(double(state.iterations()),
		benchmark::Counter::kIsRate | benchmark::Counter::kInvert, benchmark::Counter::kIs1000);
	state.SetItemsProcessed(state.iterations());
}
BENCHMARK(SemaphorePingPong)->UseRealTime()->MinTime(1.0);

static void UncontendedAcquireRelease(benchmark::State& state)
{
	sem_id sem = create_sem(1, "solo");
	for (auto _ : state) {
		acquire_sem(sem);
		release_sem(sem);
	}
	delete_sem(sem);
}
BENCHMARK(UncontendedAcquireRelease);

BENCHMARK_MAIN();
