#include <Alert.h>
#include <Button.h>
#include <Invoker.h>
#include <Screen.h>
#include <TextView.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <mutex>

namespace {

constexpr uint32 kButtonChosen = '_ALB';

std::mutex sAlertLock;
std::vector<platform_alert_record>& AlertLog()
{
	static auto* log = new std::vector<platform_alert_record>;
	return *log;
}

}  // namespace

std::vector<platform_alert_record> platform_shown_alerts()
{
	std::lock_guard<std::mutex> guard(sAlertLock);
	return AlertLog();
}

BAlert::BAlert(const char* title, const char* text, const char* button0, const char* button1,
	const char* button2, button_width, alert_type type)
	: BWindow(BRect(100, 100, 410, 180), title, B_MODAL_WINDOW, B_NOT_RESIZABLE | B_NOT_CLOSABLE),
	  fType(type)
{
	BRect bounds = Bounds();
	fText = new BTextView(BRect(10, 10, bounds.right - 10, bounds.bottom - 40), "_tv_",
		BRect(0, 0, bounds.Width() - 20, bounds.Height() - 50), B_FOLLOW_ALL, B_WILL_DRAW);
	fText->SetText(text);
	fText->MakeEditable(false);
	AddChild(fText);
	const char* labels[] = {button0, button1, button2};
	float right = bounds.right - 10;
	std::vector<BButton*> placed;
	for (int32 i = 0; i < 3; i++) {
		if (!labels[i])
			break;
		BMessage* message = new BMessage(kButtonChosen);
		message->AddInt32("which", i);
		char name[8];
		snprintf(name, sizeof(name), "_b%d_", int(i));
		BButton* button = new BButton(BRect(0, 0, 10, 10), name, labels[i], message,
			B_FOLLOW_RIGHT | B_FOLLOW_BOTTOM);
		button->ResizeToPreferred();
		fButtons.push_back(button);
	}
	// The last button is the rightmost, as on screen.
	for (auto it = fButtons.rbegin(); it != fButtons.rend(); ++it) {
		BButton* button = *it;
		right -= button->Frame().Width();
		button->MoveTo(right, bounds.bottom - 10 - button->Frame().Height());
		right -= 8;
	}
	for (BButton* button : fButtons)
		AddChild(button);
	BScreen screen;
	BRect frame = screen.Frame();
	MoveTo(std::round((frame.Width() - bounds.Width()) / 2), std::round(frame.Height() / 4));
}

BAlert::~BAlert()
{
	delete fInvoker;
	if (fDone >= 0)
		delete_sem(fDone);
}

BButton* BAlert::ButtonAt(int32 index) const
{
	if (index < 0 || index >= int32(fButtons.size()))
		return nullptr;
	return fButtons[size_t(index)];
}

int32 BAlert::Go()
{
	// Waits for the user's click; the alert deletes itself afterwards.
	int32 result = -1;
	sem_id done = create_sem(0, "alert done");
	fResult = &result;
	fDone = done;
	status_t status = Go(nullptr);
	if (status != B_OK) {
		delete_sem(done);
		return -1;
	}
	while (acquire_sem(done) == B_INTERRUPTED) {
	}
	delete_sem(done);
	return result;
}

status_t BAlert::Go(BInvoker* invoker)
{
	fInvoker = invoker;
	{
		platform_alert_record record;
		record.title = Title();
		record.text = fText->Text();
		for (BButton* button : fButtons)
			record.buttons.push_back(button->Label() ? button->Label() : "");
		std::lock_guard<std::mutex> guard(sAlertLock);
		AlertLog().push_back(std::move(record));
	}
	Show();
	return B_OK;
}

void BAlert::MessageReceived(BMessage* message)
{
	if (message->what == kButtonChosen) {
		Chosen(message->GetInt32("which", -1));
		return;
	}
	BWindow::MessageReceived(message);
}

void BAlert::Chosen(int32 index)
{
	if (fInvoker) {
		BMessage* base = fInvoker->Message();
		BMessage copy(base ? *base : BMessage(B_CONTROL_INVOKED));
		copy.AddInt32("which", index);
		fInvoker->Invoke(&copy);
	}
	if (fResult) {
		*fResult = index;
		fResult = nullptr;
	}
	if (fDone >= 0) {
		// The waiting Go() deletes the semaphore.
		release_sem(fDone);
		fDone = -1;
	}
	Quit();
}
