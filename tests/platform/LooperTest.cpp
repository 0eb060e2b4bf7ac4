#include <Application.h>
#include <Looper.h>
#include <MessageFilter.h>
#include <Messenger.h>

#include <VantrelTest.h>

using vantrel::testing::kDeadline;
using vantrel::testing::WaitFor;

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Records what it receives, in order, with the thread it ran in.
class Recorder : public BLooper {
public:
	Recorder(std::atomic<bool>* deleted = nullptr) : BLooper("recorder"), fDeleted(deleted) {}
	~Recorder() override
	{
		if (fDeleted)
			*fDeleted = true;
	}

	void MessageReceived(BMessage* message) override
	{
		std::lock_guard<std::mutex> guard(lock);
		whats.push_back(message->what);
		threads.push_back(find_thread(nullptr));
		locked.push_back(IsLocked());
		if (message->what == 'ECHO') {
			BMessage reply('RPLY');
			reply.AddInt32("value", message->GetInt32("value", 0) * 2);
			message->SendReply(&reply);
		}
		if (message->what == 'SELF')
			Quit();
	}

	size_t Count()
	{
		std::lock_guard<std::mutex> guard(lock);
		return whats.size();
	}

	std::mutex lock;
	std::vector<uint32> whats;
	std::vector<thread_id> threads;
	std::vector<bool> locked;
	bool quitAllowed = true;

	bool QuitRequested() override { return quitAllowed; }

private:
	std::atomic<bool>* fDeleted;
};

}  // namespace

TEST(Looper, DeliversInOrderOnItsOwnThreadUnderItsLock)
{
	std::atomic<bool> deleted{false};
	Recorder* looper = new Recorder(&deleted);
	thread_id thread = looper->Run();
	ASSERT_GT(thread, 0);
	for (uint32 i = 0; i < 50; i++)
		looper->PostMessage('M000' + i);
	ASSERT_TRUE(WaitFor([&] { return looper->Count() == 50; }));
	for (uint32 i = 0; i < 50; i++) {
		EXPECT_EQ(looper->whats[i], 'M000' + i);
		EXPECT_EQ(looper->threads[i], thread);
		EXPECT_TRUE(looper->locked[i]);
	}
	ASSERT_TRUE(looper->Lock());
	looper->Quit();
	EXPECT_TRUE(deleted);
}

TEST(Looper, LockingFromAnotherThreadHoldsOffDispatch)
{
	Recorder* looper = new Recorder;
	looper->Run();
	ASSERT_TRUE(looper->Lock());
	ASSERT_TRUE(looper->Lock());  // recursive
	EXPECT_EQ(looper->CountLocks(), 2);
	looper->PostMessage('HELD');
	snooze(20000);
	EXPECT_EQ(looper->Count(), 0u) << "dispatch waits for the lock";
	EXPECT_GE(looper->CountQueuedMessages(), 0);

	std::atomic<status_t> other{B_ERROR};
	std::thread contender([&] { other = looper->LockWithTimeout(10000); });
	contender.join();
	EXPECT_EQ(other, B_TIMED_OUT);

	looper->Unlock();
	looper->Unlock();
	ASSERT_TRUE(WaitFor([&] { return looper->Count() == 1; }));
	looper->Lock();
	looper->Quit();
}

TEST(Looper, QuitFromInsideAndThroughQuitRequested)
{
	std::atomic<bool> deleted{false};
	Recorder* looper = new Recorder(&deleted);
	looper->Run();
	looper->PostMessage('SELF');
	ASSERT_TRUE(WaitFor([&] { return deleted.load(); }));

	deleted = false;
	looper = new Recorder(&deleted);
	looper->quitAllowed = false;
	looper->Run();
	BMessenger messenger(nullptr, looper);
	EXPECT_EQ(messenger.SendMessage(B_QUIT_REQUESTED), B_OK);
	messenger.SendMessage('AFTR');
	ASSERT_TRUE(WaitFor([&] { return looper->Count() == 1; }));
	EXPECT_FALSE(deleted) << "QuitRequested said no";
	looper->Lock();
	looper->quitAllowed = true;
	looper->Unlock();
	messenger.SendMessage(B_QUIT_REQUESTED);
	ASSERT_TRUE(WaitFor([&] { return deleted.load(); }));
	EXPECT_FALSE(messenger.IsValid());
	EXPECT_EQ(messenger.SendMessage('GONE'), B_BAD_PORT_ID);
	EXPECT_FALSE(messenger.LockTarget());
}

TEST(Looper, SynchronousRepliesAndUnansweredMessages)
{
	Recorder* looper = new Recorder;
	looper->Run();
	BMessenger messenger(nullptr, looper);
	BMessage request('ECHO');
	request.AddInt32("value", 21);
	BMessage reply;
	ASSERT_EQ(messenger.SendMessage(&request, &reply), B_OK);
	EXPECT_EQ(reply.what, uint32('RPLY'));
	EXPECT_EQ(reply.GetInt32("value", 0), 42);
	EXPECT_TRUE(reply.IsReply());

	// A message its handler does not answer still releases the sender.
	BMessage silent('QUIE');
	ASSERT_EQ(messenger.SendMessage(&silent, &reply), B_OK);
	EXPECT_EQ(reply.what, uint32(B_NO_REPLY));
	looper->Lock();
	looper->Quit();
}

TEST(Looper, FiltersCanSkipOrRetarget)
{
	Recorder* looper = new Recorder;
	looper->AddCommonFilter(new BMessageFilter('DROP',
		[](BMessage*, BHandler**, BMessageFilter*) { return B_SKIP_MESSAGE; }));
	looper->Run();
	looper->PostMessage('DROP');
	looper->PostMessage('KEEP');
	ASSERT_TRUE(WaitFor([&] { return looper->Count() == 1; }));
	EXPECT_EQ(looper->whats[0], uint32('KEEP'));
	looper->Lock();
	looper->Quit();
}

TEST(Looper, HandlersGetTheirOwnMessages)
{
	struct Counter : BHandler {
		std::atomic<int> got{0};
		void MessageReceived(BMessage*) override { got++; }
	};
	Recorder* looper = new Recorder;
	Counter handler;
	looper->AddHandler(&handler);
	looper->Run();
	EXPECT_EQ(looper->PostMessage('HNDL', &handler), B_OK);
	Counter stranger;
	EXPECT_EQ(looper->PostMessage('HNDL', &stranger), B_MISMATCHED_VALUES);
	ASSERT_TRUE(WaitFor([&] { return handler.got == 1; }));
	EXPECT_EQ(looper->Count(), 0u);
	looper->Lock();
	looper->RemoveHandler(&handler);
	looper->Quit();
}

TEST(Application, RunsInTheCallingThreadAndQuitsFromOutside)
{
	BApplication app("application/x-vnd.test");
	EXPECT_EQ(be_app, &app);
	thread_id runner = -1;
	std::thread thread([&] { runner = app.Run(); });
	ASSERT_TRUE(app.WaitUntilRunning(kDeadline));
	EXPECT_EQ(be_app_messenger.SendMessage('PING'), B_OK);
	app.Quit();
	thread.join();
	EXPECT_GT(runner, 0);
}
