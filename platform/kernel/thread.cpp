// Threads on POSIX threads: created suspended, joined by id, with a
// recorded priority. Threads that the platform did not spawn (the main
// thread, threads of the standard library) get an id the first time they
// ask for one.

#include <OS.h>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

#include <pthread.h>
#include <sched.h>
#include <unistd.h>

namespace {

struct ThreadRecord {
	thread_id id = -1;
	std::string name;
	std::atomic<int32> priority{B_NORMAL_PRIORITY};
	std::atomic<bool> realtime{false};
	thread_func func = nullptr;
	void* data = nullptr;
	pthread_t handle{};
	bool spawned = false;

	std::mutex lock;
	std::condition_variable cv;
	bool resumed = false;
	bool cancelled = false;
	bool done = false;
	status_t exitStatus = B_OK;
};

struct ThreadExit {
	status_t status;
};

std::mutex sTableLock;
std::unordered_map<thread_id, std::shared_ptr<ThreadRecord>>& Table()
{
	static auto* table = new std::unordered_map<thread_id, std::shared_ptr<ThreadRecord>>;
	return *table;
}
std::atomic<thread_id> sNextId{1};

// Keeps the current thread's record; for threads registered lazily it
// removes the record again when the thread ends.
struct CurrentThread {
	std::shared_ptr<ThreadRecord> record;
	bool lazy = false;
	~CurrentThread()
	{
		if (record && lazy) {
			std::lock_guard<std::mutex> guard(sTableLock);
			Table().erase(record->id);
		}
	}
};
thread_local CurrentThread tCurrent;

std::shared_ptr<ThreadRecord> Lookup(thread_id id)
{
	std::lock_guard<std::mutex> guard(sTableLock);
	auto it = Table().find(id);
	return it == Table().end() ? nullptr : it->second;
}

ThreadRecord& Current()
{
	if (!tCurrent.record) {
		auto record = std::make_shared<ThreadRecord>();
		record->id = sNextId.fetch_add(1);
		record->handle = pthread_self();
		char name[16] = "";
		pthread_getname_np(pthread_self(), name, sizeof(name));
		record->name = name;
		{
			std::lock_guard<std::mutex> guard(sTableLock);
			Table().emplace(record->id, record);
		}
		tCurrent.record = record;
		tCurrent.lazy = true;
	}
	return *tCurrent.record;
}

// Applies the operating system's scheduling for a platform priority.
// Real-time priorities ask for SCHED_RR; without permission the thread
// keeps normal scheduling.
bool ApplyScheduling(pthread_t handle, int32 priority)
{
	if (priority >= B_REAL_TIME_DISPLAY_PRIORITY) {
		sched_param param{};
		int lo = sched_get_priority_min(SCHED_RR);
		int hi = sched_get_priority_max(SCHED_RR);
		int span = B_MAX_PRIORITY - B_REAL_TIME_DISPLAY_PRIORITY;
		param.sched_priority = lo + (hi - lo) * (priority - B_REAL_TIME_DISPLAY_PRIORITY) / span;
		if (param.sched_priority > hi)
			param.sched_priority = hi;
		return pthread_setschedparam(handle, SCHED_RR, &param) == 0;
	}
	int policy = 0;
	sched_param param{};
	if (pthread_getschedparam(handle, &policy, &param) == 0 && policy != SCHED_OTHER) {
		param.sched_priority = 0;
		pthread_setschedparam(handle, SCHED_OTHER, &param);
	}
	return false;
}

void* Trampoline(void* arg)
{
	std::shared_ptr<ThreadRecord> record(*static_cast<std::shared_ptr<ThreadRecord>*>(arg));
	delete static_cast<std::shared_ptr<ThreadRecord>*>(arg);
	tCurrent.record = record;
	tCurrent.lazy = false;
	pthread_setname_np(pthread_self(), record->name.substr(0, 15).c_str());

	bool run;
	{
		std::unique_lock<std::mutex> guard(record->lock);
		record->cv.wait(guard, [&] { return record->resumed || record->cancelled; });
		run = !record->cancelled;
	}
	if (record->priority >= B_REAL_TIME_DISPLAY_PRIORITY)
		record->realtime = ApplyScheduling(pthread_self(), record->priority);

	status_t status = B_OK;
	if (run) {
		try {
			status = record->func(record->data);
		} catch (const ThreadExit& exit) {
			status = exit.status;
		}
	}
	{
		std::lock_guard<std::mutex> guard(record->lock);
		record->done = true;
		record->exitStatus = status;
	}
	record->cv.notify_all();
	return nullptr;
}

}  // namespace

thread_id spawn_thread(thread_func func, const char* name, int32 priority, void* data)
{
	if (!func)
		return B_BAD_VALUE;
	auto record = std::make_shared<ThreadRecord>();
	record->id = sNextId.fetch_add(1);
	record->name = name ? std::string(name, strnlen(name, B_OS_NAME_LENGTH - 1)) : "";
	record->priority = priority < 0 ? 0 : (priority > B_MAX_PRIORITY ? B_MAX_PRIORITY : priority);
	record->func = func;
	record->data = data;
	record->spawned = true;

	pthread_attr_t attr;
	pthread_attr_init(&attr);
	pthread_attr_setdetachstate(&attr, PTHREAD_CREATE_DETACHED);
	auto* arg = new std::shared_ptr<ThreadRecord>(record);
	{
		std::lock_guard<std::mutex> guard(sTableLock);
		Table().emplace(record->id, record);
	}
	int err = pthread_create(&record->handle, &attr, Trampoline, arg);
	pthread_attr_destroy(&attr);
	if (err != 0) {
		delete arg;
		std::lock_guard<std::mutex> guard(sTableLock);
		Table().erase(record->id);
		return B_NO_MORE_THREADS;
	}
	return record->id;
}

status_t resume_thread(thread_id thread)
{
	auto record = Lookup(thread);
	if (!record)
		return B_BAD_THREAD_ID;
	{
		std::lock_guard<std::mutex> guard(record->lock);
		if (!record->spawned || record->resumed || record->done)
			return B_BAD_THREAD_STATE;
		record->resumed = true;
	}
	record->cv.notify_all();
	return B_OK;
}

status_t wait_for_thread_etc(thread_id thread, uint32 flags, bigtime_t timeout,
	status_t* returnValue)
{
	auto record = Lookup(thread);
	if (!record || !record->spawned)
		return B_BAD_THREAD_ID;
	if (tCurrent.record == record)
		return B_DONT_DO_THAT;
	std::unique_lock<std::mutex> guard(record->lock);
	if (!record->resumed && !record->cancelled) {
		// Waiting for a thread that was never started starts it.
		record->resumed = true;
		record->cv.notify_all();
	}
	bool timed = (flags & (B_RELATIVE_TIMEOUT | B_ABSOLUTE_TIMEOUT)) != 0
		&& timeout != B_INFINITE_TIMEOUT;
	if (timed) {
		bigtime_t deadline = (flags & B_ABSOLUTE_TIMEOUT) ? timeout : system_time() + timeout;
		while (!record->done) {
			bigtime_t now = system_time();
			if (now >= deadline)
				return (flags & B_RELATIVE_TIMEOUT) && timeout <= 0 ? status_t(B_WOULD_BLOCK) : status_t(B_TIMED_OUT);
			record->cv.wait_for(guard, std::chrono::microseconds(deadline - now));
		}
	} else {
		record->cv.wait(guard, [&] { return record->done; });
	}
	if (returnValue)
		*returnValue = record->exitStatus;
	guard.unlock();
	std::lock_guard<std::mutex> tableGuard(sTableLock);
	Table().erase(thread);
	return B_OK;
}

status_t wait_for_thread(thread_id thread, status_t* returnValue)
{
	return wait_for_thread_etc(thread, 0, 0, returnValue);
}

status_t kill_thread(thread_id thread)
{
	auto record = Lookup(thread);
	if (!record)
		return B_BAD_THREAD_ID;
	std::lock_guard<std::mutex> guard(record->lock);
	if (record->spawned && !record->resumed && !record->done) {
		record->cancelled = true;
		record->exitStatus = B_INTERRUPTED;
		record->cv.notify_all();
		return B_OK;
	}
	// A running thread cannot be stopped safely from outside.
	return B_NOT_ALLOWED;
}

void exit_thread(status_t status)
{
	if (tCurrent.record && tCurrent.record->spawned)
		throw ThreadExit{status};
	pthread_exit(nullptr);
}

thread_id find_thread(const char* name)
{
	if (!name)
		return Current().id;
	std::lock_guard<std::mutex> guard(sTableLock);
	for (auto& [id, record] : Table())
		if (record->name == name)
			return id;
	return B_NAME_NOT_FOUND;
}

status_t rename_thread(thread_id thread, const char* newName)
{
	auto record = Lookup(thread);
	if (!record || !newName)
		return record ? status_t(B_BAD_VALUE) : status_t(B_BAD_THREAD_ID);
	std::lock_guard<std::mutex> guard(record->lock);
	record->name.assign(newName, strnlen(newName, B_OS_NAME_LENGTH - 1));
	return B_OK;
}

status_t set_thread_priority(thread_id thread, int32 newPriority)
{
	std::shared_ptr<ThreadRecord> record;
	if (thread == find_thread(nullptr))
		record = tCurrent.record;
	else
		record = Lookup(thread);
	if (!record)
		return B_BAD_THREAD_ID;
	if (newPriority < B_LOWEST_ACTIVE_PRIORITY)
		newPriority = B_LOWEST_ACTIVE_PRIORITY;
	if (newPriority > B_MAX_PRIORITY)
		newPriority = B_MAX_PRIORITY;
	int32 old = record->priority.exchange(newPriority);
	bool started;
	{
		std::lock_guard<std::mutex> guard(record->lock);
		started = !record->spawned || record->resumed;
	}
	if (started && !record->done)
		record->realtime = ApplyScheduling(record->handle, newPriority);
	return old;
}

status_t suspend_thread(thread_id thread)
{
	return Lookup(thread) ? status_t(B_NOT_ALLOWED) : status_t(B_BAD_THREAD_ID);
}

status_t _get_thread_info(thread_id id, thread_info* info, size_t size)
{
	if (!info || size < sizeof(thread_info))
		return B_BAD_VALUE;
	std::shared_ptr<ThreadRecord> record;
	if (id == find_thread(nullptr))
		record = tCurrent.record;
	else
		record = Lookup(id);
	if (!record)
		return B_BAD_THREAD_ID;
	memset(info, 0, sizeof(*info));
	info->thread = record->id;
	info->team = getpid();
	{
		std::lock_guard<std::mutex> guard(record->lock);
		strncpy(info->name, record->name.c_str(), B_OS_NAME_LENGTH - 1);
		if (record->spawned && !record->resumed)
			info->state = B_THREAD_SUSPENDED;
		else
			info->state = B_THREAD_RUNNING;
	}
	info->priority = record->priority;
	return B_OK;
}

bool platform_realtime_granted(thread_id thread)
{
	auto record = thread == find_thread(nullptr) ? tCurrent.record : Lookup(thread);
	return record && record->realtime;
}

status_t snooze(bigtime_t amount)
{
	if (amount <= 0)
		return B_OK;
	return snooze_until(system_time() + amount, B_SYSTEM_TIMEBASE);
}

status_t snooze_etc(bigtime_t amount, int timeBase, uint32 flags)
{
	if (flags & B_ABSOLUTE_TIMEOUT)
		return snooze_until(amount, timeBase);
	return snooze(amount);
}

status_t snooze_until(bigtime_t time, int)
{
	timespec ts;
	ts.tv_sec = time / 1000000;
	ts.tv_nsec = (time % 1000000) * 1000;
	if (time < 0)
		return B_OK;
	while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
	}
	return B_OK;
}

bigtime_t system_time(void)
{
	timespec ts;
	clock_gettime(CLOCK_MONOTONIC, &ts);
	return bigtime_t(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

bigtime_t real_time_clock_usecs(void)
{
	timespec ts;
	clock_gettime(CLOCK_REALTIME, &ts);
	return bigtime_t(ts.tv_sec) * 1000000 + ts.tv_nsec / 1000;
}

uint32 real_time_clock(void)
{
	return uint32(time(nullptr));
}

void debugger(const char* message)
{
	fprintf(stderr, "debugger: %s\n", message ? message : "");
	abort();
}
