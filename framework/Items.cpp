#include "Packet.h"
#include "ZItem.h"

#include <OS.h>

ZItem zero_item;

void clear_item(ZItem& item)
{
	if (item.size != 0) {
		if (item.type == Z_MIDI) {
			if (item.data)
				delete[] static_cast<uint8*>(item.data);
		} else {
			free(item.data);
		}
	}
	item.type = 0;
	item.data = nullptr;
	item.size = 0;
	item.extra = 0;
}

void clear_item_plain(ZItem& item)
{
	if (item.size != 0)
		free(item.data);
	item.type = 0;
	item.data = nullptr;
	item.size = 0;
	item.extra = 0;
}

void clear_items(ZItem* items, int count)
{
	for (int i = 0; items && i < count; i++)
		clear_item(items[i]);
}

void clearItems(ZItem*& items, int& count)
{
	if (items) {
		for (int i = 0; i < count; i++) {
			if (items[i].type == Z_MIDI && items[i].size != 0) {
				delete[] static_cast<uint8*>(items[i].data);
				items[i].data = nullptr;
				items[i].size = 0;
				items[i].type = 0;
			}
		}
		delete[] items;
	}
	items = nullptr;
	count = 0;
}

int32 now_ms()
{
	return int32(uint32(system_time() / 1000));
}
