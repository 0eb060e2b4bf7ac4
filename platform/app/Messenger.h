// An address for a handler in a looper, valid across threads; sending to
// a looper that no longer exists fails instead of touching freed memory.
#pragma once

#include <OS.h>

class BHandler;
class BLooper;
class BMessage;

class BMessenger {
public:
	BMessenger();
	BMessenger(const BHandler* handler, const BLooper* looper = nullptr,
		status_t* result = nullptr);
	BMessenger(const BMessenger& other);
	~BMessenger();

	BMessenger& operator=(const BMessenger& other);
	bool operator==(const BMessenger& other) const;
	bool operator!=(const BMessenger& other) const { return !(*this == other); }

	bool IsTargetLocal() const;
	BHandler* Target(BLooper** looper) const;
	bool LockTarget() const;
	status_t LockTargetWithTimeout(bigtime_t timeout) const;
	bool IsValid() const;
	team_id Team() const;

	status_t SendMessage(uint32 command, BHandler* replyTo = nullptr) const;
	status_t SendMessage(BMessage* message, BHandler* replyTo = nullptr,
		bigtime_t timeout = B_INFINITE_TIMEOUT) const;
	status_t SendMessage(BMessage* message, BMessenger replyTo,
		bigtime_t timeout = B_INFINITE_TIMEOUT) const;
	status_t SendMessage(uint32 command, BMessage* reply) const;
	status_t SendMessage(BMessage* message, BMessage* reply,
		bigtime_t deliveryTimeout = B_INFINITE_TIMEOUT,
		bigtime_t replyTimeout = B_INFINITE_TIMEOUT) const;

	int32 LooperToken() const { return fLooperToken; }
	int32 HandlerToken() const { return fHandlerToken; }
	bool UsesPreferredTarget() const { return fPreferred; }
	void SetTo(int32 looperToken, int32 handlerToken, bool preferred);

private:
	int32 fLooperToken = -1;
	int32 fHandlerToken = -1;
	bool fPreferred = true;
};
