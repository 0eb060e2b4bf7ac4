#include "HandOver.h"

namespace {

int32 current_priority()
{
	thread_info info;
	if (get_thread_info(find_thread(nullptr), &info) != B_OK)
		return B_NORMAL_PRIORITY;
	return info.priority;
}

}  // namespace

HandOver::HandOver()
	: fOrigAvail(create_sem(0, "orig avail")), fPermitDupe(create_sem(1, "permit dupe"))
{
}

HandOver::~HandOver()
{
	Close();
}

bool HandOver::BeginFill()
{
	if (acquire_sem(fPermitDupe) != B_OK)
		return false;
	fThroughPriority = current_priority();
	return true;
}

void HandOver::Filled()
{
	release_sem(fOrigAvail);
}

void HandOver::Abandon()
{
	release_sem(fPermitDupe);
}

bool HandOver::AwaitFilled()
{
	if (acquire_sem(fOrigAvail) != B_OK)
		return false;
	thread_id self = find_thread(nullptr);
	if (current_priority() != fThroughPriority)
		set_thread_priority(self, fThroughPriority);
	return true;
}

void HandOver::Taken()
{
	release_sem(fPermitDupe);
}

void HandOver::Close()
{
	// Ids are never reused, so deleting twice only fails the second time.
	delete_sem(fOrigAvail);
	delete_sem(fPermitDupe);
}
