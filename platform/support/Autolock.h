// Holds a lock for the lifetime of a scope.
#pragma once

#include <Locker.h>

class BLooper;

class BAutolock {
public:
	explicit BAutolock(BLocker* locker);
	explicit BAutolock(BLocker& locker);
	explicit BAutolock(BLooper* looper);
	~BAutolock();

	bool IsLocked() const { return fLocked; }
	void Unlock();

private:
	BLocker* fLocker = nullptr;
	BLooper* fLooper = nullptr;
	bool fLocked = false;
};
