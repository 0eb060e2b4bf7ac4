#include <MessageQueue.h>

#include <algorithm>
#include <chrono>

BMessageQueue::BMessageQueue() {}

BMessageQueue::~BMessageQueue()
{
	for (BMessage* message : fMessages)
		delete message;
}

void BMessageQueue::AddMessage(BMessage* message)
{
	if (!message)
		return;
	std::lock_guard<std::recursive_mutex> guard(fLock);
	fMessages.push_back(message);
	fCondition.notify_one();
}

void BMessageQueue::RemoveMessage(BMessage* message)
{
	std::lock_guard<std::recursive_mutex> guard(fLock);
	auto it = std::find(fMessages.begin(), fMessages.end(), message);
	if (it != fMessages.end())
		fMessages.erase(it);
}

int32 BMessageQueue::CountMessages() const
{
	std::lock_guard<std::recursive_mutex> guard(fLock);
	return int32(fMessages.size());
}

bool BMessageQueue::IsEmpty() const { return CountMessages() == 0; }

BMessage* BMessageQueue::FindMessage(int32 index) const
{
	std::lock_guard<std::recursive_mutex> guard(fLock);
	if (index < 0 || index >= int32(fMessages.size()))
		return nullptr;
	return fMessages[size_t(index)];
}

BMessage* BMessageQueue::FindMessage(uint32 what, int32 index) const
{
	std::lock_guard<std::recursive_mutex> guard(fLock);
	for (BMessage* message : fMessages)
		if (message->what == what && index-- == 0)
			return message;
	return nullptr;
}

BMessage* BMessageQueue::NextMessage()
{
	std::lock_guard<std::recursive_mutex> guard(fLock);
	if (fMessages.empty())
		return nullptr;
	BMessage* message = fMessages.front();
	fMessages.pop_front();
	return message;
}

bool BMessageQueue::Lock()
{
	fLock.lock();
	fLockCount++;
	return true;
}

void BMessageQueue::Unlock()
{
	fLockCount--;
	fLock.unlock();
}

bool BMessageQueue::IsLocked() const { return fLockCount > 0; }

BMessage* BMessageQueue::WaitForMessage(bigtime_t timeout)
{
	std::unique_lock<std::recursive_mutex> guard(fLock);
	auto ready = [&] { return fClosed || !fMessages.empty(); };
	if (timeout == B_INFINITE_TIMEOUT)
		fCondition.wait(guard, ready);
	else if (!fCondition.wait_for(guard, std::chrono::microseconds(timeout), ready))
		return nullptr;
	if (fMessages.empty())
		return nullptr;
	BMessage* message = fMessages.front();
	fMessages.pop_front();
	return message;
}

void BMessageQueue::Close()
{
	std::lock_guard<std::recursive_mutex> guard(fLock);
	fClosed = true;
	fCondition.notify_all();
}
