// A filter that sees messages before their handler does.
#pragma once

#include <Handler.h>

class BMessage;

namespace platform_private {
struct FilterList;
}

enum filter_result {
	B_SKIP_MESSAGE,
	B_DISPATCH_MESSAGE,
};

typedef filter_result (*filter_hook)(BMessage* message, BHandler** target,
	BMessageFilter* filter);

enum message_delivery {
	B_ANY_DELIVERY,
	B_DROPPED_DELIVERY,
	B_PROGRAMMED_DELIVERY,
};

enum message_source {
	B_ANY_SOURCE,
	B_REMOTE_SOURCE,
	B_LOCAL_SOURCE,
};

class BMessageFilter {
public:
	BMessageFilter(uint32 what, filter_hook func = nullptr);
	BMessageFilter(message_delivery delivery, message_source source,
		filter_hook func = nullptr);
	BMessageFilter(message_delivery delivery, message_source source,
		uint32 what, filter_hook func = nullptr);
	BMessageFilter(const BMessageFilter& filter);
	BMessageFilter(const BMessageFilter* filter);
	virtual ~BMessageFilter();

	BMessageFilter& operator=(const BMessageFilter& from);

	virtual filter_result Filter(BMessage* message, BHandler** target);

	message_delivery MessageDelivery() const { return fDelivery; }
	message_source MessageSource() const { return fSource; }
	uint32 Command() const { return fWhat; }
	bool FiltersAnyCommand() const { return fFiltersAny; }
	BLooper* Looper() const { return fLooper; }

	// Whether this filter applies to the message at all.
	bool Matches(const BMessage* message) const;

private:
	friend class BLooper;
	friend class BHandler;
	friend struct platform_private::FilterList;

	void SetLooper(BLooper* looper) { fLooper = looper; }
	filter_hook FilterFunction() const { return fHook; }

	bool fFiltersAny;
	uint32 fWhat;
	message_delivery fDelivery;
	message_source fSource;
	BLooper* fLooper = nullptr;
	filter_hook fHook;
};
