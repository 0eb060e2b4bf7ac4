// The queue of messages waiting for a looper.
#pragma once

#include <Message.h>

#include <condition_variable>
#include <deque>
#include <mutex>

class BMessageQueue {
public:
	BMessageQueue();
	virtual ~BMessageQueue();

	void AddMessage(BMessage* message);
	void RemoveMessage(BMessage* message);
	int32 CountMessages() const;
	bool IsEmpty() const;
	BMessage* FindMessage(int32 index) const;
	BMessage* FindMessage(uint32 what, int32 index = 0) const;
	BMessage* NextMessage();

	bool Lock();
	void Unlock();
	bool IsLocked() const;

	// Waits until a message is queued or the timeout ends, then takes it;
	// null on timeout or when the queue was closed.
	BMessage* WaitForMessage(bigtime_t timeout = B_INFINITE_TIMEOUT);
	// Wakes every waiter and makes later waits return at once.
	void Close();

private:
	mutable std::recursive_mutex fLock;
	std::condition_variable_any fCondition;
	std::deque<BMessage*> fMessages;
	bool fClosed = false;
	int32 fLockCount = 0;
};
