// Internals shared by the message, messenger and looper sources.
#pragma once

#include <Message.h>

#include <condition_variable>
#include <mutex>

namespace platform_private {

// A synchronous sender waits on this until the receiver replies, or until
// the message is deleted unanswered (then the reply is B_NO_REPLY).
struct ReplyWaiter {
	std::mutex lock;
	std::condition_variable cv;
	bool done = false;
	BMessage reply;

	void Complete(const BMessage& message)
	{
		std::lock_guard<std::mutex> guard(lock);
		if (done)
			return;
		reply = message;
		reply.fIsReply = true;
		reply.fWasDelivered = true;
		done = true;
		cv.notify_all();
	}
};

struct MessageAccess {
	// Sets the delivery fields of a message that is about to be queued.
	static void PrepareForDelivery(BMessage* message, int32 handlerToken, bool preferred,
		int32 replyLooper, int32 replyHandler, bool replyPreferred)
	{
		message->fTargetToken = handlerToken;
		message->fPreferredTarget = preferred;
		message->fReplyLooper = replyLooper;
		message->fReplyHandler = replyHandler;
		message->fReplyPreferred = replyPreferred;
		message->fWasDelivered = false;
		message->fReplied = false;
	}
	static void AttachWaiter(BMessage* message, std::shared_ptr<ReplyWaiter> waiter)
	{
		message->fWaiter = std::move(waiter);
	}
	static int32 TargetToken(const BMessage* message) { return message->fTargetToken; }
	static bool TargetIsPreferred(const BMessage* message) { return message->fPreferredTarget; }
	static void MarkDelivered(BMessage* message) { message->fWasDelivered = true; }
};

inline void PrepareForDelivery(BMessage* message, int32 handlerToken, bool preferred,
	int32 replyLooper, int32 replyHandler, bool replyPreferred)
{
	MessageAccess::PrepareForDelivery(message, handlerToken, preferred, replyLooper, replyHandler,
		replyPreferred);
}
inline void AttachWaiter(BMessage* message, std::shared_ptr<ReplyWaiter> waiter)
{
	MessageAccess::AttachWaiter(message, std::move(waiter));
}
inline int32 TargetToken(const BMessage* message) { return MessageAccess::TargetToken(message); }
inline bool TargetIsPreferred(const BMessage* message) { return MessageAccess::TargetIsPreferred(message); }
inline void MarkDelivered(BMessage* message) { MessageAccess::MarkDelivered(message); }

}  // namespace platform_private
