// Where a module's new panels appear: a cascade from a start frame, moved
// by a fixed step for each panel, restarting when it would leave the
// screen area the panels use.
#pragma once

#include <Point.h>
#include <Rect.h>

class PanelCascade {
public:
	// Panels cascade while the frame's bottom stays at or above this.
	static constexpr float kBottomLimit = 400;

	// `step` moves the frame after each panel; `restart` is where the frame
	// goes back to once its bottom passes the limit (or, with
	// `leftLimit`, once its left edge is below 0).
	PanelCascade(BRect start, BPoint step, BPoint restart, bool leftLimit = false);

	// The usual cascade: 20 to the left and one panel height down,
	// restarting at `restart`.
	static PanelCascade StepDownLeft(BRect start, BPoint restart = BPoint(20, 20));

	// The origin of the next panel; advances the cascade.
	BPoint Next();
	// The frame the next panel gets (the module's panelRect).
	BRect Frame() const { return fFrame; }

private:
	BRect fFrame;
	BPoint fStep;
	BPoint fRestart;
	bool fLeftLimit;
};

class BMessage;
class BWindow;

// Adds "window" (rect): the panel's current frame, read under its lock.
void save_panel_frame(BMessage* state, BWindow* panel);
// Moves the panel to a saved "window" rect's left-top corner and resizes
// it to the rect's size, under its lock. False, and the panel left where
// it is, when the state has no "window".
bool restore_panel_frame(const BMessage* state, BWindow* panel);
