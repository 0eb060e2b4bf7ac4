// A panel grid of check boxes choosing, for each bit, which of four sets
// holds it: one column per set, one row per bit, the row number between
// two of the columns. A box sends 'CKBX' with int8 "bit" and int32
// "column" (the set's code). Checking a box moves its bit into that set
// alone and unchecks the row's other boxes; unchecking only clears the bit
// in that set. Only modules with a panel include this header.
#pragma once

#include <ZMCheckBox.h>
#include <ZMPanel.h>

#include <StringView.h>

#include <atomic>
#include <cstdio>

constexpr uint32 kCheckBoxMessage = 'CKBX';

template <typename Bits, int kRows>
class MarkGrid {
public:
	struct Column {
		int32 code;
		const char* header;
		std::atomic<Bits>* set;
	};

	// Lays out the header row and the rows below `top`; the row numbers
	// come before column `numberAt`.
	void Build(ZMPanel* panel, const Column (&columns)[4], int numberAt, float top)
	{
		for (int c = 0; c < 4; c++)
			fColumns[c] = columns[c];
		const float left = panel->Margin();
		auto cellLeft = [&](int slot) { return left + float(slot) * kCellWidth; };
		for (int slot = 0; slot < 5; slot++) {
			int c = slot < numberAt ? slot : slot - 1;
			AddLabel(panel, BRect(cellLeft(slot), top, cellLeft(slot) + kCellWidth - 1, top + kCellHeight - 1),
				slot == numberAt ? "" : columns[c].header);
		}
		for (int row = 0; row < kRows; row++) {
			float y = top + float(row + 1) * kCellHeight;
			for (int slot = 0; slot < 5; slot++) {
				BRect cell(cellLeft(slot), y, cellLeft(slot) + kCellWidth - 1, y + kCellHeight - 1);
				if (slot == numberAt) {
					char number[4];
					snprintf(number, sizeof(number), "%2d", row + 1);
					AddLabel(panel, cell, number);
					continue;
				}
				int c = slot < numberAt ? slot : slot - 1;
				BMessage* message = new BMessage(kCheckBoxMessage);
				message->AddInt8("bit", int8(row));
				message->AddInt32("column", columns[c].code);
				fBoxes[row][c] = new ZMCheckBox(cell, "mark", nullptr, message);
				panel->AddChild(fBoxes[row][c]);
			}
		}
	}

	// Handles a 'CKBX' message from one of the boxes.
	void Handle(BMessage* message)
	{
		BControl* source = nullptr;
		void* pointer = nullptr;
		if (message->FindPointer("source", &pointer) != B_OK || !pointer)
			return;
		source = static_cast<BControl*>(pointer);
		int8 bit;
		int32 code;
		if (message->FindInt8("bit", &bit) != B_OK || bit < 0 || bit >= kRows
			|| message->FindInt32("column", &code) != B_OK)
			return;
		int column = IndexOf(code);
		if (column < 0)
			return;
		Bits mask = Bits(1u << bit);
		if (source->Value() != 0) {
			fColumns[column].set->fetch_or(mask);
			for (int c = 0; c < 4; c++) {
				if (c == column)
					continue;
				fColumns[c].set->fetch_and(Bits(~mask));
				fBoxes[bit][c]->SetValue(B_CONTROL_OFF);
			}
		} else {
			fColumns[column].set->fetch_and(Bits(~mask));
		}
	}

	// Sets every box to whether its bit is in its set; the caller holds
	// the window's lock.
	void Update()
	{
		for (int c = 0; c < 4; c++) {
			Bits set = fColumns[c].set->load();
			for (int row = 0; row < kRows; row++)
				fBoxes[row][c]->SetValue((set >> row) & 1 ? B_CONTROL_ON : B_CONTROL_OFF);
		}
	}

	ZMCheckBox* Box(int row, int column) const { return fBoxes[row][column]; }

private:
	static constexpr float kCellWidth = 24;
	static constexpr float kCellHeight = 18;

	int IndexOf(int32 code) const
	{
		for (int c = 0; c < 4; c++)
			if (fColumns[c].code == code)
				return c;
		return -1;
	}

	static void AddLabel(ZMPanel* panel, BRect frame, const char* text)
	{
		panel->AddChild(new BStringView(frame, "label", text));
	}

	Column fColumns[4] = {};
	ZMCheckBox* fBoxes[kRows][4] = {};
};
