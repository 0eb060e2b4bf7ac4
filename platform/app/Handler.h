// An object that receives messages inside a looper.
#pragma once

#include <OS.h>
#include <List.h>

#include <string>

class BLooper;
class BMessage;
class BMessageFilter;

class BHandler {
public:
	explicit BHandler(const char* name = nullptr);
	virtual ~BHandler();

	virtual void MessageReceived(BMessage* message);

	BLooper* Looper() const;
	void SetName(const char* name);
	const char* Name() const;
	virtual void SetNextHandler(BHandler* handler);
	BHandler* NextHandler() const;

	virtual void AddFilter(BMessageFilter* filter);
	virtual bool RemoveFilter(BMessageFilter* filter);
	virtual void SetFilterList(BList* filters);
	BList* FilterList();

	bool LockLooper();
	status_t LockLooperWithTimeout(bigtime_t timeout);
	void UnlockLooper();

	// The token that messengers use to reach this handler.
	int32 Token() const { return fToken; }

private:
	friend class BLooper;

	BHandler(const BHandler&) = delete;
	BHandler& operator=(const BHandler&) = delete;
	void SetLooper(BLooper* looper);

	int32 fToken;
	std::string fName;
	BLooper* fLooper = nullptr;
	BHandler* fNextHandler = nullptr;
	BList* fFilters = nullptr;
};
