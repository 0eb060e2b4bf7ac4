// Timed actions in diagram files and through the C++ API, and the CLI
// running them and saving what the panels changed.

#include <VantrelTest.h>

#include <vantrel/Actions.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include <sys/wait.h>
#include <unistd.h>

using namespace vantrel;
using namespace vantrel::testing;

namespace {

struct Result {
	int status;
	std::string output;
};

// Runs the CLI with the arguments; collects standard output and error.
Result RunCli(const std::string& arguments)
{
	std::string command = std::string(VANTREL_CLI) + " " + arguments + " 2>&1";
	FILE* pipe = popen(command.c_str(), "r");
	Result result{-1, ""};
	if (!pipe)
		return result;
	char buffer[512];
	size_t n;
	while ((n = fread(buffer, 1, sizeof(buffer), pipe)) > 0)
		result.output.append(buffer, n);
	int status = pclose(pipe);
	result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
	return result;
}

class TempDir {
public:
	TempDir()
	{
		std::string pattern = ::testing::TempDir() + "actions-test-XXXXXX";
		fPath = mkdtemp(pattern.data());
	}
	~TempDir() { std::system(("rm -rf '" + fPath + "'").c_str()); }
	std::string Write(const std::string& name, const std::string& text) const
	{
		std::string path = fPath + "/" + name;
		std::ofstream(path) << text;
		return path;
	}
	std::string Path(const std::string& name) const { return fPath + "/" + name; }

private:
	std::string fPath;
};

Json ReadJson(const std::string& path)
{
	std::ifstream in(path);
	std::stringstream text;
	text << in.rdbuf();
	return Json::parse(text.str());
}

const char* kDiagram = R"({
  "elements": [
    {"id": "kind", "module": "Kindtag", "panel": true},
    {"id": "chan", "module": "Laneset", "panel": true, "state": {"channel": 2}}
  ],
  "cords": [{"from": "kind", "to": "chan"}],
  "actions": [
    {"at": 0.05, "element": "kind", "close": true},
    {"element": "chan", "click": "10"},
    {"at": 0.01, "element": "kind", "choose": "Mark 2", "menu": "Mark 1"},
    {"at": 0.01, "element": "kind", "click": "System"},
    {"at": 0.02, "element": "chan", "post": "RBTN", "fields": {"chan": 11}}
  ]
})";

}  // namespace

TEST(ActionsCli, RunsTheActionsInTimeOrderAndSavesTheResult)
{
	TempDir dir;
	std::string diagram = dir.Write("d.json", kDiagram);
	Result run = RunCli("run " + diagram + " --save " + dir.Path("saved.json"));
	ASSERT_EQ(run.status, 0) << run.output;
	Json saved = ReadJson(dir.Path("saved.json"));
	const Json& kind = saved["elements"][0];
	const Json& chan = saved["elements"][1];
	EXPECT_EQ(kind["state"]["mark"], 2);
	EXPECT_EQ(kind["state"]["evtypes"][7], true);
	EXPECT_FALSE(kind.contains("panel"));  // the user closed it
	EXPECT_EQ(chan["panel"], true);
	// The click at 0 came first, the posted message later.
	EXPECT_EQ(chan["state"]["channel"], 11);
	EXPECT_TRUE(chan["state"].contains("window"));
	EXPECT_EQ(saved["actions"].size(), 5u);  // kept for the next run
}

TEST(ActionsCli, ActionErrorsNameTheFileTheActionAndTheCause)
{
	TempDir dir;
	struct Case {
		const char* actions;
		const char* expected;
	} cases[] = {
		{R"([{"element": "chan", "press": "OK"}])", "action 0: no action in the entry"},
		{R"([{"element": "none", "click": "OK"}])", "action 0: unknown element 'none'"},
		{R"([{"element": "chan", "drag": "x"}])", "\"to\" must be a whole number"},
		{R"([{"element": "chan", "click": "1", "close": true}])", "one action per entry"},
		{R"([{"element": "chan", "click": "1", "twice": true}])", "unknown key \"twice\""},
		{R"([{"element": "chan", "post": "LONGER"}])", "four characters"},
		{R"([{"element": "chan", "click": "17"}])", "no control \"17\""},
		{R"([{"element": "kind", "click": "System"}])", "panel is not open"},
		{R"([{"element": "chan", "close": true}, {"at": 0.01, "element": "chan", "click": "2"}])",
			"panel is not open"},
	};
	for (const Case& c : cases) {
		std::string text = std::string(R"({"elements": [{"id": "kind", "module": "Kindtag"},
			{"id": "chan", "module": "Laneset", "panel": true}], "actions": )") + c.actions + "}";
		std::string diagram = dir.Write("bad.json", text);
		Result run = RunCli("run " + diagram);
		EXPECT_EQ(run.status, 2) << c.actions << "\n" << run.output;
		EXPECT_NE(run.output.find(diagram), std::string::npos) << run.output;
		EXPECT_NE(run.output.find(c.expected), std::string::npos) << c.actions << "\n" << run.output;
		EXPECT_EQ(std::count(run.output.begin(), run.output.end(), '\n'), 1) << run.output;
	}
}

TEST(ActionsCli, APanelAskedOfAModuleWithoutOneIsAnError)
{
	TempDir dir;
	std::string diagram = dir.Write("nopanel.json",
		R"({"elements": [{"id": "rel", "module": "Releaser", "panel": true}]})");
	Result run = RunCli("run " + diagram);
	EXPECT_EQ(run.status, 2) << run.output;
	EXPECT_NE(run.output.find("element 'rel': module Releaser has no panel"), std::string::npos) << run.output;
}

TEST(Actions, MoreKindsCanBeRegistered)
{
	std::vector<std::string> seen;
	RegisterAction("note", ActionKind{
		[](const Json& entry, const std::string& where) {
			if (!entry["note"].is_string())
				throw UserError(where + ": \"note\" must be a string");
		},
		[&](ActionContext& context) { seen.push_back(context.element.Id() + ":" + context.entry["note"].get<std::string>()); },
		{"extra"}});
	Runtime runtime(TestOptions());
	DiagramPlan plan = ParseDiagram(Json::parse(R"({
		"elements": [{"id": "chan", "module": "Laneset"}],
		"actions": [{"at": 0.2, "element": "chan", "note": "b", "extra": 1},
		            {"at": 0.1, "element": "chan", "note": "a"}]
	})"), "test");
	std::vector<TimedAction> actions = ParseActions(plan, "test");
	Instantiate(runtime, plan, "test");
	ActionSchedule schedule(runtime, actions);
	EXPECT_DOUBLE_EQ(schedule.NextIn(0), 0.1);
	schedule.RunDue(0.15);
	EXPECT_EQ(seen, std::vector<std::string>{"chan:a"});
	schedule.RunDue(1);
	EXPECT_EQ(seen, (std::vector<std::string>{"chan:a", "chan:b"}));
	EXPECT_TRUE(schedule.Done());
	DiagramPlan wrong = ParseDiagram(Json::parse(R"({
		"elements": [{"id": "chan", "module": "Laneset"}],
		"actions": [{"element": "chan", "note": 3}]
	})"), "test");
	EXPECT_THROW(ParseActions(wrong, "test"), UserError);
}
