// Counts heap allocations made anywhere in the process while counting is
// on. Linking AllocCounter.cpp into a bench executable interposes the
// malloc family (operator new allocates through malloc), so allocations in
// loaded modules are counted as well.
#pragma once

#include <cstdint>

namespace vantrel::bench {

void StartCountingAllocations();
// Stops counting; returns the allocations since the last start.
uint64_t StopCountingAllocations();

// Counts allocations while it lives.
class AllocationScope {
public:
	AllocationScope() { StartCountingAllocations(); }
	~AllocationScope() { if (!fStopped) StopCountingAllocations(); }
	uint64_t Stop()
	{
		fStopped = true;
		return StopCountingAllocations();
	}

private:
	bool fStopped = false;
};

}  // namespace vantrel::bench
