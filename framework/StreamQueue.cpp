#include "StreamQueue.h"

#include <Autolock.h>

#include <cstring>

StreamQueue::StreamQueue(const char* inputName, int limit, int32 bufferSize)
	: fInput(create_sem(1, inputName)),
	  fOutput(create_sem(0, "output active")),
	  fLimit(limit),
	  fBufferSize(bufferSize),
	  fLock("stream queue")
{
}

StreamQueue::~StreamQueue()
{
	Close();
	BAutolock guard(fLock);
	for (const QueuedPayload& payload : fQueue)
		free(payload.data);
	fQueue.clear();
	for (void* buffer : fPool)
		free(buffer);
	fPool.clear();
}

bool StreamQueue::EnterInput()
{
	return acquire_sem(fInput) == B_OK;
}

void StreamQueue::LeaveInput()
{
	release_sem(fInput);
}

void* StreamQueue::GetBuffer()
{
	void* buffer = nullptr;
	{
		BAutolock guard(fLock);
		if (!fPool.empty()) {
			buffer = fPool.back();
			fPool.pop_back();
		}
	}
	if (!buffer)
		buffer = malloc(size_t(fBufferSize));
	memset(buffer, 0, size_t(fBufferSize));
	return buffer;
}

void StreamQueue::Recycle(void* buffer)
{
	if (!buffer)
		return;
	BAutolock guard(fLock);
	fPool.push_back(buffer);
}

void StreamQueue::Discard(const QueuedPayload& payload)
{
	if (payload.size == fBufferSize)
		Recycle(payload.data);
	else if (payload.size != 0)
		free(payload.data);
}

bool StreamQueue::Put(const QueuedPayload& payload)
{
	{
		BAutolock guard(fLock);
		if (int(fQueue.size()) < fLimit) {
			fQueue.push_back(payload);
			release_sem(fOutput);
			return true;
		}
	}
	Discard(payload);
	return false;
}

bool StreamQueue::WaitOutput()
{
	return acquire_sem(fOutput) == B_OK;
}

bool StreamQueue::Take(QueuedPayload* payload)
{
	BAutolock guard(fLock);
	if (fQueue.empty())
		return false;
	*payload = fQueue.front();
	fQueue.pop_front();
	return true;
}

void StreamQueue::ReleaseItem(ZItem& item)
{
	if (item.size == fBufferSize)
		Recycle(item.data);
	else if (item.size != 0)
		free(item.data);
	item = ZItem();
}

void StreamQueue::Close()
{
	delete_sem(fInput);
	delete_sem(fOutput);
}

int32 StreamQueue::CountQueued()
{
	BAutolock guard(fLock);
	return int32(fQueue.size());
}

int32 StreamQueue::CountPooled()
{
	BAutolock guard(fLock);
	return int32(fPool.size());
}
