// A push button: sends its message when clicked (released inside).
#pragma once

#include <Control.h>

class BButton : public BControl {
public:
	BButton(BRect frame, const char* name, const char* label, BMessage* message,
		uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
		uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
	virtual ~BButton();

	void MouseDown(BPoint where) override;
	void MouseUp(BPoint where) override;
	void KeyDown(const char* bytes, int32 numBytes) override;
	void GetPreferredSize(float* width, float* height) override;

	virtual void MakeDefault(bool flag);
	bool IsDefault() const;
};
