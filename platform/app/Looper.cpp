#include <Looper.h>

#include <MessageFilter.h>
#include <Messenger.h>

#include "FilterList.h"
#include "MessagePrivate.h"
#include "Registry.h"

#include <algorithm>

#include <unistd.h>

using platform_private::Registry;

Registry& Registry::Get()
{
	static auto* registry = new Registry;
	return *registry;
}

BLooper::BLooper(const char* name, int32 priority, int32)
	: BHandler(name), fPriority(priority), fQueue(new BMessageQueue)
{
	fLooperToken = Token();
	fHandlers.push_back(this);
	SetLooper(this);
	Registry& registry = Registry::Get();
	std::lock_guard<std::recursive_mutex> guard(registry.lock);
	registry.loopers[fLooperToken] = this;
}

void BLooper::Unregister()
{
	Registry& registry = Registry::Get();
	std::lock_guard<std::recursive_mutex> guard(registry.lock);
	registry.loopers.erase(fLooperToken);
}

BLooper::~BLooper()
{
	Unregister();
	fQueue->Close();
	// Messages still queued are deleted unanswered; synchronous senders
	// get B_NO_REPLY.
	delete fQueue;
	fQueue = nullptr;
	delete fCurrentMessage;
	fCurrentMessage = nullptr;
	for (BHandler* handler : fHandlers)
		if (handler != this)
			handler->SetLooper(nullptr);
	fHandlers.clear();
	SetLooper(nullptr);
	platform_private::FilterList::Delete(fCommonFilters);
}

status_t BLooper::PostMessage(uint32 command)
{
	BMessage message(command);
	return PostMessage(&message, nullptr, nullptr);
}

status_t BLooper::PostMessage(BMessage* message)
{
	return PostMessage(message, nullptr, nullptr);
}

status_t BLooper::PostMessage(uint32 command, BHandler* handler, BHandler* replyTo)
{
	BMessage message(command);
	return PostMessage(&message, handler, replyTo);
}

status_t BLooper::PostMessage(BMessage* message, BHandler* handler, BHandler* replyTo)
{
	if (!message)
		return B_BAD_VALUE;
	if (handler && handler->Looper() != this)
		return B_MISMATCHED_VALUES;
	BMessenger messenger(handler, handler ? nullptr : this);
	if (!messenger.IsValid())
		return B_BAD_HANDLER;
	return messenger.SendMessage(message, replyTo);
}

status_t BLooper::PostToToken(int32 looperToken, BMessage* message)
{
	Registry& registry = Registry::Get();
	std::lock_guard<std::recursive_mutex> guard(registry.lock);
	auto it = registry.loopers.find(looperToken);
	if (it == registry.loopers.end() || !it->second->fQueue) {
		delete message;
		return B_BAD_PORT_ID;
	}
	it->second->fQueue->AddMessage(message);
	return B_OK;
}

BLooper* BLooper::LockLooperByToken(int32 token, bigtime_t timeout, status_t* result)
{
	bigtime_t deadline = timeout == B_INFINITE_TIMEOUT ? B_INFINITE_TIMEOUT : system_time() + timeout;
	Registry& registry = Registry::Get();
	bigtime_t pause = 50;
	while (true) {
		{
			std::lock_guard<std::recursive_mutex> guard(registry.lock);
			auto it = registry.loopers.find(token);
			if (it == registry.loopers.end()) {
				if (result)
					*result = B_BAD_VALUE;
				return nullptr;
			}
			// Only try the lock here: the looper's owner may need the
			// registry to finish what it is doing.
			if (it->second->fLock.LockWithTimeout(0) == B_OK) {
				if (result)
					*result = B_OK;
				return it->second;
			}
		}
		if (deadline != B_INFINITE_TIMEOUT && system_time() >= deadline) {
			if (result)
				*result = B_TIMED_OUT;
			return nullptr;
		}
		snooze(pause);
		pause = std::min<bigtime_t>(pause * 2, 2000);
	}
}

void BLooper::DispatchMessage(BMessage* message, BHandler* handler)
{
	if (!message || !handler)
		return;
	if (message->what == B_QUIT_REQUESTED && handler == this) {
		bool quit = QuitRequested();
		if (message->IsSourceWaiting()) {
			BMessage reply(B_REPLY);
			reply.AddBool("result", quit);
			message->SendReply(&reply);
		}
		if (quit)
			Quit();
		return;
	}
	handler->MessageReceived(message);
}

void BLooper::MessageReceived(BMessage* message)
{
	BHandler::MessageReceived(message);
}

BMessage* BLooper::CurrentMessage() const { return fCurrentMessage; }

BMessage* BLooper::DetachCurrentMessage()
{
	BMessage* message = fCurrentMessage;
	fCurrentMessage = nullptr;
	return message;
}

BMessageQueue* BLooper::MessageQueue() const { return fQueue; }
bool BLooper::IsMessageWaiting() const { return fQueue && !fQueue->IsEmpty(); }
int32 BLooper::CountQueuedMessages() const { return fQueue ? fQueue->CountMessages() : 0; }

void BLooper::AddHandler(BHandler* handler)
{
	if (!handler || handler->Looper() == this)
		return;
	if (handler->Looper())
		handler->Looper()->RemoveHandler(handler);
	handler->SetLooper(this);
	fHandlers.push_back(handler);
}

bool BLooper::RemoveHandler(BHandler* handler)
{
	if (!handler || handler == this)
		return false;
	auto it = std::find(fHandlers.begin(), fHandlers.end(), handler);
	if (it == fHandlers.end())
		return false;
	fHandlers.erase(it);
	handler->SetLooper(nullptr);
	if (fPreferred == handler)
		fPreferred = nullptr;
	return true;
}

int32 BLooper::CountHandlers() const { return int32(fHandlers.size()); }

BHandler* BLooper::HandlerAt(int32 index) const
{
	if (index < 0 || index >= int32(fHandlers.size()))
		return nullptr;
	return fHandlers[size_t(index)];
}

int32 BLooper::IndexOf(BHandler* handler) const
{
	auto it = std::find(fHandlers.begin(), fHandlers.end(), handler);
	return it == fHandlers.end() ? -1 : int32(it - fHandlers.begin());
}

BHandler* BLooper::PreferredHandler() const { return fPreferred; }
void BLooper::SetPreferredHandler(BHandler* handler)
{
	fPreferred = handler && handler->Looper() == this ? handler : nullptr;
}

status_t BLooper::LoopEntry(void* data)
{
	BLooper* looper = static_cast<BLooper*>(data);
	looper->RunLoop();
	// Messengers stop reaching the looper before any destructor runs.
	looper->Unregister();
	delete looper;
	return B_OK;
}

thread_id BLooper::Run()
{
	if (fRunning)
		return B_ALREADY_RUNNING;
	const char* name = Name() ? Name() : "looper";
	thread_id thread = spawn_thread(LoopEntry, name, fPriority, this);
	if (thread < 0)
		return thread;
	fThread = thread;
	fRunning = true;
	fOwnThread = true;
	// Run() is called with the looper locked by its creator; the loop
	// waits for the lock before it dispatches anything.
	resume_thread(thread);
	return thread;
}

BHandler* BLooper::ResolveTarget(BMessage* message)
{
	if (platform_private::TargetIsPreferred(message))
		return fPreferred ? fPreferred : this;
	int32 token = platform_private::TargetToken(message);
	Registry& registry = Registry::Get();
	std::lock_guard<std::recursive_mutex> guard(registry.lock);
	auto it = registry.handlers.find(token);
	if (it == registry.handlers.end() || it->second->Looper() != this)
		return nullptr;
	return it->second;
}

filter_result BLooper::ApplyFilters(BList* filters, BMessage* message, BHandler** target)
{
	if (!filters)
		return B_DISPATCH_MESSAGE;
	for (int32 i = 0; i < filters->CountItems(); i++) {
		BMessageFilter* filter = static_cast<BMessageFilter*>(filters->ItemAt(i));
		if (!filter->Matches(message))
			continue;
		filter_result result = filter->FilterFunction()
			? filter->FilterFunction()(message, target, filter)
			: filter->Filter(message, target);
		if (result == B_SKIP_MESSAGE)
			return B_SKIP_MESSAGE;
	}
	return B_DISPATCH_MESSAGE;
}

void BLooper::RunLoop()
{
	while (true) {
		BMessage* message = fQueue->WaitForMessage();
		if (!message)
			break;
		Lock();
		if (message->what == _QUIT_) {
			delete message;
			fTerminating = true;
			Unlock();
			break;
		}
		fCurrentMessage = message;
		platform_private::MarkDelivered(message);
		BHandler* target = ResolveTarget(message);
		if (target && ApplyFilters(fCommonFilters, message, &target) == B_DISPATCH_MESSAGE
			&& target && ApplyFilters(target->FilterList(), message, &target) == B_DISPATCH_MESSAGE
			&& target)
			DispatchMessage(message, target);
		delete fCurrentMessage;
		fCurrentMessage = nullptr;
		bool quit = fTerminating;
		Unlock();
		if (quit)
			break;
	}
	fRunning = false;
}

void BLooper::Quit()
{
	if (!fRunning || fThread < 0) {
		// The loop never ran (or has ended): nothing to wait for.
		Unregister();
		fLock.UnlockFully();
		delete this;
		return;
	}
	if (find_thread(nullptr) == fThread) {
		fTerminating = true;
		return;
	}
	thread_id thread = fThread;
	fQueue->AddMessage(new BMessage(_QUIT_));
	fLock.UnlockFully();
	status_t status;
	wait_for_thread(thread, &status);
}

bool BLooper::QuitRequested() { return true; }

bool BLooper::Lock() { return fLock.Lock(); }
void BLooper::Unlock() { fLock.Unlock(); }
bool BLooper::IsLocked() const { return fLock.IsLocked(); }
status_t BLooper::LockWithTimeout(bigtime_t timeout) { return fLock.LockWithTimeout(timeout); }
thread_id BLooper::LockingThread() const { return fLock.LockingThread(); }
int32 BLooper::CountLocks() const { return fLock.CountLocks(); }
int32 BLooper::CountLockRequests() const { return fLock.CountLockRequests(); }
thread_id BLooper::Thread() const { return fThread; }
team_id BLooper::Team() const { return getpid(); }

BLooper* BLooper::LooperForThread(thread_id thread)
{
	Registry& registry = Registry::Get();
	std::lock_guard<std::recursive_mutex> guard(registry.lock);
	for (auto& [token, looper] : registry.loopers)
		if (looper->fThread == thread)
			return looper;
	return nullptr;
}

void BLooper::AddCommonFilter(BMessageFilter* filter)
{
	platform_private::FilterList::Add(fCommonFilters, filter, this);
}

bool BLooper::RemoveCommonFilter(BMessageFilter* filter)
{
	return platform_private::FilterList::Remove(fCommonFilters, filter);
}

void BLooper::SetCommonFilterList(BList* filters)
{
	platform_private::FilterList::Delete(fCommonFilters);
	fCommonFilters = filters;
}

BList* BLooper::CommonFilterList() const { return fCommonFilters; }

void BLooper::TerminateFromLoop() { fTerminating = true; }
