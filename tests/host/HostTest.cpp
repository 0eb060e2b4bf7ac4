#include <VantrelTest.h>

#include <dlfcn.h>

#include <filesystem>
#include <fstream>

using namespace vantrel;
using namespace vantrel::testing;
namespace fs = std::filesystem;

namespace {

RuntimeOptions ProbeOptions(bigtime_t joinTimeout = kDeadline)
{
	RuntimeOptions options = TestOptions();
	options.moduleDirectory = VANTREL_TEST_MODULES;
	options.joinTimeout = joinTimeout;
	return options;
}

}  // namespace

TEST(ModuleCatalog, InvalidFilesAreReportedAndSkipped)
{
	fs::path dir = fs::path(::testing::TempDir()) / "vantrel-catalog";
	fs::remove_all(dir);
	fs::create_directories(dir);
	fs::copy_file(fs::path(VANTREL_MODULE_DIR) / "Releaser.so", dir / "Releaser.so");
	std::ofstream(dir / "Junk.so") << "not a shared library";
	fs::copy_file(VANTREL_NOT_A_MODULE, dir / "NoExports.so");

	ModuleCatalog catalog(dir.string());
	catalog.LoadAll();
	ASSERT_EQ(catalog.Loaded().size(), 1u);
	EXPECT_EQ(catalog.Loaded()[0]->Name(), "Releaser");
	ASSERT_EQ(catalog.Problems().size(), 2u);
	for (const ScanProblem& problem : catalog.Problems()) {
		if (problem.file.find("Junk") != std::string::npos)
			EXPECT_NE(problem.reason.find("cannot be loaded"), std::string::npos) << problem.reason;
		else
			EXPECT_NE(problem.reason.find("no ZM_Init export"), std::string::npos) << problem.reason;
	}
	std::string reason;
	EXPECT_EQ(catalog.Get("Missing", &reason), nullptr);
	EXPECT_NE(reason.find("no module file"), std::string::npos);
	fs::remove_all(dir);
}

TEST(Runtime, UnknownModulesAndPortsAreNamed)
{
	Runtime runtime(ProbeOptions());
	try {
		runtime.Open("Nothing");
		FAIL() << "opened an unknown module";
	} catch (const UserError& error) {
		EXPECT_NE(std::string(error.what()).find("\"Nothing\""), std::string::npos);
	}
	Element& probe = runtime.Open("Probe", "p");
	try {
		probe.Port("Nope");
		FAIL();
	} catch (const UserError& error) {
		std::string text = error.what();
		EXPECT_NE(text.find("\"Nope\""), std::string::npos);
		EXPECT_NE(text.find("\"Bump\""), std::string::npos) << "lists the ports there are";
	}
	Element& other = runtime.Open("Probe", "q");
	EXPECT_THROW(runtime.Connect(probe, "Bump", other, "Out"), UserError) << "cords end on in-line ports";
}

TEST(Runtime, FanOutGivesEachCordItsOwnCopy)
{
	Runtime runtime(ProbeOptions());
	Element& source = runtime.Open("Probe", "source");
	Element& bumper = runtime.Open("Probe", "bumper");
	Element& catcher = runtime.Open("Probe", "catcher");
	runtime.Connect(source, "Bump", bumper, "Bump");
	runtime.Connect(source, "Bump", catcher, "Catch");

	ItemList list;
	list.Time(7).Midi({Ev(0x90, 60, 100), Ev(0x80, 10, 0)});
	EXPECT_EQ(source.Inject("Bump", list), 0);
	// The first cord worked on the original list; the second got a copy
	// taken before that.
	EXPECT_EQ(list.events(1), (std::vector<MIDISeq>{Ev(0x90, 62, 100), Ev(0x80, 12, 0)}));
	Delivery caught;
	ASSERT_TRUE(catcher.Pull("Out", &caught, kDeadline));
	EXPECT_EQ(caught[1].events(), (std::vector<MIDISeq>{Ev(0x90, 61, 100), Ev(0x80, 11, 0)}));
}

TEST(Runtime, DeliveryFollowsSourceCordsDepthFirst)
{
	Runtime runtime(ProbeOptions());
	Element& a = runtime.Open("Probe", "a");
	Element& b = runtime.Open("Probe", "b");
	Element& c = runtime.Open("Probe", "c");
	runtime.Connect(a, "Out", b, "Bump");
	runtime.Connect(b, "Bump", c, "Catch");
	runtime.Start();
	ItemList list;
	list.Midi({Ev(0xB0, 1, 2)});
	EXPECT_EQ(a.Call("Catch", list), -1);
	Delivery out;
	ASSERT_TRUE(c.Pull("Out", &out, kDeadline));
	EXPECT_EQ(out[1].events(), std::vector<MIDISeq>{Ev(0xB0, 2, 2)});
}

TEST(Runtime, LoopsOfInlinePortsAreRefused)
{
	Runtime runtime(ProbeOptions());
	Element& a = runtime.Open("Probe", "a");
	Element& b = runtime.Open("Probe", "b");
	EXPECT_THROW(runtime.Connect(a, "Bump", a, "Bump"), UserError);
	runtime.Connect(a, "Bump", b, "Bump");
	EXPECT_THROW(runtime.Connect(b, "Bump", a, "Bump"), UserError);
	// Through a source port there is no loop: its output starts anew in
	// its own thread.
	EXPECT_NO_THROW(runtime.Connect(b, "Out", a, "Bump"));
	EXPECT_NO_THROW(runtime.Connect(b, "Bump", a, "Catch"));
}

TEST(Runtime, CloseElemReleasesABlockedSourcePort)
{
	Runtime runtime(ProbeOptions());
	Element& probe = runtime.Open("Probe", "p");
	Delivery out;
	EXPECT_FALSE(probe.Pull("Out", &out, kQuiet)) << "nothing was caught";
	probe.Close();
	EXPECT_TRUE(probe.JoinSources(kDeadline).empty());
	ItemList list;
	list.Midi({Ev(0x90, 1, 1)});
	EXPECT_EQ(probe.Call("Bump", list), -1);
}

TEST(Runtime, ASourceThatDoesNotReturnIsNamed)
{
	Runtime runtime(ProbeOptions(100000));
	runtime.Open("Hang", "h");
	runtime.Start();
	std::vector<std::string> stuck = runtime.Shutdown();
	ASSERT_EQ(stuck.size(), 1u);
	EXPECT_EQ(stuck[0], "Hang h.Forever");
	// Let the thread go; the module stayed loaded for it.
	void* handle = dlopen((std::string(VANTREL_TEST_MODULES) + "/Hang.so").c_str(), RTLD_NOW | RTLD_NOLOAD);
	ASSERT_NE(handle, nullptr);
	reinterpret_cast<void (*)()>(dlsym(handle, "HangRelease"))();
	dlclose(handle);
}

TEST(Diagram, StateSurvivesSaveAndLoad)
{
	Json state = Json::parse(R"({
		"count": 3,
		"flags": [true, false, true],
		"name": "lead",
		"names": ["a", "b"],
		"window": {"rect": [340, 20, 440, 160]},
		"mark": {"int8": -128},
		"wide": {"int64": 9007199254740993},
		"big": {"uint32": 4294967295},
		"gain": {"float": 0.1},
		"ratio": {"double": 0.1},
		"points": {"point": [[1, 2], [3.5, 4]]},
		"shorts": {"int16": [1, -2]},
		"record": {"data": "00ff10", "type": "NODE"},
		"inner": {"message": {"what": "INNR", "fields": {"x": 1}}}
	})");
	Json diagram = {{"elements", Json::array({Json{{"id", "p"}, {"module", "Probe"}, {"state", state}}})},
		{"cords", Json::array()}};
	Runtime runtime(ProbeOptions());
	DiagramPlan plan = ParseDiagram(diagram, "test");
	Instantiate(runtime, plan, "test");
	Json saved = SaveDiagram(runtime, plan);
	EXPECT_EQ(saved["elements"][0]["state"], state) << saved.dump(1);

	// Loading what was saved gives the same message again.
	Runtime again(ProbeOptions());
	DiagramPlan replan = ParseDiagram(saved, "saved");
	Instantiate(again, replan, "saved");
	EXPECT_EQ(SaveDiagram(again, replan), saved);
}

TEST(Diagram, BadInputIsNamed)
{
	struct Case {
		const char* json;
		const char* expected;
	} cases[] = {
		{R"({"elements": [{"id": "x", "module": "Nope"}]})", "unknown module \"Nope\""},
		{R"({"elements": [{"id": "x", "module": "Probe"}], "cords": [{"from": "x.Bump", "to": "x.Nope"}]})",
			"unknown port \"Nope\""},
		{R"({"elements": [{"id": "x", "module": "Probe"}], "cords": [{"from": "y.Bump", "to": "x.Bump"}]})",
			"unknown element 'y'"},
		{R"({"elements": [{"id": "x", "module": "Probe", "state": {"g": 1.5}}]})", "state key \"g\""},
		{R"({"elements": [{"id": "x", "module": "Probe", "state": {"g": {"int8": 300}}}]})", "out of range"},
		{R"({"elements": [{"id": "x", "module": "Probe", "state": {"g": {"colour": 1}}}]})",
			"unknown type tag"},
		{R"({"elements": [{"id": "x", "module": "Probe"}, {"id": "x", "module": "Probe"}]})", "used twice"},
		{R"({"elements": [{"id": "a", "module": "Probe"}, {"id": "b", "module": "Probe"}],
			 "cords": [["a.Bump", "b.Bump"], ["b.Bump", "a.Bump"]]})", "loop"},
		{R"({"cords": []})", "\"elements\" must be a list"},
	};
	for (const Case& c : cases) {
		Runtime runtime(ProbeOptions());
		try {
			Instantiate(runtime, ParseDiagram(Json::parse(c.json), "d.json"), "d.json");
			ADD_FAILURE() << "accepted " << c.json;
		} catch (const UserError& error) {
			EXPECT_NE(std::string(error.what()).find(c.expected), std::string::npos)
				<< error.what() << " (expected " << c.expected << ")";
		}
	}
}
