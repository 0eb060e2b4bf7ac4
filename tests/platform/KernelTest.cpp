#include <OS.h>

#include <VantrelTest.h>

using vantrel::testing::kDeadline;
using vantrel::testing::WaitFor;

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// The number of threads blocked on a semaphore, from its count.
int32 Waiters(sem_id sem)
{
	int32 count = 0;
	get_sem_count(sem, &count);
	return count < 0 ? -count : 0;
}

}  // namespace

TEST(Semaphore, CountsAndPolls)
{
	sem_id sem = create_sem(2, "counting");
	ASSERT_GT(sem, 0);
	EXPECT_EQ(acquire_sem(sem), B_OK);
	EXPECT_EQ(acquire_sem_etc(sem, 1, B_RELATIVE_TIMEOUT, 0), B_OK);
	EXPECT_EQ(acquire_sem_etc(sem, 1, B_RELATIVE_TIMEOUT, 0), B_WOULD_BLOCK);
	EXPECT_EQ(release_sem_etc(sem, 3, 0), B_OK);
	int32 count;
	EXPECT_EQ(get_sem_count(sem, &count), B_OK);
	EXPECT_EQ(count, 3);
	EXPECT_EQ(acquire_sem_etc(sem, 3, 0, 0), B_OK);
	EXPECT_EQ(create_sem(-1, "negative"), B_BAD_VALUE);
	EXPECT_EQ(delete_sem(sem), B_OK);
}

TEST(Semaphore, RelativeAndAbsoluteTimeouts)
{
	sem_id sem = create_sem(0, "timeouts");
	bigtime_t start = system_time();
	EXPECT_EQ(acquire_sem_etc(sem, 1, B_RELATIVE_TIMEOUT, 20000), B_TIMED_OUT);
	EXPECT_GE(system_time() - start, 20000);

	start = system_time();
	EXPECT_EQ(acquire_sem_etc(sem, 1, B_ABSOLUTE_TIMEOUT, start + 20000), B_TIMED_OUT);
	EXPECT_GE(system_time(), start + 20000);
	// An absolute time already past fails at once.
	EXPECT_EQ(acquire_sem_etc(sem, 1, B_ABSOLUTE_TIMEOUT, start - 1), B_TIMED_OUT);

	// A release before the timeout ends the wait successfully.
	std::thread releaser([&] {
		snooze(10000);
		release_sem(sem);
	});
	EXPECT_EQ(acquire_sem_etc(sem, 1, B_RELATIVE_TIMEOUT, kDeadline), B_OK);
	releaser.join();
	delete_sem(sem);
}

TEST(Semaphore, DeletionWakesEveryWaiterAndStaysInvalid)
{
	sem_id sem = create_sem(0, "doomed");
	constexpr int kThreads = 4;
	std::atomic<int> badId{0};
	std::vector<std::thread> threads;
	for (int i = 0; i < kThreads; i++) {
		threads.emplace_back([&, i] {
			status_t status = i % 2 ? acquire_sem(sem)
									: acquire_sem_etc(sem, 1, B_RELATIVE_TIMEOUT, 60 * kDeadline);
			if (status == B_BAD_SEM_ID)
				badId++;
		});
	}
	ASSERT_TRUE(WaitFor([&] { return Waiters(sem) == kThreads; }));
	EXPECT_EQ(delete_sem(sem), B_OK);
	for (auto& t : threads)
		t.join();
	EXPECT_EQ(badId, kThreads);

	// Every later call on the id fails the same way, and the id is not
	// handed out again.
	int32 count;
	EXPECT_EQ(acquire_sem(sem), B_BAD_SEM_ID);
	EXPECT_EQ(release_sem(sem), B_BAD_SEM_ID);
	EXPECT_EQ(get_sem_count(sem, &count), B_BAD_SEM_ID);
	EXPECT_EQ(delete_sem(sem), B_BAD_SEM_ID);
	sem_id next = create_sem(0, "next");
	EXPECT_NE(next, sem);
	delete_sem(next);
}

TEST(Semaphore, WaitersAreServedInOrder)
{
	sem_id sem = create_sem(0, "fifo");
	std::vector<int> order;
	std::mutex lock;
	std::vector<std::thread> threads;
	for (int i = 0; i < 3; i++) {
		threads.emplace_back([&, i] {
			acquire_sem(sem);
			std::lock_guard<std::mutex> guard(lock);
			order.push_back(i);
		});
		ASSERT_TRUE(WaitFor([&] { return Waiters(sem) == i + 1; }));
	}
	for (int i = 0; i < 3; i++) {
		release_sem(sem);
		ASSERT_TRUE(WaitFor([&] {
			std::lock_guard<std::mutex> guard(lock);
			return int(order.size()) == i + 1;
		}));
	}
	for (auto& t : threads)
		t.join();
	EXPECT_EQ(order, (std::vector<int>{0, 1, 2}));
	delete_sem(sem);
}

namespace {

status_t ReturnData(void* data)
{
	return status_t(reinterpret_cast<intptr_t>(data));
}

status_t RecordSelf(void* data)
{
	*static_cast<thread_id*>(data) = find_thread(nullptr);
	return B_OK;
}

}  // namespace

TEST(Thread, SpawnedSuspendedResumedAndJoined)
{
	thread_id seen = -1;
	thread_id thread = spawn_thread(RecordSelf, "recorder", B_NORMAL_PRIORITY, &seen);
	ASSERT_GT(thread, 0);
	thread_info info;
	ASSERT_EQ(get_thread_info(thread, &info), B_OK);
	EXPECT_STREQ(info.name, "recorder");
	EXPECT_EQ(info.state, B_THREAD_SUSPENDED);
	EXPECT_EQ(seen, -1);  // not started yet
	EXPECT_EQ(resume_thread(thread), B_OK);
	status_t result = -1;
	EXPECT_EQ(wait_for_thread(thread, &result), B_OK);
	EXPECT_EQ(result, B_OK);
	EXPECT_EQ(seen, thread);

	thread = spawn_thread(ReturnData, "value", B_NORMAL_PRIORITY, reinterpret_cast<void*>(42));
	// Waiting for a thread that was never resumed starts it.
	EXPECT_EQ(wait_for_thread(thread, &result), B_OK);
	EXPECT_EQ(result, 42);
	EXPECT_EQ(wait_for_thread(thread, &result), B_BAD_THREAD_ID);
}

TEST(Thread, PrioritiesAreRecordedAndReported)
{
	thread_id self = find_thread(nullptr);
	EXPECT_EQ(find_thread(nullptr), self);
	thread_info info;
	ASSERT_EQ(get_thread_info(self, &info), B_OK);
	int32 old = info.priority;
	EXPECT_EQ(set_thread_priority(self, B_DISPLAY_PRIORITY), old);
	ASSERT_EQ(get_thread_info(self, &info), B_OK);
	EXPECT_EQ(info.priority, B_DISPLAY_PRIORITY);
	// A real-time priority never fails the caller, whether or not the
	// operating system grants real-time scheduling.
	EXPECT_EQ(set_thread_priority(self, B_REAL_TIME_PRIORITY), B_DISPLAY_PRIORITY);
	ASSERT_EQ(get_thread_info(self, &info), B_OK);
	EXPECT_EQ(info.priority, B_REAL_TIME_PRIORITY);
	set_thread_priority(self, old);
	EXPECT_FALSE(platform_realtime_granted(self));
	EXPECT_EQ(set_thread_priority(123456789, 10), B_BAD_THREAD_ID);
}

TEST(Clock, SnoozeUntilAndMonotonic)
{
	bigtime_t start = system_time();
	snooze_until(start + 5000, B_SYSTEM_TIMEBASE);
	EXPECT_GE(system_time(), start + 5000);
	snooze(2000);
	EXPECT_GE(system_time(), start + 7000);
}
