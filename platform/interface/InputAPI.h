// Acting on windows as a user would, without a screen: every call finds
// its control under the window's lock, then posts the mouse and key events
// a user's hand would cause to the window's thread, and waits until the
// window has handled them and whatever they posted to the window in turn.
//
// A control is named by its view name or, failing that, by its label (the
// label also matches with surrounding blanks trimmed, so " 1" is "1").
// Calls fail, with a reason in *why, when the window is hidden, the control
// is missing, disabled, hidden or covered, or the window does not respond.
// The window must stay alive during a call; calls from the window's own
// thread return B_WOULD_BLOCK.
#pragma once

#include <OS.h>

#include <string>
#include <vector>

class BView;
class BWindow;

namespace platform_input {

// How long a call waits for the window to handle what it posted.
constexpr bigtime_t kResponseTimeout = 5000000;

// A click: a check box toggles, a radio button comes on, a button sends
// its message, a text view takes the focus.
status_t Click(BWindow* window, const char* control, std::string* why = nullptr);
// Presses on a slider's thumb, drags it to the value and lets go.
status_t DragSlider(BWindow* window, const char* slider, int32 value, std::string* why = nullptr);
// Chooses the menu item with that label, in any menu of the window or in
// the menu named `menu` (a menu's name or the label of the item opening it).
status_t ChooseMenuItem(BWindow* window, const char* item, const char* menu = nullptr,
	std::string* why = nullptr);
// Clicks the rows of a list: the first plainly, the others with the
// command key held (extending a multiple-selection list); with `invoke`,
// the last click is a double click.
status_t SelectRows(BWindow* window, const char* list, const std::vector<int32>& rows,
	bool invoke = false, std::string* why = nullptr);
// Clicks into the text view (or text control), selects all when
// `replace` is set, and types the text key by key; "\n" is Enter,
// "\b" Backspace, "\t" Tab.
status_t TypeText(BWindow* window, const char* view, const char* text, bool replace = true,
	std::string* why = nullptr);
// Asks the window to close, as its close button does (QuitRequested).
status_t CloseWindow(BWindow* window, std::string* why = nullptr);
// Waits until the window has handled everything queued so far.
status_t WaitUntilIdle(BWindow* window, bigtime_t timeout = kResponseTimeout);

// The control a name or label stands for; the caller holds the lock.
BView* FindControl(BWindow* window, const char* control);

}  // namespace platform_input
