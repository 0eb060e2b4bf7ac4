// The one-slot hand-over between an element's in-line port and its own
// source port. "permit dupe" (initially 1) is held while the slot is being
// filled or waits to be taken; "orig avail" (initially 0) is released when
// the slot is full. The in-line side waits while the previous contents are
// still pending; the source side waits until something is pending.
//
// The source thread runs at the priority of the thread that filled the
// slot, so that a diverted branch is served as urgently as the branch it
// came from.
#pragma once

#include <OS.h>

class HandOver {
public:
	HandOver();
	~HandOver();

	// In-line side. Waits until the slot is free and records the calling
	// thread's priority; false when the hand-over was closed.
	bool BeginFill();
	// The slot is full: wakes the source side.
	void Filled();
	// Nothing was put in the slot: frees it for the next delivery.
	void Abandon();

	// Source side. Waits until the slot is full and takes on the filler's
	// priority; false when the hand-over was closed.
	bool AwaitFilled();
	// The contents were taken: frees the slot.
	void Taken();

	// Deletes both semaphores; every waiting and later call fails.
	void Close();

private:
	HandOver(const HandOver&) = delete;
	HandOver& operator=(const HandOver&) = delete;

	sem_id fOrigAvail;
	sem_id fPermitDupe;
	// Written by the in-line side while it holds "permit dupe", read by
	// the source side after "orig avail": the semaphores order the two.
	int32 fThroughPriority = B_NORMAL_PRIORITY;
};
