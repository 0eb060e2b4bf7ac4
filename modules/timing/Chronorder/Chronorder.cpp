// Chronorder: copies every MIDI event arriving at "Through" into a queue
// ordered by time stamp and releases the events at "Sorted" once the system
// clock reaches their stamps, each batch stamped with the release time.
// The input passes on unchanged. The output sleeps in its own host thread
// on a timed semaphore wait that a new earliest event cuts short.

#include "SortQueue.h"

#include <Autolock.h>
#include <Locker.h>
#include <Packet.h>
#include <ZModule.h>

#include <atomic>

namespace {

ZMessage sortsetupmsg("Sort MIDI Time Sequence");

struct sorter_Params {
	std::atomic<bool> closed{false};
	BLocker lock{"sorter queue"};
	sem_id wake = create_sem(0, "sleep control");
	SortQueue queue;

	// Queues the event; false when the node store is exhausted.
	bool queueevent(const MIDISeq& event, uint32 time)
	{
		BAutolock guard(lock);
		bool newHead = false;
		if (!queue.queueevent(event, time, &newHead))
			return false;
		if (newHead)
			release_sem(wake);
		return true;
	}
};

// Makes sure item 0 is the 'MTIM' and item 1 an owned 128-byte packet,
// whatever downstream filters did to the array meanwhile.
bool ensure_output(ZItem*& items, int& count)
{
	if (count == 0 || !items) {
		items = new ZItem[6];
		count = 6;
	}
	if (count < 2)
		return false;
	items[0].type = Z_MTIM;
	ZItem& packet = items[1];
	if (packet.type != Z_MIDI || !packet.data || packet.size != kPacketBytes) {
		clear_item(packet);
		packet.type = Z_MIDI;
		packet.data = new_packet();
		packet.size = kPacketBytes;
	}
	return true;
}

}  // namespace

ZPORT ProcessSort(void* elem, ZItem*& items, int& count);
ZPORT ProcessOrig(void* elem, ZItem*& items, int& count);

ZEXPORT BMessage* ZM_Init()
{
	add_port(&sortsetupmsg, Z_DSRC, "Sorted", ProcessSort);
	add_port(&sortsetupmsg, Z_FLT1, "Through", ProcessOrig);
	add_help(&sortsetupmsg, "Tonvantrel/Chronorder");
	return &sortsetupmsg;
}

ZEXPORT void* OpenElem()
{
	return new sorter_Params;
}

ZEXPORT void CloseElem(void* elem)
{
	if (!elem)
		return;
	sorter_Params* params = static_cast<sorter_Params*>(elem);
	params->closed = true;
	delete_sem(params->wake);
}

ZEXPORT void TerminateElem(void* elem)
{
	delete static_cast<sorter_Params*>(elem);
}

ZEXPORT void ShutDown() {}

ZPORT ProcessOrig(void* elem, ZItem*& items, int& count)
{
	sorter_Params* params = static_cast<sorter_Params*>(elem);
	if (params->closed)
		return -1;
	const ZItem* packet = nullptr;
	uint32 time = 0;
	for (int i = 0; i < count; i++) {
		const ZItem& item = items[i];
		if (item.type == Z_MIDI && !packet)
			packet = &item;
		else if (item.type == Z_MTIM && time == 0)
			time = uint32(zvalue(item));
	}
	if (time == 0)
		time = uint32(now_ms());
	if (!packet)
		return 0;
	int slots = packet->size > 0 ? packet->size / 4 : 0;
	BAutolock guard(params->lock);
	for (const MIDISeq& event : PacketEvents(packet->data, slots)) {
		// A full store drops the event; the output frees nodes as it goes.
		params->queueevent(event, time);
	}
	return 0;
}

ZPORT ProcessSort(void* elem, ZItem*& items, int& count)
{
	sorter_Params* params = static_cast<sorter_Params*>(elem);
	if (params->closed) {
		clear_items(items, count);
		return -1;
	}
	if (!ensure_output(items, count)) {
		clear_items(items, count);
		return -1;
	}
	MIDISeq* out = packet_of(items[1]);
	while (true) {
		bool empty;
		uint32 head;
		{
			BAutolock guard(params->lock);
			empty = params->queue.empty();
			head = params->queue.headtime();
		}
		status_t status = B_OK;
		if (empty) {
			status = acquire_sem(params->wake);
		} else {
			bigtime_t wait = wait_until_due(head, system_time());
			if (wait > 0)
				status = acquire_sem_etc(params->wake, 1, B_RELATIVE_TIMEOUT, wait);
		}
		if (status == B_BAD_SEM_ID || params->closed) {
			clear_items(items, count);
			return -1;
		}
		uint32 now = uint32(now_ms());
		int copied = 0;
		{
			BAutolock guard(params->lock);
			while (copied < kPacketSlots && !params->queue.empty() && params->queue.headtime() <= now)
				out[copied++] = params->queue.dequeue(now);
		}
		if (copied < kPacketSlots)
			out[copied] = MIDISeq{0, 0, 0, 0};
		set_zvalue(items[0], int32(now));
		if (copied > 0)
			return 0;
	}
}
