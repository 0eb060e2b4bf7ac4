// A button of a panel, sending its message when clicked. The two floats
// place the label inside the button (horizontal and vertical inset).
#pragma once

#include <Button.h>

class ZMButton : public BButton {
public:
	ZMButton(BRect frame, const char* name, const char* label, BMessage* message, float labelX,
		float labelY, uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP,
		uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
	virtual ~ZMButton();

	BPoint LabelOffset() const { return fLabelOffset; }

private:
	BPoint fLabelOffset;
};
