// Runs the real vantrel binary as a user would.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

struct Result {
	int status;
	std::string output;
};

Result Vantrel(const std::string& arguments)
{
	std::string command = std::string(VANTREL_CLI) + " " + arguments + " 2>&1";
	FILE* pipe = popen(command.c_str(), "r");
	Result result{-1, ""};
	if (!pipe)
		return result;
	std::array<char, 4096> buffer;
	size_t n;
	while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
		result.output.append(buffer.data(), n);
	int status = pclose(pipe);
	result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
	return result;
}

std::string Write(const std::string& name, const std::string& text)
{
	fs::path path = fs::path(::testing::TempDir()) / name;
	std::ofstream(path) << text;
	return path.string();
}

}  // namespace

TEST(Cli, ListsModules)
{
	Result text = Vantrel("modules");
	EXPECT_EQ(text.status, 0) << text.output;
	EXPECT_NE(text.output.find("Releaser: Note On to Note Off"), std::string::npos) << text.output;
	Result json = Vantrel("modules --json");
	EXPECT_EQ(json.status, 0);
	EXPECT_NE(json.output.find("\"help\": \"Tonvantrel/Releaser\""), std::string::npos) << json.output;
}

TEST(Cli, RunsAndSavesADiagram)
{
	std::string diagram = Write("cli-run.json",
		R"({"elements": [{"id": "r", "module": "Releaser", "label": "Off"}], "cords": []})");
	std::string saved = (fs::path(::testing::TempDir()) / "cli-saved.json").string();
	Result run = Vantrel("run " + diagram + " --until-idle --idle-ms 50 --save " + saved);
	EXPECT_EQ(run.status, 0) << run.output;
	std::ifstream in(saved);
	std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
	EXPECT_NE(text.find("\"module\": \"Releaser\""), std::string::npos) << text;
}

TEST(Cli, BadInputGetsOneClearMessage)
{
	struct Case {
		std::string arguments;
		std::string expected;
	} cases[] = {
		{"run /nonexistent/diagram.json", "cannot open the diagram file"},
		{"run " + Write("cli-bad.json", "{\"elements\": [\n  {\"id\": }]}"), "cli-bad.json:2:"},
		{"run " + Write("cli-unknown.json", R"({"elements": [{"id": "x", "module": "Nope"}]})"),
			"unknown module \"Nope\""},
		{"run " + Write("cli-port.json",
			R"({"elements": [{"id": "x", "module": "Releaser"}], "cords": [["x.Out", "x"]]})"),
			"unknown port \"Out\""},
		{"run " + Write("cli-type.json",
			R"({"elements": [{"id": "x", "module": "Releaser", "state": {"k": {"float": "a"}}}]})"),
			"float value must be a number"},
	};
	for (const Case& c : cases) {
		Result result = Vantrel(c.arguments);
		EXPECT_EQ(result.status, 2) << c.arguments << "\n" << result.output;
		EXPECT_NE(result.output.find(c.expected), std::string::npos) << result.output;
		EXPECT_EQ(std::count(result.output.begin(), result.output.end(), '\n'), 1) << result.output;
	}
}
