#include "Marker.h"

#include <MenuBar.h>
#include <MenuItem.h>
#include <PopUpMenu.h>

#include <string>

BMenuBar* make_mark_menu_bar(BRect frame, BPopUpMenu** popup)
{
	BMenuBar* bar = new BMenuBar(frame, "menu bar", B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP);
	BPopUpMenu* menu = new BPopUpMenu("Mark 1", true, true);
	for (int n = 1; n <= 8; n++) {
		std::string label = "Mark 1";
		label.back() = char('0' + n);
		BMessage* message = new BMessage(kMarkMessage);
		message->AddInt8("mark", int8(mark_bit(n)));
		menu->AddItem(new BMenuItem(label.c_str(), message));
	}
	bar->AddItem(menu);
	if (popup)
		*popup = menu;
	return bar;
}

void show_mark(BPopUpMenu* popup, uint8 mark)
{
	if (!popup)
		return;
	for (int bit = 0; bit < 8; bit++) {
		if (mark & (1u << bit)) {
			if (BMenuItem* item = popup->ItemAt(bit))
				item->SetMarked(true);
			return;
		}
	}
}

uint8 chosen_mark(const BMessage* message)
{
	int8 mark = 0;
	if (!message || message->FindInt8("mark", &mark) != B_OK)
		return 0;
	return uint8(mark);
}

void save_mark(BMessage* state, uint8 mark)
{
	state->AddInt32("mark", int32(uint32(mark)));
}

bool read_mark(const BMessage* state, uint8* mark)
{
	int32 value;
	if (!state || state->FindInt32("mark", &value) != B_OK)
		return false;
	*mark = uint8(value & 0xff);
	return true;
}

void save_bool_bits(BMessage* state, const char* name, uint32 bits, int count)
{
	for (int i = 0; i < count; i++)
		state->AddBool(name, (bits >> i) & 1);
}

void read_bool_bits(const BMessage* state, const char* name, uint32* bits, int count)
{
	if (!state)
		return;
	for (int i = 0; i < count; i++) {
		bool on;
		if (state->FindBool(name, i, &on) != B_OK)
			break;
		if (on)
			*bits |= 1u << i;
		else
			*bits &= ~(1u << i);
	}
}
