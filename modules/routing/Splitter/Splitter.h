// The event splitter's element, shared by the ports and the panel.
#pragma once

#include <HandOver.h>
#include <ZItem.h>

#include <Message.h>

#include <atomic>

class FiltWindow;

// Columns of the mark grid.
enum : int32 {
	kColumnPass = 'PASS',
	kColumnSplit = 'SPLT',
	kColumnDupe = 'DUPE',
	kColumnStop = 'STOP',
};

constexpr int kMarkBits = 8;

struct ZMParam {
	ZMParam();
	~ZMParam();

	// The mark set of a grid column, or null for an unknown one.
	std::atomic<uint8>* column(int32 code);

	std::atomic<bool> closed{false};
	const char* label;
	// The packet being filled for "Diverted"; it and the delivery's time
	// and track are touched only inside the hand-over.
	uint8* diverted = nullptr;
	int32 divertedSize = kPacketBytes;
	int32 time = 0;
	int32 track = -1;
	// Mark sets, single bytes written by the panel and read by the
	// through port without a lock.
	std::atomic<uint8> dupes{mark_bit(2)};
	std::atomic<uint8> splits{mark_bit(1)};
	std::atomic<uint8> stops{0};
	std::atomic<uint8> passes{0};
	HandOver handover;
	FiltWindow* panel = nullptr;
};

// Brings the panel's boxes up to date.
void update(ZMParam* params);

// Panel side (SplitterPanel.cpp).
void create_panel(ZMParam* params);
void close_panel(ZMParam* params);
int show_panel(ZMParam* params, BMessage* panelMessage);
void set_panel_title(ZMParam* params, const char* label);
void save_frame(ZMParam* params, BMessage* state);
void restore_frame(ZMParam* params, BMessage* state);
