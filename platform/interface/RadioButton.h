// A radio button: at most one of the radio buttons sharing a parent is on.
// A click switches it on (and its siblings off) and sends the message.
#pragma once

#include <Control.h>

class BRadioButton : public BControl {
public:
	BRadioButton(BRect frame, const char* name, const char* label, BMessage* message,
		uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
		uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
	virtual ~BRadioButton();

	void SetValue(int32 value) override;
	void MouseDown(BPoint where) override;
	void MouseUp(BPoint where) override;
	void KeyDown(const char* bytes, int32 numBytes) override;
	void GetPreferredSize(float* width, float* height) override;
};
