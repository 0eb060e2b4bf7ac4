// Counting semaphores with FIFO hand-off. Each waiter queues with the count
// it needs; releases grant counts to the queue head first, so a thread that
// releases and re-acquires at once cannot overtake a thread already waiting.

#include <OS.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include <unistd.h>

namespace {

struct Waiter {
	int32 count;
	bool granted = false;
	std::condition_variable cv;
};

struct Semaphore {
	std::mutex lock;
	int64 count = 0;
	bool deleted = false;
	std::string name;
	thread_id latestHolder = -1;
	// A vector keeps its capacity as waiters come and go, so waiting does
	// not allocate once the queue has been as long as it gets.
	std::vector<Waiter*> waiters;

	void GrantWaiters()
	{
		while (!waiters.empty() && waiters.front()->count <= count) {
			Waiter* w = waiters.front();
			waiters.erase(waiters.begin());
			count -= w->count;
			w->granted = true;
			w->cv.notify_one();
		}
	}
};

std::mutex sTableLock;
std::unordered_map<sem_id, std::shared_ptr<Semaphore>>& Table()
{
	static auto* table = new std::unordered_map<sem_id, std::shared_ptr<Semaphore>>;
	return *table;
}
std::atomic<sem_id> sNextId{1};
constexpr size_t kMaxSems = 65536;

std::shared_ptr<Semaphore> Lookup(sem_id id)
{
	std::lock_guard<std::mutex> guard(sTableLock);
	auto it = Table().find(id);
	if (it == Table().end())
		return nullptr;
	return it->second;
}

}  // namespace

sem_id create_sem(int32 count, const char* name)
{
	if (count < 0)
		return B_BAD_VALUE;
	auto sem = std::make_shared<Semaphore>();
	sem->count = count;
	if (name)
		sem->name.assign(name, strnlen(name, B_OS_NAME_LENGTH - 1));
	std::lock_guard<std::mutex> guard(sTableLock);
	if (Table().size() >= kMaxSems)
		return B_NO_MORE_SEMS;
	sem_id id = sNextId.fetch_add(1);
	if (id <= 0)
		return B_NO_MORE_SEMS;
	Table().emplace(id, std::move(sem));
	return id;
}

status_t delete_sem(sem_id id)
{
	std::shared_ptr<Semaphore> sem;
	{
		std::lock_guard<std::mutex> guard(sTableLock);
		auto it = Table().find(id);
		if (it == Table().end())
			return B_BAD_SEM_ID;
		sem = std::move(it->second);
		Table().erase(it);
	}
	std::lock_guard<std::mutex> guard(sem->lock);
	sem->deleted = true;
	for (Waiter* w : sem->waiters)
		w->cv.notify_one();
	sem->waiters.clear();
	return B_OK;
}

status_t acquire_sem(sem_id id)
{
	return acquire_sem_etc(id, 1, 0, 0);
}

status_t acquire_sem_etc(sem_id id, int32 count, uint32 flags, bigtime_t timeout)
{
	if (count <= 0)
		return B_BAD_VALUE;
	std::shared_ptr<Semaphore> sem = Lookup(id);
	if (!sem)
		return B_BAD_SEM_ID;

	const bool timed = (flags & (B_RELATIVE_TIMEOUT | B_ABSOLUTE_TIMEOUT)) != 0
		&& timeout != B_INFINITE_TIMEOUT;
	bigtime_t deadline = 0;
	if (timed) {
		if (flags & B_ABSOLUTE_TIMEOUT)
			deadline = timeout;
		else
			deadline = timeout <= 0 ? 0 : system_time() + timeout;
	}

	std::unique_lock<std::mutex> guard(sem->lock);
	if (sem->deleted)
		return B_BAD_SEM_ID;
	if (sem->waiters.empty() && sem->count >= count) {
		sem->count -= count;
		sem->latestHolder = find_thread(nullptr);
		return B_OK;
	}
	if (timed && ((flags & B_RELATIVE_TIMEOUT) ? timeout <= 0 : deadline <= system_time()))
		return (flags & B_RELATIVE_TIMEOUT) && timeout <= 0 ? status_t(B_WOULD_BLOCK) : status_t(B_TIMED_OUT);

	Waiter self;
	self.count = count;
	sem->waiters.push_back(&self);
	while (!self.granted && !sem->deleted) {
		if (!timed) {
			self.cv.wait(guard);
			continue;
		}
		bigtime_t now = system_time();
		if (now >= deadline)
			break;
		self.cv.wait_for(guard, std::chrono::microseconds(deadline - now));
	}
	if (self.granted) {
		sem->latestHolder = find_thread(nullptr);
		return B_OK;
	}
	if (sem->deleted)
		return B_BAD_SEM_ID;
	// Timed out: leave the queue, and let a smaller request behind us
	// have what is there.
	sem->waiters.erase(std::find(sem->waiters.begin(), sem->waiters.end(), &self));
	sem->GrantWaiters();
	return B_TIMED_OUT;
}

status_t release_sem(sem_id id)
{
	return release_sem_etc(id, 1, 0);
}

status_t release_sem_etc(sem_id id, int32 count, uint32 flags)
{
	if (count <= 0 && !(flags & B_RELEASE_ALL))
		return B_BAD_VALUE;
	std::shared_ptr<Semaphore> sem = Lookup(id);
	if (!sem)
		return B_BAD_SEM_ID;
	std::lock_guard<std::mutex> guard(sem->lock);
	if (sem->deleted)
		return B_BAD_SEM_ID;
	if (flags & B_RELEASE_ALL) {
		int64 wanted = 0;
		for (Waiter* w : sem->waiters)
			wanted += w->count;
		sem->count += wanted;
	} else if (flags & B_RELEASE_IF_WAITING_ONLY) {
		if (sem->waiters.empty())
			return B_OK;
		sem->count += count;
	} else {
		sem->count += count;
	}
	sem->GrantWaiters();
	return B_OK;
}

status_t get_sem_count(sem_id id, int32* threadCount)
{
	if (!threadCount)
		return B_BAD_VALUE;
	std::shared_ptr<Semaphore> sem = Lookup(id);
	if (!sem)
		return B_BAD_SEM_ID;
	std::lock_guard<std::mutex> guard(sem->lock);
	int64 value = sem->count;
	for (Waiter* w : sem->waiters)
		value -= w->count;
	*threadCount = int32(value);
	return B_OK;
}

status_t _get_sem_info(sem_id id, sem_info* info, size_t size)
{
	if (!info || size < sizeof(sem_info))
		return B_BAD_VALUE;
	std::shared_ptr<Semaphore> sem = Lookup(id);
	if (!sem)
		return B_BAD_SEM_ID;
	std::lock_guard<std::mutex> guard(sem->lock);
	memset(info, 0, sizeof(*info));
	info->sem = id;
	info->team = getpid();
	strncpy(info->name, sem->name.c_str(), B_OS_NAME_LENGTH - 1);
	int64 value = sem->count;
	for (Waiter* w : sem->waiters)
		value -= w->count;
	info->count = int32(value);
	info->latest_holder = sem->latestHolder;
	return B_OK;
}
