// A labelled text field of a panel that sends its message on entry (Enter,
// or leaving the field after a change). Constrain limits what may be
// entered: kind 1 admits a decimal number, kind 2 a whole number, and the
// entry is brought into the range of the two limits (in either order)
// before the message goes out; kind 0 lifts the limits.
#pragma once

#include <TextControl.h>

class ZMValueControl : public BTextControl {
public:
	ZMValueControl(BRect frame, const char* name, const char* label, BMessage* message,
		uint32 resizingMode = B_FOLLOW_LEFT | B_FOLLOW_TOP, uint32 flags = B_WILL_DRAW | B_NAVIGABLE);
	virtual ~ZMValueControl();

	void Constrain(int kind, float limit1, float limit2);
	status_t Invoke(BMessage* message = nullptr) override;

private:
	int fKind = 0;
	float fLow = 0;
	float fHigh = 0;
};
