// Colours and drawing constants.
#pragma once

#include <SupportDefs.h>

struct rgb_color {
	uint8 red;
	uint8 green;
	uint8 blue;
	uint8 alpha;

	rgb_color& set_to(uint8 r, uint8 g, uint8 b, uint8 a = 255)
	{
		red = r; green = g; blue = b; alpha = a;
		return *this;
	}
	bool operator==(const rgb_color& o) const
	{
		return red == o.red && green == o.green && blue == o.blue && alpha == o.alpha;
	}
	bool operator!=(const rgb_color& o) const { return !(*this == o); }
};

inline rgb_color make_color(uint8 r, uint8 g, uint8 b, uint8 a = 255)
{
	return rgb_color{r, g, b, a};
}

extern const rgb_color B_TRANSPARENT_COLOR;

enum color_space {
	B_NO_COLOR_SPACE = 0,
	B_RGB32 = 0x0008,
	B_RGBA32 = 0x2008,
	B_CMAP8 = 0x0004,
	B_GRAY8 = 0x0002,
};

enum color_which {
	B_PANEL_BACKGROUND_COLOR = 1,
	B_MENU_BACKGROUND_COLOR = 2,
	B_WINDOW_TAB_COLOR = 3,
	B_KEYBOARD_NAVIGATION_COLOR = 4,
	B_DESKTOP_COLOR = 5,
	B_MENU_SELECTION_BACKGROUND_COLOR = 6,
	B_MENU_ITEM_TEXT_COLOR = 7,
	B_MENU_SELECTED_ITEM_TEXT_COLOR = 8,
	B_PANEL_TEXT_COLOR = 10,
	B_DOCUMENT_BACKGROUND_COLOR = 11,
	B_DOCUMENT_TEXT_COLOR = 12,
	B_CONTROL_BACKGROUND_COLOR = 13,
	B_CONTROL_TEXT_COLOR = 14,
};

rgb_color ui_color(color_which which);
