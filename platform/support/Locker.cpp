#include <Autolock.h>
#include <Locker.h>
#include <Looper.h>

#include <chrono>

BLocker::BLocker() {}
BLocker::BLocker(const char*) {}
BLocker::BLocker(bool) {}
BLocker::BLocker(const char*, bool) {}
BLocker::~BLocker() {}

bool BLocker::Lock()
{
	return LockWithTimeout(B_INFINITE_TIMEOUT) == B_OK;
}

status_t BLocker::LockWithTimeout(bigtime_t timeout)
{
	thread_id self = find_thread(nullptr);
	std::unique_lock<std::mutex> guard(fMutex);
	if (fOwner == self) {
		fCount++;
		return B_OK;
	}
	fRequests++;
	if (timeout == B_INFINITE_TIMEOUT) {
		fCondition.wait(guard, [&] { return fCount == 0; });
	} else {
		bool ok = fCondition.wait_for(guard,
			std::chrono::microseconds(timeout < 0 ? 0 : timeout), [&] { return fCount == 0; });
		if (!ok) {
			fRequests--;
			return B_TIMED_OUT;
		}
	}
	fRequests--;
	fOwner = self;
	fCount = 1;
	return B_OK;
}

void BLocker::Unlock()
{
	std::lock_guard<std::mutex> guard(fMutex);
	if (fCount == 0 || fOwner != find_thread(nullptr))
		return;
	if (--fCount == 0) {
		fOwner = -1;
		fCondition.notify_one();
	}
}

int32 BLocker::UnlockFully()
{
	std::lock_guard<std::mutex> guard(fMutex);
	if (fCount == 0 || fOwner != find_thread(nullptr))
		return 0;
	int32 count = fCount;
	fCount = 0;
	fOwner = -1;
	fCondition.notify_one();
	return count;
}

void BLocker::RestoreLocks(int32 count)
{
	if (count <= 0)
		return;
	Lock();
	std::lock_guard<std::mutex> guard(fMutex);
	fCount += count - 1;
}

thread_id BLocker::LockingThread() const
{
	std::lock_guard<std::mutex> guard(fMutex);
	return fOwner;
}

bool BLocker::IsLocked() const
{
	std::lock_guard<std::mutex> guard(fMutex);
	return fCount > 0 && fOwner == find_thread(nullptr);
}

int32 BLocker::CountLocks() const
{
	std::lock_guard<std::mutex> guard(fMutex);
	return fCount;
}

int32 BLocker::CountLockRequests() const
{
	std::lock_guard<std::mutex> guard(fMutex);
	return fRequests + (fCount > 0 ? 1 : 0);
}

BAutolock::BAutolock(BLocker* locker) : fLocker(locker), fLocked(locker && locker->Lock()) {}
BAutolock::BAutolock(BLocker& locker) : fLocker(&locker), fLocked(locker.Lock()) {}
BAutolock::BAutolock(BLooper* looper) : fLooper(looper), fLocked(looper && looper->Lock()) {}

BAutolock::~BAutolock() { Unlock(); }

void BAutolock::Unlock()
{
	if (!fLocked)
		return;
	fLocked = false;
	if (fLocker)
		fLocker->Unlock();
	else if (fLooper)
		fLooper->Unlock();
}
