// The screen: one fixed main screen, since there is no display.
#pragma once

#include <GraphicsDefs.h>
#include <Rect.h>

class BWindow;

struct screen_id {
	int32 id;
};
extern const screen_id B_MAIN_SCREEN_ID;

class BScreen {
public:
	BScreen(screen_id id = B_MAIN_SCREEN_ID);
	BScreen(BWindow* window);
	~BScreen() {}

	bool IsValid() const { return true; }
	status_t SetToNext() { return B_ERROR; }
	BRect Frame() const { return BRect(0, 0, 1023, 767); }
	color_space ColorSpace() const { return B_RGB32; }
	screen_id ID() const { return B_MAIN_SCREEN_ID; }
	status_t WaitForRetrace() { return B_OK; }
};
