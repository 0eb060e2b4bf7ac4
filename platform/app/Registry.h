// Process-wide table of handlers and loopers by token, so that messengers
// can check that their target still exists before using it.
#pragma once

#include <mutex>
#include <unordered_map>

#include <SupportDefs.h>

class BHandler;
class BLooper;

namespace platform_private {

struct Registry {
	std::recursive_mutex lock;
	std::unordered_map<int32, BHandler*> handlers;
	std::unordered_map<int32, BLooper*> loopers;
	int32 nextToken = 1;

	static Registry& Get();
};

}  // namespace platform_private
