// The switcher's panel: the state menu above a 16-row grid choosing which
// control bits select Pass, Divert, Dupe and Stop.

#include "Switcher.h"

#include <MarkGrid.h>
#include <Placement.h>

#include <MenuBar.h>
#include <MenuItem.h>
#include <PopUpMenu.h>

namespace {

constexpr uint32 kStateMessage = 'STAT';
const char* const kStateLabels[kStateCount] = {"Pass", "Divert", "Dupe", "Stop"};

PanelCascade placement = PanelCascade::StepDownLeft(BRect(400, 20, 534, 320));

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
	if (!params->panelShown)
		return;
	// Called from the control port's thread too, so the window is
	// reached through its messenger: a window CloseElem has quit is left
	// alone.
	if (!params->panelMessenger.LockTarget())
		return;
	BLooper* looper = nullptr;
	params->panelMessenger.Target(&looper);
	if (FiltWindow* panel = dynamic_cast<FiltWindow*>(looper))
		panel->Refresh();
	if (looper)
		looper->Unlock();
}

void create_panel(ZMParam* params)
{
	params->panel = new FiltWindow(placement.Next(), params);
	params->panelMessenger = BMessenger(params->panel);
}

void close_panel(ZMParam* params)
{
	FiltWindow* panel = params->panel;
	params->panel = nullptr;
	if (panel)
		panel->Close();
}

int show_panel(ZMParam* params, BMessage* panelMessage)
{
	// A message the panel does not keep stays the caller's.
	int result = params->panel->Present(panelMessage, params->label);
	params->panelShown = true;
	return result;
}

void set_panel_title(ZMParam* params, const char* label)
{
	FiltWindow* panel = params->panel;
	if (panel->Lock()) {
		panel->SetTitle(label);
		panel->Unlock();
	}
}

void save_frame(ZMParam* params, BMessage* state)
{
	save_panel_frame(state, params->panel);
}

void restore_frame(ZMParam* params, BMessage* state)
{
	restore_panel_frame(state, params->panel);
}
