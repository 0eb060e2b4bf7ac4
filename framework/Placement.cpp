#include "Placement.h"

PanelCascade::PanelCascade(BRect start, BPoint step, BPoint restart, bool leftLimit)
	: fFrame(start), fStep(step), fRestart(restart), fLeftLimit(leftLimit)
{
}

PanelCascade PanelCascade::StepDownLeft(BRect start, BPoint restart)
{
	return PanelCascade(start, BPoint(-20, start.Height()), restart);
}

BPoint PanelCascade::Next()
{
	BPoint origin = fFrame.LeftTop();
	fFrame.OffsetBy(fStep);
	if (fFrame.bottom > kBottomLimit || (fLeftLimit && fFrame.left < 0))
		fFrame.OffsetTo(fRestart);
	return origin;
}

#include <Message.h>
#include <Window.h>

void save_panel_frame(BMessage* state, BWindow* panel)
{
	if (!state || !panel || !panel->Lock())
		return;
	BRect frame = panel->Frame();
	panel->Unlock();
	state->AddRect("window", frame);
}

bool restore_panel_frame(const BMessage* state, BWindow* panel)
{
	BRect frame;
	if (!state || !panel || state->FindRect("window", &frame) != B_OK)
		return false;
	if (!panel->Lock())
		return false;
	panel->MoveTo(frame.LeftTop());
	panel->ResizeTo(frame.Width(), frame.Height());
	panel->Unlock();
	return true;
}
