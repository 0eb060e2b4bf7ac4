// A coloured button of a panel, sending its message when clicked.
#pragma once

#include <Button.h>

class ZMPushButton : public BButton {
public:
	ZMPushButton(BRect frame, const char* name, const char* label, rgb_color color, BMessage* message,
		uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP, uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
	virtual ~ZMPushButton();

	void SetColor(rgb_color color);
	rgb_color Color() const { return fColor; }

private:
	rgb_color fColor;
};
