#include <MessageFilter.h>

#include <Message.h>

BMessageFilter::BMessageFilter(uint32 what, filter_hook func)
	: fFiltersAny(false), fWhat(what), fDelivery(B_ANY_DELIVERY), fSource(B_ANY_SOURCE), fHook(func)
{
}

BMessageFilter::BMessageFilter(message_delivery delivery, message_source source, filter_hook func)
	: fFiltersAny(true), fWhat(0), fDelivery(delivery), fSource(source), fHook(func)
{
}

BMessageFilter::BMessageFilter(message_delivery delivery, message_source source, uint32 what,
	filter_hook func)
	: fFiltersAny(false), fWhat(what), fDelivery(delivery), fSource(source), fHook(func)
{
}

BMessageFilter::BMessageFilter(const BMessageFilter& filter) { *this = filter; }
BMessageFilter::BMessageFilter(const BMessageFilter* filter) { *this = *filter; }
BMessageFilter::~BMessageFilter() {}

BMessageFilter& BMessageFilter::operator=(const BMessageFilter& from)
{
	fFiltersAny = from.fFiltersAny;
	fWhat = from.fWhat;
	fDelivery = from.fDelivery;
	fSource = from.fSource;
	fHook = from.fHook;
	fLooper = nullptr;
	return *this;
}

filter_result BMessageFilter::Filter(BMessage*, BHandler**) { return B_DISPATCH_MESSAGE; }

bool BMessageFilter::Matches(const BMessage* message) const
{
	if (!fFiltersAny && message->what != fWhat)
		return false;
	if (fDelivery == B_DROPPED_DELIVERY && !message->WasDropped())
		return false;
	if (fDelivery == B_PROGRAMMED_DELIVERY && message->WasDropped())
		return false;
	// Every message of this process is local.
	if (fSource == B_REMOTE_SOURCE)
		return false;
	return true;
}
