#include <Messenger.h>

#include <Handler.h>
#include <Looper.h>
#include <Message.h>

#include "MessagePrivate.h"
#include "Registry.h"

#include <chrono>

#include <unistd.h>

using platform_private::Registry;
using platform_private::ReplyWaiter;

BMessenger::BMessenger() {}

BMessenger::BMessenger(const BHandler* handler, const BLooper* looper, status_t* result)
{
	status_t status = B_OK;
	if (handler) {
		BLooper* owner = handler->Looper();
		if (!owner)
			status = B_MISMATCHED_VALUES;
		else if (looper && looper != owner)
			status = B_MISMATCHED_VALUES;
		else {
			fLooperToken = owner->LooperToken();
			fHandlerToken = handler->Token();
			fPreferred = false;
		}
	} else if (looper) {
		fLooperToken = looper->LooperToken();
		fHandlerToken = -1;
		fPreferred = true;
	} else {
		status = B_BAD_VALUE;
	}
	if (result)
		*result = status;
}

BMessenger::BMessenger(const BMessenger& other) = default;
BMessenger::~BMessenger() {}
BMessenger& BMessenger::operator=(const BMessenger& other) = default;

bool BMessenger::operator==(const BMessenger& other) const
{
	return fLooperToken == other.fLooperToken && fHandlerToken == other.fHandlerToken
		&& fPreferred == other.fPreferred;
}

void BMessenger::SetTo(int32 looperToken, int32 handlerToken, bool preferred)
{
	fLooperToken = looperToken;
	fHandlerToken = handlerToken;
	fPreferred = preferred;
}

bool BMessenger::IsTargetLocal() const { return IsValid(); }

bool BMessenger::IsValid() const
{
	if (fLooperToken < 0)
		return false;
	Registry& registry = Registry::Get();
	std::lock_guard<std::recursive_mutex> guard(registry.lock);
	return registry.loopers.count(fLooperToken) != 0;
}

team_id BMessenger::Team() const { return IsValid() ? getpid() : -1; }

BHandler* BMessenger::Target(BLooper** looper) const
{
	Registry& registry = Registry::Get();
	std::lock_guard<std::recursive_mutex> guard(registry.lock);
	auto it = registry.loopers.find(fLooperToken);
	if (looper)
		*looper = it == registry.loopers.end() ? nullptr : it->second;
	if (it == registry.loopers.end() || fPreferred)
		return nullptr;
	auto handler = registry.handlers.find(fHandlerToken);
	return handler == registry.handlers.end() ? nullptr : handler->second;
}

bool BMessenger::LockTarget() const
{
	return LockTargetWithTimeout(B_INFINITE_TIMEOUT) == B_OK;
}

status_t BMessenger::LockTargetWithTimeout(bigtime_t timeout) const
{
	status_t status;
	BLooper* looper = BLooper::LockLooperByToken(fLooperToken, timeout, &status);
	return looper ? B_OK : status;
}

status_t BMessenger::SendMessage(uint32 command, BHandler* replyTo) const
{
	BMessage message(command);
	return SendMessage(&message, replyTo);
}

status_t BMessenger::SendMessage(BMessage* message, BHandler* replyTo, bigtime_t timeout) const
{
	BMessenger reply;
	if (replyTo)
		reply = BMessenger(replyTo);
	return SendMessage(message, reply, timeout);
}

status_t BMessenger::SendMessage(BMessage* message, BMessenger replyTo, bigtime_t) const
{
	if (!message)
		return B_BAD_VALUE;
	if (fLooperToken < 0)
		return B_BAD_PORT_ID;
	BMessage* copy = new BMessage(*message);
	platform_private::PrepareForDelivery(copy, fHandlerToken, fPreferred, replyTo.fLooperToken,
		replyTo.fHandlerToken, replyTo.fPreferred);
	return BLooper::PostToToken(fLooperToken, copy);
}

status_t BMessenger::SendMessage(uint32 command, BMessage* reply) const
{
	BMessage message(command);
	return SendMessage(&message, reply);
}

status_t BMessenger::SendMessage(BMessage* message, BMessage* reply, bigtime_t,
	bigtime_t replyTimeout) const
{
	if (!message || !reply)
		return B_BAD_VALUE;
	if (fLooperToken < 0)
		return B_BAD_PORT_ID;
	{
		BLooper* target = nullptr;
		Target(&target);
		if (target && target->Thread() == find_thread(nullptr))
			return B_MESSAGE_TO_SELF;
	}
	auto waiter = std::make_shared<ReplyWaiter>();
	BMessage* copy = new BMessage(*message);
	platform_private::PrepareForDelivery(copy, fHandlerToken, fPreferred, -1, -1, true);
	platform_private::AttachWaiter(copy, waiter);
	status_t status = BLooper::PostToToken(fLooperToken, copy);
	if (status != B_OK)
		return status;
	std::unique_lock<std::mutex> guard(waiter->lock);
	if (replyTimeout == B_INFINITE_TIMEOUT) {
		waiter->cv.wait(guard, [&] { return waiter->done; });
	} else if (!waiter->cv.wait_for(guard, std::chrono::microseconds(replyTimeout),
				   [&] { return waiter->done; })) {
		return B_TIMED_OUT;
	}
	*reply = waiter->reply;
	return B_OK;
}
