// What the marker modules share: the mark pop-up of their panels, showing
// the mark, and saving and reading the mark and bit sets in state messages.
#pragma once

#include <Message.h>
#include <Rect.h>

#include "ZItem.h"

class BMenuBar;
class BPopUpMenu;

// The panel message of the mark menu's items; the int8 "mark" is the bit.
constexpr uint32 kMarkMessage = 'MARK';

// A menu bar holding the mark pop-up: radio mode, label from the marked
// item, titled "Mark 1" until an item is marked, items Mark 1 to Mark 8
// each sending 'MARK' with int8 "mark" = its bit.
BMenuBar* make_mark_menu_bar(BRect frame, BPopUpMenu** popup);
// Marks the item of the lowest set bit of the mark (nothing when none is
// set). The caller holds the panel's lock.
void show_mark(BPopUpMenu* popup, uint8 mark);
// The mark chosen in a 'MARK' message (its bit value; 0 when missing).
uint8 chosen_mark(const BMessage* message);

// "mark" is saved as int32, the bit value zero-extended.
void save_mark(BMessage* state, uint8 mark);
// Reads "mark" into the low eight bits; false (and the mark unchanged)
// when the message has none.
bool read_mark(const BMessage* state, uint8* mark);

// Saves bits 0 to count - 1 as `count` bool values.
void save_bool_bits(BMessage* state, const char* name, uint32 bits, int count);
// Reads the bool values index 0, 1, ... while present (at most count):
// true sets bit i, false clears it; bits past the last value are kept.
void read_bool_bits(const BMessage* state, const char* name, uint32* bits, int count);
