// A check box of a panel, sending its message when toggled.
#pragma once

#include <CheckBox.h>

class ZMCheckBox : public BCheckBox {
public:
	ZMCheckBox(BRect frame, const char* name, const char* label, BMessage* message,
		uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP, uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
	virtual ~ZMCheckBox();

	// Resizes the box to fit the text (box, gap and text) plus the margins.
	void SetBoundsFromString(const char* text, float widthMargin, float heightMargin);
};
