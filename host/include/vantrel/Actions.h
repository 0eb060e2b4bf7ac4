// Driving element panels as a user would: from C++ (PanelDriver) and from
// the timed "actions" list of a diagram file.
//
//   "actions": [
//     {"at": 0.2, "element": "chan", "click": "10"},
//     {"at": 0.3, "element": "mark", "choose": "Mark 8", "menu": "Mark 1"},
//     {"at": 0.4, "element": "vel", "drag": "Velocity:", "to": 64},
//     {"at": 0.5, "element": "files", "select": "list", "rows": [0, 2], "invoke": true},
//     {"at": 0.6, "element": "pipe", "type": "Command", "text": "ls\n", "replace": true},
//     {"at": 0.7, "element": "chan", "post": "RBTN", "fields": {"chan": 3}},
//     {"at": 0.8, "element": "chan", "close": true}
//   ]
//
// "at" is seconds from the start of the run (default 0); actions run in
// the order of their times, entries with equal times in file order. Each
// entry names exactly one action by its key; more kinds can be registered.
#pragma once

#include <vantrel/Diagram.h>
#include <vantrel/Runtime.h>

#include <functional>
#include <string>
#include <vector>

class BWindow;

namespace vantrel {

// Acts on one element's panel. Every call waits until the panel has
// handled what the user's action caused, and throws UserError naming the
// element and the control when the action cannot be done.
class PanelDriver {
public:
	explicit PanelDriver(Element& element);

	void Click(const std::string& control);
	void Drag(const std::string& slider, int32 value);
	void Choose(const std::string& item, const std::string& menu = "");
	void Select(const std::string& list, const std::vector<int32>& rows, bool invoke = false);
	void Type(const std::string& field, const std::string& text, bool replace = true);
	// The user closes the panel with its close button.
	void Close();
	// Posts a message to the panel window, as its controls would.
	void Post(const BMessage& message);
	// Waits until the panel has handled everything queued so far.
	void Sync();

	// Runs f with the panel window locked (it must not block on the panel).
	void WithPanel(const std::function<void(BWindow*)>& f);

private:
	// The panel window, checked to exist; the messenger keeps it honest.
	BWindow* Window(const char* action);
	[[noreturn]] void Fail(const std::string& action, const std::string& why);

	Element& fElement;
};

struct ActionContext {
	Runtime& runtime;
	Element& element;
	const Json& entry;  // the whole action entry
	const std::string& where;  // "FILE: action N" for messages
};

struct ActionKind {
	// Checks the entry's arguments when the diagram is read; throws
	// UserError (with `where`) for what is wrong.
	std::function<void(const Json& entry, const std::string& where)> check;
	std::function<void(ActionContext& context)> run;
	// Other keys the entry may hold besides "at", "element" and the action key.
	std::vector<std::string> options;
};

// Registers an action under its key in the entry ("click", "file", ...).
void RegisterAction(const std::string& key, ActionKind kind);
std::vector<std::string> ActionKeys();

struct TimedAction {
	double at = 0;
	std::string element;
	std::string key;
	Json entry;
	std::string where;
};

// Checks and orders a diagram's actions; throws UserError naming the file
// and the action.
std::vector<TimedAction> ParseActions(const DiagramPlan& plan, const std::string& where);
// Performs one action now.
void RunAction(Runtime& runtime, const TimedAction& action);

// Runs a diagram's actions as their times come.
class ActionSchedule {
public:
	ActionSchedule(Runtime& runtime, std::vector<TimedAction> actions);
	// Runs every action due at `elapsed` (seconds since the start).
	void RunDue(double elapsed);
	bool Done() const { return fNext >= fActions.size(); }
	// Seconds until the next action (0 when one is due; -1 when done).
	double NextIn(double elapsed) const;

private:
	Runtime& fRuntime;
	std::vector<TimedAction> fActions;
	size_t fNext = 0;
};

}  // namespace vantrel
