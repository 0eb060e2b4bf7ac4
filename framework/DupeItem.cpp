#include "DupeItem.h"

#include <cstring>

void dupe_item(const ZItem& from, ZItem& to)
{
	// A negative size claims ownership without a length; there is nothing
	// that could be copied, so the word is shared like an unowned one.
	int32 size = from.size > 0 ? from.size : 0;
	if (to.size != size) {
		if (to.size != 0)
			free(to.data);
		to.data = size != 0 ? malloc(size_t(size)) : nullptr;
		to.size = size;
	}
	if (size != 0) {
		if (from.data)
			memcpy(to.data, from.data, size_t(size));
		else
			memset(to.data, 0, size_t(size));
	} else {
		to.data = from.data;
	}
	to.type = from.type;
	to.extra = from.extra;
}
