// The switcher's panel: the state menu above a 16-row grid choosing which
// control bits select Pass, Divert, Dupe and Stop.

#include "Switcher.h"

#include <Autolock.h>
#include <MarkGrid.h>
#include <PanelPlacement.h>

#include <MenuBar.h>
#include <MenuItem.h>
#include <PopUpMenu.h>

namespace {

constexpr uint32 kStateMessage = 'STAT';
const char* const kStateLabels[kStateCount] = {"Pass", "Divert", "Dupe", "Stop"};

PanelPlacement placement(BRect(400, 20, 534, 320), BPoint(20, 20));

}  // namespace

class FiltWindow : public ZMPanel {
public:
	FiltWindow(BPoint origin, ZMParam* params);
	void MessageReceived(BMessage* message) override;
	// Brings the boxes and the menu up to date; the caller holds the lock.
	void Refresh();

private:
	ZMParam* fParams;
	BPopUpMenu* fStateMenu;
	MarkGrid<uint16, kGridBits> fGrid;
};

FiltWindow::FiltWindow(BPoint origin, ZMParam* params)
	: ZMPanel(origin, params, params->label, true), fParams(params)
{
	Lock();
	BMenuBar* bar = new BMenuBar(BRect(0, 0, 5 * 24 + 2 * Margin(), 18), "menubar");
	fStateMenu = new BPopUpMenu("", true, true);
	for (int32 k = 0; k < kStateCount; k++) {
		BMessage* message = new BMessage(kStateMessage);
		message->AddInt8("state", int8(k));
		fStateMenu->AddItem(new BMenuItem(kStateLabels[k], message));
	}
	fStateMenu->ItemAt(kPass)->SetMarked(true);
	bar->AddItem(fStateMenu);
	AddChild(bar);
	const typename MarkGrid<uint16, kGridBits>::Column columns[4] = {
		{kColumnPass, "Pass:", &params->passes},
		{kColumnSplit, "Divert:", &params->splits},
		{kColumnDupe, "Dupe:", &params->dupes},
		{kColumnStop, "Stop:", &params->stops},
	};
	fGrid.Build(this, columns, 3, bar->Frame().bottom + Spacing());
	Unlock();
}

void FiltWindow::MessageReceived(BMessage* message)
{
	switch (message->what) {
		case kStateMessage: {
			int8 state;
			if (message->FindInt8("state", &state) == B_OK && state >= 0 && state < kStateCount)
				fParams->state = state;
			break;
		}
		case kCheckBoxMessage:
			fGrid.Handle(message);
			break;
		default:
			ZMPanel::MessageReceived(message);
	}
}

void FiltWindow::Refresh()
{
	fGrid.Update();
	int32 state = fParams->state;
	if (BMenuItem* item = fStateMenu->ItemAt(state))
		item->SetMarked(true);
}

void update(ZMParam* params)
{
	BAutolock guard(params->panelLock);
	FiltWindow* panel = params->panel;
	if (!panel || !params->panelShown)
		return;
	if (!panel->Lock())
		return;
	panel->Refresh();
	panel->Unlock();
}

void create_panel(ZMParam* params)
{
	params->panel = new FiltWindow(placement.Next(), params);
}

void close_panel(ZMParam* params)
{
	FiltWindow* panel;
	{
		BAutolock guard(params->panelLock);
		panel = params->panel;
		params->panel = nullptr;
	}
	if (panel)
		panel->Close();
}

int show_panel(ZMParam* params, BMessage* panelMessage)
{
	FiltWindow* panel = params->panel;
	panel->Lock();
	// A panel that already holds a message keeps it; the new one is freed.
	bool kept = panelMessage && !panel->panelMessage;
	panel->Present(panelMessage, params->label);
	params->panelShown = true;
	panel->Unlock();
	if (!kept)
		delete panelMessage;
	return 0;
}

void set_panel_title(ZMParam* params, const char* label)
{
	FiltWindow* panel = params->panel;
	if (panel->Lock()) {
		panel->SetTitle(label);
		panel->Unlock();
	}
}

void save_panel_frame(ZMParam* params, BMessage* state)
{
	FiltWindow* panel = params->panel;
	if (!panel || !panel->Lock())
		return;
	state->AddRect("window", panel->Frame());
	panel->Unlock();
}

void restore_panel_frame(ZMParam* params, BMessage* state)
{
	FiltWindow* panel = params->panel;
	BRect frame;
	if (!panel || state->FindRect("window", &frame) != B_OK || !panel->Lock())
		return;
	panel->MoveTo(frame.left, frame.top);
	panel->ResizeTo(frame.Width(), frame.Height());
	panel->Unlock();
}
