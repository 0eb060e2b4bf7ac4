// A small window with a message and up to three buttons. Go(invoker) shows
// it and returns at once; the button the user clicks sends the invoker's
// message with "which" (the button index) and closes the alert. Go()
// without an invoker waits for the click and returns its index. Every
// alert shown is recorded, so that a host without a screen can list them.
#pragma once

#include <Window.h>

#include <string>
#include <vector>

class BButton;
class BInvoker;
class BTextView;

enum alert_type {
	B_EMPTY_ALERT = 0,
	B_INFO_ALERT,
	B_IDEA_ALERT,
	B_WARNING_ALERT,
	B_STOP_ALERT,
};

class BAlert : public BWindow {
public:
	BAlert(const char* title, const char* text, const char* button0, const char* button1 = nullptr,
		const char* button2 = nullptr, button_width width = B_WIDTH_AS_USUAL,
		alert_type type = B_INFO_ALERT);
	virtual ~BAlert();

	int32 Go();
	status_t Go(BInvoker* invoker);
	void MessageReceived(BMessage* message) override;

	BButton* ButtonAt(int32 index) const;
	BTextView* TextView() const { return fText; }
	void SetShortcut(int32, char) {}
	alert_type Type() const { return fType; }
	int32 CountButtons() const { return int32(fButtons.size()); }

private:
	void Chosen(int32 index);

	BTextView* fText;
	std::vector<BButton*> fButtons;
	alert_type fType;
	BInvoker* fInvoker = nullptr;
	sem_id fDone = -1;
	int32* fResult = nullptr;
};

struct platform_alert_record {
	std::string title;
	std::string text;
	std::vector<std::string> buttons;
};
// The alerts shown in this process, oldest first.
std::vector<platform_alert_record> platform_shown_alerts();
