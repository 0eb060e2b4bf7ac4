// The time-ordered event queue of the time sorter: a fixed store of nodes,
// a free list and a doubly linked queue ordered by time stamp.
#pragma once

#include <ZItem.h>

#include <OS.h>

struct MEvent {
	MEvent* next;      // next later node; also the free-list link
	MEvent* previous;  // next earlier node
	uint32 time;       // milliseconds of the 'MTIM' clock
	MIDISeq event;
};

constexpr int kSortNodes = 1000;

class SortQueue {
public:
	SortQueue() : fStore(new MEvent[kSortNodes])
	{
		for (int i = 0; i < kSortNodes; i++) {
			fStore[i].next = i + 1 < kSortNodes ? &fStore[i + 1] : nullptr;
			fStore[i].previous = nullptr;
			fStore[i].time = 0;
			fStore[i].event = MIDISeq{0, 0, 0, 0};
		}
		fFree = &fStore[0];
	}
	~SortQueue() { delete[] fStore; }
	SortQueue(const SortQueue&) = delete;
	SortQueue& operator=(const SortQueue&) = delete;

	MEvent* getfree()
	{
		MEvent* node = fFree;
		if (node) {
			fFree = node->next;
			node->next = nullptr;
			node->previous = nullptr;
		}
		return node;
	}

	void freeme(MEvent* node)
	{
		node->previous = nullptr;
		node->next = fFree;
		fFree = node;
	}

	// Inserts the event behind every queued event that is not later, so
	// equal stamps keep their arrival order. Returns false when no node is
	// free; *newHead tells whether the earliest time moved earlier.
	bool queueevent(const MIDISeq& event, uint32 time, bool* newHead)
	{
		*newHead = false;
		MEvent* node = getfree();
		if (!node)
			return false;
		node->event = event;
		node->time = time;
		if (!fHead) {
			fHead = fTail = node;
			*newHead = true;
		} else if (time < fHead->time) {
			node->next = fHead;
			fHead->previous = node;
			fHead = node;
			*newHead = true;
		} else if (time >= fTail->time) {
			node->previous = fTail;
			fTail->next = node;
			fTail = node;
		} else {
			// Walk from the tail: events mostly arrive in time order.
			MEvent* after = fTail->previous;
			while (time < after->time)
				after = after->previous;
			node->previous = after;
			node->next = after->next;
			after->next->previous = node;
			after->next = node;
		}
		return true;
	}

	bool empty() const { return fHead == nullptr; }
	uint32 headtime() const { return fHead ? fHead->time : 0; }

	// Removes and returns the head event if it is due at `now`, else an
	// all-zero event.
	MIDISeq dequeue(uint32 now)
	{
		if (!fHead || fHead->time > now)
			return MIDISeq{0, 0, 0, 0};
		MEvent* node = fHead;
		fHead = node->next;
		if (fHead)
			fHead->previous = nullptr;
		else
			fTail = nullptr;
		MIDISeq event = node->event;
		freeme(node);
		return event;
	}

private:
	MEvent* fStore;
	MEvent* fFree = nullptr;
	MEvent* fHead = nullptr;
	MEvent* fTail = nullptr;
};

// How long to wait, in microseconds, until an event stamped `stamp` is due
// when the clock reads `nowUs`; 0 when it is due. Due means the clock's
// milliseconds, truncated to 32 bits as 'MTIM' carries them, have reached
// the stamp. The difference is taken in that same 32-bit domain, so the
// wait and the due test agree also once the microsecond clock has grown
// past 2^32 milliseconds.
inline bigtime_t wait_until_due(uint32 stamp, bigtime_t nowUs)
{
	uint32 nowMs = uint32(nowUs / 1000);
	if (stamp <= nowMs)
		return 0;
	bigtime_t wait = bigtime_t(stamp - nowMs) * 1000 - nowUs % 1000;
	return wait > 0 ? wait : 1;
}
