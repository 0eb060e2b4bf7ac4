// The splitter's panel: an 8-row grid choosing which marks split, dupe,
// stop or pass an event.

#include "Splitter.h"

#include <MarkGrid.h>
#include <Placement.h>

namespace {

PanelCascade placement = PanelCascade::StepDownLeft(BRect(500, 20, 634, 170));

}  // namespace

class FiltWindow : public ZMPanel {
public:
	FiltWindow(BPoint origin, ZMParam* params);
	void MessageReceived(BMessage* message) override;
	// The caller holds the lock.
	void Refresh() { fGrid.Update(); }

private:
	MarkGrid<uint8, kMarkBits> fGrid;
};

FiltWindow::FiltWindow(BPoint origin, ZMParam* params) : ZMPanel(origin, params, params->label, true)
{
	Lock();
	const typename MarkGrid<uint8, kMarkBits>::Column columns[4] = {
		{kColumnSplit, "Split:", &params->splits},
		{kColumnDupe, "Dupe:", &params->dupes},
		{kColumnStop, "Stop:", &params->stops},
		{kColumnPass, "Pass:", &params->passes},
	};
	fGrid.Build(this, columns, 3, Margin());
	// The boxes show the default sets from the start.
	fGrid.Update();
	Unlock();
}

void FiltWindow::MessageReceived(BMessage* message)
{
	if (message->what == kCheckBoxMessage)
		fGrid.Handle(message);
	else
		ZMPanel::MessageReceived(message);
}

void update(ZMParam* params)
{
	FiltWindow* panel = params->panel;
	if (!panel || !panel->Lock())
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
	FiltWindow* panel = params->panel;
	params->panel = nullptr;
	if (panel)
		panel->Close();
}

int show_panel(ZMParam* params, BMessage* panelMessage)
{
	// A message the panel does not keep stays the caller's.
	return params->panel->Present(panelMessage, params->label);
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
