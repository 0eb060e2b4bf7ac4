#include <vantrel/Actions.h>

#include <InputAPI.h>
#include <Window.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <set>

namespace vantrel {

namespace {

std::string Quote(const std::string& text)
{
	return "\"" + text + "\"";
}

}  // namespace

PanelDriver::PanelDriver(Element& element) : fElement(element) {}

void PanelDriver::Fail(const std::string& action, const std::string& why)
{
	throw UserError("element '" + fElement.Id() + "': cannot " + action + ": " + why);
}

BWindow* PanelDriver::Window(const char* action)
{
	BWindow* window = fElement.LockPanel();
	if (!window)
		Fail(action, fElement.IsClosed() ? "the element is closed" : "it has no panel");
	bool hidden = window->IsHidden();
	window->Unlock();
	if (hidden)
		Fail(action, "its panel is not open");
	// The panel lives until CloseElem, which runs on this thread.
	return window;
}

void PanelDriver::Click(const std::string& control)
{
	std::string why;
	BWindow* window = Window("click");
	if (platform_input::Click(window, control.c_str(), &why) != B_OK)
		Fail("click " + Quote(control), why);
}

void PanelDriver::Drag(const std::string& slider, int32 value)
{
	std::string why;
	BWindow* window = Window("drag");
	if (platform_input::DragSlider(window, slider.c_str(), value, &why) != B_OK)
		Fail("drag " + Quote(slider) + " to " + std::to_string(value), why);
}

void PanelDriver::Choose(const std::string& item, const std::string& menu)
{
	std::string why;
	BWindow* window = Window("choose");
	if (platform_input::ChooseMenuItem(window, item.c_str(), menu.empty() ? nullptr : menu.c_str(), &why)
		!= B_OK)
		Fail("choose " + Quote(item), why);
}

void PanelDriver::Select(const std::string& list, const std::vector<int32>& rows, bool invoke)
{
	std::string why;
	BWindow* window = Window("select");
	if (platform_input::SelectRows(window, list.c_str(), rows, invoke, &why) != B_OK)
		Fail("select rows of " + Quote(list), why);
}

void PanelDriver::Type(const std::string& field, const std::string& text, bool replace)
{
	std::string why;
	BWindow* window = Window("type");
	if (platform_input::TypeText(window, field.c_str(), text.c_str(), replace, &why) != B_OK)
		Fail("type into " + Quote(field), why);
}

void PanelDriver::Close()
{
	std::string why;
	BWindow* window = Window("close the panel");
	if (platform_input::CloseWindow(window, &why) != B_OK)
		Fail("close the panel", why);
}

void PanelDriver::Post(const BMessage& message)
{
	BWindow* window = Window("post a message");
	BMessage copy(message);
	if (BMessenger(window).SendMessage(&copy) != B_OK)
		Fail("post a message", "the panel is gone");
	Sync();
}

void PanelDriver::Sync()
{
	BWindow* window = Window("wait for the panel");
	if (platform_input::WaitUntilIdle(window) != B_OK)
		Fail("wait for the panel", "it did not respond");
}

void PanelDriver::WithPanel(const std::function<void(BWindow*)>& f)
{
	BWindow* window = fElement.LockPanel();
	if (!window)
		Fail("reach the panel", "it has no panel");
	try {
		f(window);
	} catch (...) {
		window->Unlock();
		throw;
	}
	window->Unlock();
}

// The action table.

namespace {

std::mutex sKindsLock;

const std::string& RequireString(const Json& entry, const std::string& key, const std::string& where)
{
	if (!entry.contains(key) || !entry[key].is_string())
		throw UserError(where + ": \"" + key + "\" must be a string");
	return entry[key].get_ref<const std::string&>();
}

std::string OptionalString(const Json& entry, const std::string& key, const std::string& where)
{
	if (!entry.contains(key))
		return "";
	return RequireString(entry, key, where);
}

bool OptionalBool(const Json& entry, const std::string& key, bool otherwise, const std::string& where)
{
	if (!entry.contains(key))
		return otherwise;
	if (!entry[key].is_boolean())
		throw UserError(where + ": \"" + key + "\" must be true or false");
	return entry[key].get<bool>();
}

int32 RequireInt(const Json& entry, const std::string& key, const std::string& where)
{
	if (!entry.contains(key) || !entry[key].is_number_integer())
		throw UserError(where + ": \"" + key + "\" must be a whole number");
	return entry[key].get<int32>();
}

std::vector<int32> RequireRows(const Json& entry, const std::string& where)
{
	if (!entry.contains("rows") || !entry["rows"].is_array() || entry["rows"].empty())
		throw UserError(where + ": \"rows\" must be a non-empty list of row numbers");
	std::vector<int32> rows;
	for (const Json& row : entry["rows"]) {
		if (!row.is_number_integer())
			throw UserError(where + ": \"rows\" must be a non-empty list of row numbers");
		rows.push_back(row.get<int32>());
	}
	return rows;
}

uint32 ParseCode(const std::string& text, const std::string& where)
{
	if (text.size() != 4)
		throw UserError(where + ": a message code is four characters, not " + Quote(text));
	return uint32(uint8(text[0])) << 24 | uint32(uint8(text[1])) << 16 | uint32(uint8(text[2])) << 8
		| uint32(uint8(text[3]));
}

std::map<std::string, ActionKind>& BuiltinKinds()
{
	static auto* kinds = new std::map<std::string, ActionKind>{
		{"click", {[](const Json& e, const std::string& w) { RequireString(e, "click", w); },
					  [](ActionContext& c) {
						  PanelDriver(c.element).Click(c.entry["click"].get<std::string>());
					  },
					  {}}},
		{"drag", {[](const Json& e, const std::string& w) {
					  RequireString(e, "drag", w);
					  RequireInt(e, "to", w);
				  },
					 [](ActionContext& c) {
						 PanelDriver(c.element).Drag(c.entry["drag"].get<std::string>(),
							 c.entry["to"].get<int32>());
					 },
					 {"to"}}},
		{"choose", {[](const Json& e, const std::string& w) {
						RequireString(e, "choose", w);
						OptionalString(e, "menu", w);
					},
					   [](ActionContext& c) {
						   PanelDriver(c.element).Choose(c.entry["choose"].get<std::string>(),
							   OptionalString(c.entry, "menu", c.where));
					   },
					   {"menu"}}},
		{"select", {[](const Json& e, const std::string& w) {
						RequireString(e, "select", w);
						RequireRows(e, w);
						OptionalBool(e, "invoke", false, w);
					},
					   [](ActionContext& c) {
						   PanelDriver(c.element).Select(c.entry["select"].get<std::string>(),
							   RequireRows(c.entry, c.where), OptionalBool(c.entry, "invoke", false, c.where));
					   },
					   {"rows", "invoke"}}},
		{"type", {[](const Json& e, const std::string& w) {
					  RequireString(e, "type", w);
					  RequireString(e, "text", w);
					  OptionalBool(e, "replace", true, w);
				  },
					 [](ActionContext& c) {
						 PanelDriver(c.element).Type(c.entry["type"].get<std::string>(),
							 c.entry["text"].get<std::string>(), OptionalBool(c.entry, "replace", true, c.where));
					 },
					 {"text", "replace"}}},
		{"close", {[](const Json& e, const std::string& w) {
					   if (!e["close"].is_boolean() || !e["close"].get<bool>())
						   throw UserError(w + ": \"close\" must be true");
				   },
					  [](ActionContext& c) { PanelDriver(c.element).Close(); }, {}}},
		{"post", {[](const Json& e, const std::string& w) {
					  ParseCode(RequireString(e, "post", w), w);
					  if (e.contains("fields")) {
						  BMessage probe;
						  JsonToMessage(e["fields"], &probe, w + ": \"fields\"");
					  }
				  },
					 [](ActionContext& c) {
						 BMessage message(ParseCode(c.entry["post"].get<std::string>(), c.where));
						 if (c.entry.contains("fields"))
							 JsonToMessage(c.entry["fields"], &message, c.where + ": \"fields\"");
						 PanelDriver(c.element).Post(message);
					 },
					 {"fields"}}},
	};
	return *kinds;
}

std::map<std::string, ActionKind>& Kinds()
{
	return BuiltinKinds();
}

}  // namespace

void RegisterAction(const std::string& key, ActionKind kind)
{
	std::lock_guard<std::mutex> guard(sKindsLock);
	Kinds()[key] = std::move(kind);
}

std::vector<std::string> ActionKeys()
{
	std::lock_guard<std::mutex> guard(sKindsLock);
	std::vector<std::string> keys;
	for (const auto& [key, kind] : Kinds())
		keys.push_back(key);
	return keys;
}

std::vector<TimedAction> ParseActions(const DiagramPlan& plan, const std::string& where)
{
	std::set<std::string> ids;
	for (const ElementPlan& e : plan.elements)
		ids.insert(e.id);
	std::vector<TimedAction> actions;
	std::lock_guard<std::mutex> guard(sKindsLock);
	int index = 0;
	for (const Json& entry : plan.actions) {
		std::string at = where + ": action " + std::to_string(index++);
		if (!entry.is_object())
			throw UserError(at + ": an action is an object such as {\"at\": 0.5, \"element\": \"id\", \"click\": \"OK\"}");
		TimedAction action;
		action.entry = entry;
		action.element = RequireString(entry, "element", at);
		if (!ids.count(action.element))
			throw UserError(at + ": unknown element '" + action.element + "'");
		if (entry.contains("at")) {
			if (!entry["at"].is_number() || entry["at"].get<double>() < 0)
				throw UserError(at + ": \"at\" must be a number of seconds, not negative");
			action.at = entry["at"].get<double>();
		}
		const ActionKind* kind = nullptr;
		for (auto it = entry.begin(); it != entry.end(); ++it) {
			auto found = Kinds().find(it.key());
			if (found == Kinds().end())
				continue;
			if (kind)
				throw UserError(at + ": one action per entry, but it has both \"" + action.key + "\" and \""
					+ it.key() + "\"");
			kind = &found->second;
			action.key = it.key();
		}
		if (!kind) {
			std::string known;
			for (const auto& [key, k] : Kinds())
				known += (known.empty() ? "" : ", ") + Quote(key);
			throw UserError(at + ": no action in the entry (known actions: " + known + ")");
		}
		at += " (" + action.key + " on '" + action.element + "')";
		for (auto it = entry.begin(); it != entry.end(); ++it) {
			const std::string& key = it.key();
			if (key == "at" || key == "element" || key == action.key)
				continue;
			if (std::find(kind->options.begin(), kind->options.end(), key) == kind->options.end())
				throw UserError(at + ": unknown key \"" + key + "\"");
		}
		if (kind->check)
			kind->check(entry, at);
		action.where = at;
		actions.push_back(std::move(action));
	}
	std::stable_sort(actions.begin(), actions.end(),
		[](const TimedAction& a, const TimedAction& b) { return a.at < b.at; });
	return actions;
}

void RunAction(Runtime& runtime, const TimedAction& action)
{
	Element* element = runtime.Find(action.element);
	if (!element)
		throw UserError(action.where + ": unknown element '" + action.element + "'");
	ActionKind kind;
	{
		std::lock_guard<std::mutex> guard(sKindsLock);
		auto found = Kinds().find(action.key);
		if (found == Kinds().end())
			throw UserError(action.where + ": unknown action \"" + action.key + "\"");
		kind = found->second;
	}
	ActionContext context{runtime, *element, action.entry, action.where};
	try {
		kind.run(context);
	} catch (const UserError& error) {
		throw UserError(action.where + ": " + error.what());
	}
}

ActionSchedule::ActionSchedule(Runtime& runtime, std::vector<TimedAction> actions)
	: fRuntime(runtime), fActions(std::move(actions))
{
}

void ActionSchedule::RunDue(double elapsed)
{
	while (fNext < fActions.size() && fActions[fNext].at <= elapsed)
		RunAction(fRuntime, fActions[fNext++]);
}

double ActionSchedule::NextIn(double elapsed) const
{
	if (Done())
		return -1;
	return std::max(0.0, fActions[fNext].at - elapsed);
}

}  // namespace vantrel
