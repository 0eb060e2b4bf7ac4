// A thread with a message queue that dispatches each message to a handler
// while holding the looper's lock.
#pragma once

#include <Handler.h>
#include <Locker.h>
#include <Message.h>
#include <MessageFilter.h>
#include <MessageQueue.h>

#include <atomic>
#include <vector>

#define B_LOOPER_PORT_DEFAULT_CAPACITY 200

class BMessageFilter;

class BLooper : public BHandler {
public:
	explicit BLooper(const char* name = nullptr, int32 priority = B_NORMAL_PRIORITY,
		int32 portCapacity = B_LOOPER_PORT_DEFAULT_CAPACITY);
	virtual ~BLooper();

	status_t PostMessage(uint32 command);
	status_t PostMessage(BMessage* message);
	status_t PostMessage(uint32 command, BHandler* handler, BHandler* replyTo = nullptr);
	status_t PostMessage(BMessage* message, BHandler* handler, BHandler* replyTo = nullptr);

	virtual void DispatchMessage(BMessage* message, BHandler* handler);
	void MessageReceived(BMessage* message) override;
	BMessage* CurrentMessage() const;
	BMessage* DetachCurrentMessage();
	BMessageQueue* MessageQueue() const;
	bool IsMessageWaiting() const;
	// The number of messages waiting in the queue.
	int32 CountQueuedMessages() const;

	void AddHandler(BHandler* handler);
	bool RemoveHandler(BHandler* handler);
	int32 CountHandlers() const;
	BHandler* HandlerAt(int32 index) const;
	int32 IndexOf(BHandler* handler) const;
	BHandler* PreferredHandler() const;
	void SetPreferredHandler(BHandler* handler);

	virtual thread_id Run();
	// From the looper's thread: ends the loop after the current message
	// and deletes the looper. From another thread (holding the lock): asks
	// the loop to end, waits for its thread, and the looper is deleted.
	virtual void Quit();
	virtual bool QuitRequested();

	bool Lock();
	void Unlock();
	bool IsLocked() const;
	status_t LockWithTimeout(bigtime_t timeout);
	thread_id LockingThread() const;
	int32 CountLocks() const;
	int32 CountLockRequests() const;
	sem_id Sem() const { return -1; }

	thread_id Thread() const;
	team_id Team() const;
	static BLooper* LooperForThread(thread_id thread);

	void AddCommonFilter(BMessageFilter* filter);
	bool RemoveCommonFilter(BMessageFilter* filter);
	void SetCommonFilterList(BList* filters);
	BList* CommonFilterList() const;

	int32 LooperToken() const { return fLooperToken; }
	bool IsRunning() const { return fRunning; }

	// Looks a looper up by token and locks it; null when it is gone.
	static BLooper* LockLooperByToken(int32 token, bigtime_t timeout, status_t* result);
	// Queues a message for the looper with the token; B_BAD_PORT_ID when
	// the looper no longer exists.
	static status_t PostToToken(int32 looperToken, BMessage* message);

protected:
	// Runs the message loop in the calling thread until it is told to quit.
	void RunLoop();
	// Set by subclasses whose Run() runs the loop in the calling thread.
	void SetLoopThread(thread_id thread) { fThread = thread; }
	bool fTerminating = false;

private:
	friend class BHandler;
	friend class BMessenger;

	static status_t LoopEntry(void* data);
	BHandler* ResolveTarget(BMessage* message);
	filter_result ApplyFilters(BList* filters, BMessage* message, BHandler** target);
	void TerminateFromLoop();
	void Unregister();

	int32 fLooperToken;
	int32 fPriority;
	mutable BLocker fLock;
	BMessageQueue* fQueue;
	BMessage* fCurrentMessage = nullptr;
	std::vector<BHandler*> fHandlers;
	BHandler* fPreferred = nullptr;
	BList* fCommonFilters = nullptr;
	std::atomic<thread_id> fThread{-1};
	std::atomic<bool> fRunning{false};
	bool fOwnThread = true;
};
