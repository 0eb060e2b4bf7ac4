#include <GraphicsDefs.h>
#include <Rect.h>

#include <cstdio>

const BPoint B_ORIGIN(0, 0);
const rgb_color B_TRANSPARENT_COLOR = {0x77, 0x74, 0x77, 0x00};

void BPoint::ConstrainTo(BRect rect)
{
	x = std::max(std::min(x, rect.right), rect.left);
	y = std::max(std::min(y, rect.bottom), rect.top);
}

void BPoint::PrintToStream() const
{
	printf("BPoint(x:%.0f, y:%.0f)\n", double(x), double(y));
}

void BRect::PrintToStream() const
{
	printf("BRect(l:%.1f, t:%.1f, r:%.1f, b:%.1f)\n", double(left), double(top), double(right),
		double(bottom));
}

rgb_color ui_color(color_which which)
{
	switch (which) {
		case B_PANEL_BACKGROUND_COLOR: return make_color(216, 216, 216);
		case B_MENU_BACKGROUND_COLOR: return make_color(216, 216, 216);
		case B_WINDOW_TAB_COLOR: return make_color(255, 203, 0);
		case B_KEYBOARD_NAVIGATION_COLOR: return make_color(0, 0, 229);
		case B_DESKTOP_COLOR: return make_color(51, 102, 152);
		case B_MENU_SELECTION_BACKGROUND_COLOR: return make_color(168, 168, 168);
		case B_DOCUMENT_BACKGROUND_COLOR: return make_color(255, 255, 255);
		case B_CONTROL_BACKGROUND_COLOR: return make_color(245, 245, 245);
		default: return make_color(0, 0, 0);
	}
}
