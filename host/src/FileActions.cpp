#include <vantrel/Actions.h>
#include <vantrel/FileActions.h>

#include <FilePanel.h>
#include <InputAPI.h>
#include <Window.h>

#include <climits>
#include <mutex>

#include <unistd.h>

namespace vantrel {

namespace {

std::string Absolute(const std::string& path)
{
	if (!path.empty() && path[0] == '/')
		return path;
	char cwd[PATH_MAX];
	if (!getcwd(cwd, sizeof(cwd)))
		return path;
	return std::string(cwd) + "/" + path;
}

std::string Reason(status_t result)
{
	switch (result) {
		case B_ENTRY_NOT_FOUND: return "no such file or folder";
		case B_NOT_ALLOWED: return "the file panel does not accept it";
		case B_IS_A_DIRECTORY: return "it is a folder";
		case B_BAD_VALUE: return "the file panel cannot take that choice";
		default: return strerror_status(result);
	}
}

// The element's panel window, unlocked; it lives until CloseElem, which
// runs on the calling thread.
BWindow* PanelWindow(Element& element, const std::string& action)
{
	BWindow* window = element.LockPanel();
	if (!window)
		throw UserError("element '" + element.Id() + "': cannot " + action + ": "
			+ (element.IsClosed() ? "the element is closed" : "it has no panel"));
	bool hidden = window->IsHidden();
	window->Unlock();
	// A panel that was never shown runs no message loop to take the reply.
	if (hidden)
		throw UserError("element '" + element.Id() + "': cannot " + action + ": its panel is not open");
	return window;
}

void WaitForPanel(Element& element, BWindow* window, const std::string& action)
{
	if (platform_input::WaitUntilIdle(window) != B_OK)
		throw UserError("element '" + element.Id() + "': cannot " + action + ": the panel did not respond");
}

}  // namespace

void ChooseFile(Element& element, const std::string& path, const std::string& mode)
{
	std::string action = "choose \"" + path + "\"";
	BWindow* window = PanelWindow(element, action);
	std::vector<BFilePanel*> panels;
	for (BFilePanel* panel : BFilePanel::PanelsOf(window)) {
		if (mode.empty() || (mode == "open") == (panel->PanelMode() == B_OPEN_PANEL))
			panels.push_back(panel);
	}
	if (panels.empty())
		throw UserError("element '" + element.Id() + "': cannot " + action + ": its panel has no "
			+ (mode.empty() ? std::string("file") : mode) + " panel");
	if (panels.size() > 1)
		throw UserError("element '" + element.Id() + "': cannot " + action
			+ ": its panel has several file panels; say \"mode\": \"open\" or \"save\"");
	status_t result = panels[0]->Choose(Absolute(path).c_str());
	if (result != B_OK)
		throw UserError("element '" + element.Id() + "': cannot " + action + ": " + Reason(result));
	WaitForPanel(element, window, action);
}

void DropFiles(Element& element, const std::vector<std::string>& paths)
{
	std::string action = "drop \"" + (paths.empty() ? std::string() : paths[0]) + "\"";
	BWindow* window = PanelWindow(element, action);
	std::vector<std::string> absolute;
	for (const std::string& path : paths) {
		if (access(Absolute(path).c_str(), F_OK) != 0)
			throw UserError("element '" + element.Id() + "': cannot drop \"" + path + "\": no such file or folder");
		absolute.push_back(Absolute(path));
	}
	status_t result = platform_drop_refs(BMessenger(window), absolute);
	if (result != B_OK)
		throw UserError("element '" + element.Id() + "': cannot " + action + ": " + Reason(result));
	WaitForPanel(element, window, action);
}

void RegisterFileActions()
{
	static std::once_flag once;
	std::call_once(once, [] {
		auto paths = [](const Json& value) {
			std::vector<std::string> out;
			if (value.is_string())
				out.push_back(value.get<std::string>());
			else if (value.is_array())
				for (const Json& item : value)
					if (item.is_string())
						out.push_back(item.get<std::string>());
			return out;
		};
		RegisterAction("file", ActionKind{
			[](const Json& e, const std::string& where) {
				if (!e["file"].is_string() || e["file"].get<std::string>().empty())
					throw UserError(where + ": \"file\" must be a path");
				if (e.contains("mode") && e["mode"] != "open" && e["mode"] != "save")
					throw UserError(where + ": \"mode\" must be \"open\" or \"save\"");
			},
			[](ActionContext& c) {
				ChooseFile(c.element, c.entry["file"].get<std::string>(),
					c.entry.contains("mode") ? c.entry["mode"].get<std::string>() : "");
			},
			{"mode"}});
		RegisterAction("drop", ActionKind{
			[paths](const Json& e, const std::string& where) {
				std::vector<std::string> list = paths(e["drop"]);
				if (list.empty() || list.size() != (e["drop"].is_array() ? e["drop"].size() : 1u))
					throw UserError(where + ": \"drop\" must be a path or a list of paths");
			},
			[paths](ActionContext& c) { DropFiles(c.element, paths(c.entry["drop"])); },
			{}});
	});
}

}  // namespace vantrel
