// A module for host tests whose source port does not return when its
// element is closed, until the test lets it go.

#include <OS.h>
#include <ZModule.h>

#include <atomic>

namespace {

ZMessage setupmsg("Host test source that hangs");
std::atomic<bool> sReleased{false};

}  // namespace

ZPORT Forever(void* elem, ZItem*& items, int& count);

ZEXPORT void HangRelease() { sReleased = true; }

ZEXPORT BMessage* ZM_Init()
{
	add_port(&setupmsg, Z_DSRC, "Forever", Forever);
	return &setupmsg;
}

ZEXPORT void* OpenElem() { return new std::atomic<bool>(false); }
ZEXPORT void CloseElem(void* elem) { *static_cast<std::atomic<bool>*>(elem) = true; }
ZEXPORT void TerminateElem(void* elem) { delete static_cast<std::atomic<bool>*>(elem); }
ZEXPORT void ShutDown() {}

ZPORT Forever(void*, ZItem*&, int&)
{
	while (!sReleased)
		snooze(1000);
	return -1;
}
