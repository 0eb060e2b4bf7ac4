// Lists of message filters, as handlers and loopers keep them.
#pragma once

#include <List.h>
#include <MessageFilter.h>

namespace platform_private {

struct FilterList {
	static void Add(BList*& list, BMessageFilter* filter, BLooper* looper)
	{
		if (!filter)
			return;
		if (!list)
			list = new BList;
		filter->SetLooper(looper);
		list->AddItem(filter);
	}

	static bool Remove(BList* list, BMessageFilter* filter)
	{
		if (!list || !list->RemoveItem(filter))
			return false;
		filter->SetLooper(nullptr);
		return true;
	}

	// Deletes the filters and the list.
	static void Delete(BList* list)
	{
		if (!list)
			return;
		for (int32 i = 0; i < list->CountItems(); i++)
			delete static_cast<BMessageFilter*>(list->ItemAt(i));
		delete list;
	}
};

}  // namespace platform_private
