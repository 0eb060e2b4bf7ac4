// A recursive lock that any thread may wait for, with a timed variant.
#pragma once

#include <OS.h>

#include <condition_variable>
#include <mutex>

class BLocker {
public:
	BLocker();
	explicit BLocker(const char* name);
	explicit BLocker(bool benaphoreStyle);
	BLocker(const char* name, bool benaphoreStyle);
	virtual ~BLocker();

	status_t InitCheck() const { return B_OK; }

	bool Lock();
	status_t LockWithTimeout(bigtime_t timeout);
	void Unlock();

	thread_id LockingThread() const;
	bool IsLocked() const;
	int32 CountLocks() const;
	int32 CountLockRequests() const;
	sem_id Sem() const { return -1; }

	// Releases every nesting level held by the calling thread and returns
	// how many there were; RestoreLocks() takes them again.
	int32 UnlockFully();
	void RestoreLocks(int32 count);

private:
	BLocker(const BLocker&) = delete;
	BLocker& operator=(const BLocker&) = delete;

	mutable std::mutex fMutex;
	std::condition_variable fCondition;
	thread_id fOwner = -1;
	int32 fCount = 0;
	int32 fRequests = 0;
};
