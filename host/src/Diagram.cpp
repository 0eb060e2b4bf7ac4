#include <vantrel/Diagram.h>

#include <fstream>
#include <set>
#include <sstream>

namespace vantrel {

PortRef ParsePortRef(const std::string& text)
{
	size_t dot = text.find('.');
	if (dot == std::string::npos)
		return PortRef{text, ""};
	return PortRef{text.substr(0, dot), text.substr(dot + 1)};
}

std::string FormatPortRef(const PortRef& ref)
{
	return ref.port.empty() ? ref.element : ref.element + "." + ref.port;
}

DiagramPlan ReadDiagram(const std::string& path)
{
	std::ifstream in(path);
	if (!in)
		throw UserError(path + ": cannot open the diagram file");
	std::stringstream text;
	text << in.rdbuf();
	Json json;
	try {
		json = Json::parse(text.str());
	} catch (const Json::parse_error& error) {
		// Turn the byte offset into a line and column.
		std::string all = text.str();
		size_t offset = std::min(error.byte > 0 ? error.byte - 1 : 0, all.size());
		size_t line = 1, column = 1;
		for (size_t i = 0; i < offset; i++) {
			if (all[i] == '\n') {
				line++;
				column = 1;
			} else {
				column++;
			}
		}
		std::string what = error.what();
		size_t colon = what.rfind(": ");
		throw UserError(path + ":" + std::to_string(line) + ":" + std::to_string(column)
			+ ": malformed JSON: " + (colon == std::string::npos ? what : what.substr(colon + 2)));
	}
	return ParseDiagram(json, path);
}

namespace {

const std::string& RequireString(const Json& object, const char* key, const std::string& where)
{
	if (!object.contains(key))
		throw UserError(where + ": missing \"" + key + "\"");
	if (!object[key].is_string())
		throw UserError(where + ": \"" + key + "\" must be a string");
	return object[key].get_ref<const std::string&>();
}

}  // namespace

DiagramPlan ParseDiagram(const Json& json, const std::string& where)
{
	if (!json.is_object())
		throw UserError(where + ": a diagram is a JSON object with \"elements\" and \"cords\"");
	DiagramPlan plan;
	for (auto it = json.begin(); it != json.end(); ++it) {
		if (it.key() != "elements" && it.key() != "cords" && it.key() != "actions")
			plan.extra[it.key()] = it.value();
	}
	if (!json.contains("elements") || !json["elements"].is_array())
		throw UserError(where + ": \"elements\" must be a list");
	std::set<std::string> ids;
	int index = 0;
	for (const Json& e : json["elements"]) {
		std::string at = where + ": element " + std::to_string(index++);
		if (!e.is_object())
			throw UserError(at + ": must be an object");
		ElementPlan element;
		element.id = RequireString(e, "id", at);
		at = where + ": element '" + element.id + "'";
		if (element.id.empty() || element.id.find('.') != std::string::npos)
			throw UserError(at + ": an id must be non-empty and contain no '.'");
		if (!ids.insert(element.id).second)
			throw UserError(at + ": the id is used twice");
		element.module = RequireString(e, "module", at);
		if (e.contains("label")) {
			element.label = RequireString(e, "label", at);
			element.hasLabel = true;
		}
		if (e.contains("panel")) {
			if (!e["panel"].is_boolean())
				throw UserError(at + ": \"panel\" must be true or false");
			element.panel = e["panel"].get<bool>();
		}
		if (e.contains("state")) {
			if (!e["state"].is_object())
				throw UserError(at + ": \"state\" must be an object");
			element.state = e["state"];
			element.hasState = true;
		}
		for (auto key = e.begin(); key != e.end(); ++key) {
			static const std::set<std::string> known{"id", "module", "label", "panel", "state"};
			if (!known.count(key.key()))
				throw UserError(at + ": unknown key \"" + key.key() + "\"");
		}
		plan.elements.push_back(std::move(element));
	}
	if (json.contains("cords")) {
		if (!json["cords"].is_array())
			throw UserError(where + ": \"cords\" must be a list");
		index = 0;
		for (const Json& c : json["cords"]) {
			std::string at = where + ": cord " + std::to_string(index++);
			CordPlan cord;
			if (c.is_array() && c.size() == 2 && c[0].is_string() && c[1].is_string()) {
				cord.from = ParsePortRef(c[0].get<std::string>());
				cord.to = ParsePortRef(c[1].get<std::string>());
			} else if (c.is_object()) {
				cord.from = ParsePortRef(RequireString(c, "from", at));
				cord.to = ParsePortRef(RequireString(c, "to", at));
			} else {
				throw UserError(at + ": a cord is {\"from\": \"a.Port\", \"to\": \"b.Port\"}");
			}
			for (const PortRef* ref : {&cord.from, &cord.to})
				if (!ids.count(ref->element))
					throw UserError(at + ": unknown element '" + ref->element + "' in \""
						+ FormatPortRef(*ref) + "\"");
			plan.cords.push_back(cord);
		}
	}
	if (json.contains("actions")) {
		if (!json["actions"].is_array())
			throw UserError(where + ": \"actions\" must be a list");
		plan.actions = json["actions"];
	}
	return plan;
}

void Instantiate(Runtime& runtime, const DiagramPlan& plan, const std::string& where)
{
	// Check modules, state and ports before opening anything.
	std::vector<BMessage> states(plan.elements.size());
	for (size_t i = 0; i < plan.elements.size(); i++) {
		const ElementPlan& e = plan.elements[i];
		std::string reason;
		Module* module = runtime.Catalog().Get(e.module, &reason);
		if (!module)
			throw UserError(where + ": element '" + e.id + "': unknown module \"" + e.module
				+ "\" (" + reason + ")");
		if (e.hasState)
			JsonToMessage(e.state, &states[i], where + ": element '" + e.id + "'");
	}
	auto moduleOf = [&](const std::string& id) -> Module* {
		for (const ElementPlan& e : plan.elements)
			if (e.id == id)
				return runtime.Catalog().Get(e.module, nullptr);
		return nullptr;
	};
	for (const CordPlan& cord : plan.cords) {
		for (const PortRef* ref : {&cord.from, &cord.to}) {
			Module* module = moduleOf(ref->element);
			if (!module->FindPort(ref->port)) {
				std::string known;
				for (const PortInfo& port : module->Ports())
					known += (known.empty() ? "" : ", ")
						+ (port.name.empty() ? std::string("(the element id alone)") : "\"" + port.name + "\"");
				throw UserError(where + ": unknown port \"" + ref->port + "\" in \"" + FormatPortRef(*ref)
					+ "\": module " + module->Name() + " has " + known);
			}
		}
	}

	for (const ElementPlan& e : plan.elements)
		runtime.Open(e.module, e.id);
	for (const CordPlan& cord : plan.cords) {
		try {
			runtime.Connect(*runtime.Find(cord.from.element), cord.from.port,
				*runtime.Find(cord.to.element), cord.to.port);
		} catch (const UserError& error) {
			throw UserError(where + ": " + error.what());
		}
	}
	for (size_t i = 0; i < plan.elements.size(); i++)
		if (plan.elements[i].hasState)
			runtime.Find(plan.elements[i].id)->SetState(&states[i]);
	for (const ElementPlan& e : plan.elements)
		runtime.Find(e.id)->LoadComplete();
	for (const ElementPlan& e : plan.elements)
		if (e.hasLabel)
			runtime.Find(e.id)->SetLabel(e.label);
	for (const ElementPlan& e : plan.elements) {
		Element* element = runtime.Find(e.id);
		if (e.panel) {
			element->panelRequested = true;
			if (element->ShowPanel() != 0)
				throw UserError(where + ": element '" + e.id + "': module " + e.module
					+ " has no panel to show (\"panel\": true)");
		}
	}
}

Json SaveDiagram(Runtime& runtime, const DiagramPlan& plan)
{
	Json out = Json::object();
	Json elements = Json::array();
	for (const ElementPlan& e : plan.elements) {
		Json entry = Json::object();
		entry["id"] = e.id;
		entry["module"] = e.module;
		Element* element = runtime.Find(e.id);
		if (element && !element->Label().empty())
			entry["label"] = element->Label();
		else if (e.hasLabel)
			entry["label"] = e.label;
		if (element ? element->panelOpen.load() : e.panel)
			entry["panel"] = true;
		if (element) {
			BMessage state;
			element->SaveState(&state);
			entry["state"] = MessageToJson(state);
		} else if (e.hasState) {
			entry["state"] = e.state;
		}
		elements.push_back(entry);
	}
	out["elements"] = elements;
	Json cords = Json::array();
	for (const CordPlan& cord : plan.cords)
		cords.push_back(Json{{"from", FormatPortRef(cord.from)}, {"to", FormatPortRef(cord.to)}});
	out["cords"] = cords;
	if (!plan.actions.empty())
		out["actions"] = plan.actions;
	for (auto it = plan.extra.begin(); it != plan.extra.end(); ++it)
		out[it.key()] = it.value();
	return out;
}

}  // namespace vantrel
