#include <Application.h>

#include <algorithm>
#include <mutex>
#include <vector>

BApplication* be_app = nullptr;
BMessenger be_app_messenger;

namespace {

std::mutex sWindowLock;
std::vector<BWindow*>& Windows()
{
	static auto* windows = new std::vector<BWindow*>;
	return *windows;
}

}  // namespace

void platform_register_window(BWindow* window)
{
	std::lock_guard<std::mutex> guard(sWindowLock);
	Windows().push_back(window);
}

void platform_unregister_window(BWindow* window)
{
	std::lock_guard<std::mutex> guard(sWindowLock);
	auto& windows = Windows();
	windows.erase(std::remove(windows.begin(), windows.end(), window), windows.end());
}

BApplication::BApplication(const char* signature) : BApplication(signature, nullptr) {}

BApplication::BApplication(const char* signature, status_t* error)
	: BLooper("application"), fSignature(signature ? signature : "")
{
	fRunDone = create_sem(0, "application done");
	if (be_app) {
		fInit = B_ALREADY_RUNNING;
	} else {
		be_app = this;
		be_app_messenger = BMessenger(nullptr, this);
	}
	if (error)
		*error = fInit;
}

BApplication::~BApplication()
{
	delete_sem(fRunDone);
	if (be_app == this) {
		be_app = nullptr;
		be_app_messenger = BMessenger();
	}
}

thread_id BApplication::Run()
{
	thread_id self = find_thread(nullptr);
	SetLoopThread(self);
	PostMessage(B_READY_TO_RUN);
	fLoopActive = true;
	RunLoop();
	fLoopActive = false;
	SetLoopThread(-1);
	release_sem_etc(fRunDone, 1 << 20, 0);
	return self;
}

bool BApplication::WaitUntilRunning(bigtime_t timeout) const
{
	bigtime_t deadline = system_time() + timeout;
	while (!fLoopActive || !fReadyToRunDone) {
		if (system_time() >= deadline)
			return false;
		snooze(200);
	}
	return true;
}

void BApplication::Quit()
{
	thread_id loop = Thread();
	if (loop < 0)
		return;
	if (find_thread(nullptr) == loop) {
		fTerminating = true;
		return;
	}
	MessageQueue()->AddMessage(new BMessage(_QUIT_));
	int32 locks = 0;
	if (IsLocked()) {
		locks = CountLocks();
		for (int32 i = 0; i < locks; i++)
			Unlock();
	}
	acquire_sem(fRunDone);
	for (int32 i = 0; i < locks; i++)
		Lock();
}

bool BApplication::QuitRequested() { return true; }
void BApplication::ReadyToRun() {}
void BApplication::ArgvReceived(int32, char**) {}
void BApplication::RefsReceived(BMessage*) {}
void BApplication::AboutRequested() {}

void BApplication::MessageReceived(BMessage* message)
{
	BLooper::MessageReceived(message);
}

void BApplication::DispatchMessage(BMessage* message, BHandler* handler)
{
	if (handler != this) {
		BLooper::DispatchMessage(message, handler);
		return;
	}
	switch (message->what) {
		case B_READY_TO_RUN:
			ReadyToRun();
			fReadyToRunDone = true;
			break;
		case B_REFS_RECEIVED:
			RefsReceived(message);
			break;
		case B_ABOUT_REQUESTED:
			AboutRequested();
			break;
		case B_QUIT_REQUESTED:
			if (QuitRequested())
				Quit();
			break;
		default:
			BLooper::DispatchMessage(message, handler);
			break;
	}
}

int32 BApplication::CountWindows() const
{
	std::lock_guard<std::mutex> guard(sWindowLock);
	return int32(Windows().size());
}

BWindow* BApplication::WindowAt(int32 index) const
{
	std::lock_guard<std::mutex> guard(sWindowLock);
	if (index < 0 || index >= int32(Windows().size()))
		return nullptr;
	return Windows()[size_t(index)];
}
