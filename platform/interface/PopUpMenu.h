// A menu that pops up where it is needed, by default in radio mode with
// its label taken from the marked item.
#pragma once

#include <Menu.h>

class BPopUpMenu : public BMenu {
public:
	BPopUpMenu(const char* name, bool radioMode = true, bool labelFromMarked = true,
		menu_layout layout = B_ITEMS_IN_COLUMN);
	virtual ~BPopUpMenu();

	// There is no screen to track the mouse on: nothing is chosen.
	BMenuItem* Go(BPoint where, bool deliversMessage = false, bool openAnyway = false,
		bool asynchronous = false);
	void SetAsyncAutoDestruct(bool on) { fAutoDestruct = on; }
	bool AsyncAutoDestruct() const { return fAutoDestruct; }

private:
	bool fAutoDestruct = false;
};
