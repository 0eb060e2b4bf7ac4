// The path switcher's element, shared by the ports and the panel.
#pragma once

#include <HandOver.h>
#include <ZItem.h>

#include <Message.h>
#include <Messenger.h>

#include <atomic>

class FiltWindow;

enum : int32 {
	kPass = 0,
	kDivert = 1,
	kDupe = 2,
	kStop = 3,
	kStateCount = 4,
};

// Columns of the control-bit grid.
enum : int32 {
	kColumnPass = 'PASS',
	kColumnSplit = 'SPLT',
	kColumnDupe = 'DUPE',
	kColumnStop = 'STOP',
};

constexpr int kGridBits = 16;

struct ZMParam {
	ZMParam();
	~ZMParam();

	// The set of control bits of a grid column, or null for an unknown one.
	std::atomic<uint16>* column(int32 code);

	std::atomic<bool> closed{false};
	const char* label;
	// Control bit b selects a state when bit b is in that state's set. The
	// sets, like the state, are single words shared without a lock by the
	// control port, the panel and the through port.
	std::atomic<uint16> dupes{0};
	std::atomic<uint16> splits{0};
	std::atomic<uint16> stops{0};
	std::atomic<uint16> passes{0};
	std::atomic<int32> state{kPass};
	// The copy waiting for "Diverted", and the array the host last handed
	// back, kept so the next copy can reuse it and its buffers. Touched
	// only inside the hand-over.
	ZItem* pending = nullptr;
	ZItem* recycled = nullptr;
	int32 pendingCount = 0;
	int32 recycledCount = 0;
	HandOver handover;
	FiltWindow* panel = nullptr;
	std::atomic<bool> panelShown{false};
	// Reaches the panel from port threads: locking through it fails once
	// CloseElem has quit the window, instead of touching a deleted one.
	BMessenger panelMessenger;
};

// Brings the panel's boxes and state menu up to date, when it has been shown.
void update(ZMParam* params);

// Panel side (SwitcherPanel.cpp).
void create_panel(ZMParam* params);
void close_panel(ZMParam* params);
int show_panel(ZMParam* params, BMessage* panelMessage);
void set_panel_title(ZMParam* params, const char* label);
void save_frame(ZMParam* params, BMessage* state);
void restore_frame(ZMParam* params, BMessage* state);
