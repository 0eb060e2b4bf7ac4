// Diagram files: elements with their module, label, panel and state, and
// the cords between their ports.
//
//   {
//     "elements": [
//       {"id": "mark", "module": "Kindtag", "label": "Notes", "panel": true,
//        "state": {"mark": 1, "evtypes": [false, true]}}
//     ],
//     "cords": [{"from": "read.Read", "to": "parse.Data Input"}]
//   }
//
// A port is written "element.Port"; the empty-named port of a one-port
// module is written as the element id alone.
#pragma once

#include <vantrel/Runtime.h>
#include <vantrel/State.h>

#include <string>
#include <vector>

namespace vantrel {

struct PortRef {
	std::string element;
	std::string port;
};

struct ElementPlan {
	std::string id;
	std::string module;
	std::string label;
	bool hasLabel = false;
	bool panel = false;
	bool hasState = false;
	Json state;
};

struct CordPlan {
	PortRef from;
	PortRef to;
};

struct DiagramPlan {
	std::vector<ElementPlan> elements;
	std::vector<CordPlan> cords;
	Json actions = Json::array();
	// Keys of the file this host does not interpret, written back on save.
	Json extra = Json::object();
};

PortRef ParsePortRef(const std::string& text);
std::string FormatPortRef(const PortRef& ref);

// Reads and checks a diagram file; throws UserError with the file's name.
DiagramPlan ReadDiagram(const std::string& path);
DiagramPlan ParseDiagram(const Json& json, const std::string& where);

// Opens the elements, sets their state, completes the load, labels them,
// shows the panels asked for and wires the cords, in that order.
void Instantiate(Runtime& runtime, const DiagramPlan& plan, const std::string& where);

// The diagram as it is now, with every element's saved state.
Json SaveDiagram(Runtime& runtime, const DiagramPlan& plan);

}  // namespace vantrel
