#include "AllocCounter.h"

#include <atomic>
#include <cerrno>
#include <cstddef>

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* pointer, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
}

namespace {

std::atomic<bool> sCounting{false};
std::atomic<uint64_t> sCount{0};

inline void note()
{
	if (sCounting.load(std::memory_order_relaxed))
		sCount.fetch_add(1, std::memory_order_relaxed);
}

}  // namespace

namespace vantrel::bench {

void StartCountingAllocations()
{
	sCount = 0;
	sCounting = true;
}

uint64_t StopCountingAllocations()
{
	sCounting = false;
	return sCount.load();
}

}  // namespace vantrel::bench

extern "C" {

void* malloc(size_t size)
{
	note();
	return __libc_malloc(size);
}

void* calloc(size_t count, size_t size)
{
	note();
	return __libc_calloc(count, size);
}

void* realloc(void* pointer, size_t size)
{
	note();
	return __libc_realloc(pointer, size);
}

void* memalign(size_t alignment, size_t size)
{
	note();
	return __libc_memalign(alignment, size);
}

void* aligned_alloc(size_t alignment, size_t size)
{
	note();
	return __libc_memalign(alignment, size);
}

int posix_memalign(void** out, size_t alignment, size_t size)
{
	note();
	void* pointer = __libc_memalign(alignment, size);
	if (!pointer)
		return ENOMEM;
	*out = pointer;
	return 0;
}

}  // extern "C"
