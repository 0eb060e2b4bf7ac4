// Where a module's next panel opens: panels cascade from a start frame by
// a fixed step and start over at a restart point once a frame would reach
// below the limit, so panels never open off screen.
#pragma once

#include <Point.h>
#include <Rect.h>

class PanelPlacement {
public:
	// The usual step: 20 to the left and one panel height down.
	PanelPlacement(BRect start, BPoint restart, float limit = 400)
		: PanelPlacement(start, restart, -20, start.bottom - start.top, limit)
	{
	}
	PanelPlacement(BRect start, BPoint restart, float stepX, float stepY, float limit = 400)
		: fRect(start), fRestart(restart), fStepX(stepX), fStepY(stepY), fLimit(limit)
	{
	}

	// The origin of the next panel; moves the frame on for the one after.
	BPoint Next()
	{
		BPoint origin = fRect.LeftTop();
		fRect.OffsetBy(fStepX, fStepY);
		if (fRect.bottom > fLimit)
			fRect.OffsetTo(fRestart);
		return origin;
	}

	BRect Frame() const { return fRect; }

private:
	BRect fRect;
	BPoint fRestart;
	float fStepX;
	float fStepY;
	float fLimit;
};
