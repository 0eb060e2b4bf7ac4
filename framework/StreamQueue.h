// The hand-over between the input port and the source port of the stream
// and monitor modules: an input semaphore that lets one input call work at
// a time, a bounded queue of finished payloads with "output active"
// counting what waits, and a pool of reusable fixed-size buffers.
#pragma once

#include "ZItem.h"

#include <Locker.h>
#include <OS.h>

#include <deque>
#include <vector>

// One queued payload. data is a pool buffer when size equals the pool's
// buffer size, otherwise a malloc block the entry owns.
struct QueuedPayload {
	uint32 type;
	int32 size;
	void* data;
};

class StreamQueue {
public:
	// inputName names the input semaphore ("permit input" or "file input
	// marshal"); limit bounds the queue; bufferSize is the size of the
	// pool's buffers.
	StreamQueue(const char* inputName, int limit, int32 bufferSize);
	~StreamQueue();
	StreamQueue(const StreamQueue&) = delete;
	StreamQueue& operator=(const StreamQueue&) = delete;

	// Input side: serialises input calls. False once the queue is closed.
	bool EnterInput();
	void LeaveInput();

	// A zeroed pool buffer of bufferSize bytes.
	void* GetBuffer();
	// Gives a pool buffer back.
	void Recycle(void* buffer);
	// Appends the payload and wakes the output. When the queue is full the
	// payload is dropped (its buffer recycled or freed) and false returned.
	bool Put(const QueuedPayload& payload);

	// Output side: waits for something queued. False once closed.
	bool WaitOutput();
	// Takes the oldest payload; false when none is queued (a wake-up whose
	// payload an earlier call already took).
	bool Take(QueuedPayload* payload);
	// Releases what an output item holds: a pool buffer goes back to the
	// pool, any other owned payload is freed; the item is zeroed.
	void ReleaseItem(ZItem& item);

	// Deletes both semaphores, which ends blocked and later port calls.
	void Close();

	// Guards the queue and the pool; recursive, so a caller may hold it
	// across a whole input walk.
	BLocker& Lock() { return fLock; }
	int32 CountQueued();
	int32 CountPooled();
	int Limit() const { return fLimit; }
	int32 BufferSize() const { return fBufferSize; }

private:
	void Discard(const QueuedPayload& payload);

	sem_id fInput;
	sem_id fOutput;
	const int fLimit;
	const int32 fBufferSize;
	BLocker fLock;
	std::deque<QueuedPayload> fQueue;
	std::vector<void*> fPool;
};
