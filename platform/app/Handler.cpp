#include <Handler.h>

#include <Looper.h>
#include <Message.h>
#include <MessageFilter.h>

#include "FilterList.h"
#include "Registry.h"

using platform_private::Registry;

BHandler::BHandler(const char* name) : fName(name ? name : "")
{
	Registry& registry = Registry::Get();
	std::lock_guard<std::recursive_mutex> guard(registry.lock);
	fToken = registry.nextToken++;
	registry.handlers[fToken] = this;
}

BHandler::~BHandler()
{
	{
		Registry& registry = Registry::Get();
		std::lock_guard<std::recursive_mutex> guard(registry.lock);
		registry.handlers.erase(fToken);
	}
	if (fLooper && fLooper != this)
		fLooper->RemoveHandler(this);
	platform_private::FilterList::Delete(fFilters);
}

void BHandler::MessageReceived(BMessage* message)
{
	if (fNextHandler && fNextHandler != this) {
		fNextHandler->MessageReceived(message);
		return;
	}
	if (message && message->IsSourceWaiting())
		message->SendReply(B_MESSAGE_NOT_UNDERSTOOD);
}

BLooper* BHandler::Looper() const { return fLooper; }
void BHandler::SetName(const char* name) { fName = name ? name : ""; }
const char* BHandler::Name() const { return fName.empty() ? nullptr : fName.c_str(); }
void BHandler::SetNextHandler(BHandler* handler) { fNextHandler = handler; }
BHandler* BHandler::NextHandler() const { return fNextHandler; }
void BHandler::SetLooper(BLooper* looper) { fLooper = looper; }

void BHandler::AddFilter(BMessageFilter* filter)
{
	platform_private::FilterList::Add(fFilters, filter, fLooper);
}

bool BHandler::RemoveFilter(BMessageFilter* filter)
{
	return platform_private::FilterList::Remove(fFilters, filter);
}

void BHandler::SetFilterList(BList* filters)
{
	platform_private::FilterList::Delete(fFilters);
	fFilters = filters;
}

BList* BHandler::FilterList() { return fFilters; }

bool BHandler::LockLooper()
{
	BLooper* looper = fLooper;
	return looper && looper->Lock();
}

status_t BHandler::LockLooperWithTimeout(bigtime_t timeout)
{
	BLooper* looper = fLooper;
	if (!looper)
		return B_BAD_VALUE;
	return looper->LockWithTimeout(timeout);
}

void BHandler::UnlockLooper()
{
	if (fLooper)
		fLooper->Unlock();
}
