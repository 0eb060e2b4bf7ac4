// The bar of menus at the top of a window.
#pragma once

#include <Menu.h>

enum menu_bar_border {
	B_BORDER_FRAME,
	B_BORDER_CONTENTS,
	B_BORDER_EACH_ITEM,
};

class BMenuBar : public BMenu {
public:
	BMenuBar(BRect frame, const char* name,
		uint32 resizingMode = B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP,
		menu_layout layout = B_ITEMS_IN_ROW, bool resizeToFit = true);
	virtual ~BMenuBar();

	void SetBorder(menu_bar_border border) { fBorder = border; }
	menu_bar_border Border() const { return fBorder; }

private:
	menu_bar_border fBorder = B_BORDER_FRAME;
};
