// The application object: a looper that runs in the thread calling Run(),
// and the list of the process's windows.
#pragma once

#include <Looper.h>
#include <Messenger.h>

#include <string>

class BWindow;

class BApplication : public BLooper {
public:
	explicit BApplication(const char* signature);
	BApplication(const char* signature, status_t* error);
	virtual ~BApplication();

	status_t InitCheck() const { return fInit; }

	// Runs the message loop in the calling thread until Quit().
	thread_id Run() override;
	// Ends the loop. From another thread it waits until Run() has returned.
	// The object itself is not deleted.
	void Quit() override;
	bool QuitRequested() override;

	virtual void ReadyToRun();
	virtual void ArgvReceived(int32 argc, char** argv);
	virtual void RefsReceived(BMessage* message);
	virtual void AboutRequested();
	void MessageReceived(BMessage* message) override;
	void DispatchMessage(BMessage* message, BHandler* handler) override;

	int32 CountWindows() const;
	BWindow* WindowAt(int32 index) const;
	const char* Signature() const { return fSignature.c_str(); }
	bool IsLaunching() const { return !fReadyToRunDone; }

	// Waits until the application's loop is running (for hosts that start
	// Run() in a thread of their own).
	bool WaitUntilRunning(bigtime_t timeout) const;

private:
	std::string fSignature;
	status_t fInit = B_OK;
	std::atomic<bool> fReadyToRunDone{false};
	sem_id fRunDone;
	std::atomic<bool> fLoopActive{false};
};

extern BApplication* be_app;
extern BMessenger be_app_messenger;

// Window registry used by the interface kit.
void platform_register_window(BWindow* window);
void platform_unregister_window(BWindow* window);
