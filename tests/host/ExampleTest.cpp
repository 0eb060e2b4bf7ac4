// The example diagram run by the vantrel binary: a raw MIDI file read,
// parsed, marked, moved to channel 3, described and written out.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include <sys/wait.h>

namespace {

std::string Slurp(const std::string& path)
{
	std::ifstream in(path, std::ios::binary);
	return std::string(std::istreambuf_iterator<char>(in), {});
}

// The time column of a monitor line varies from run to run: a line that
// starts with blanks, digits and a colon gets "T:" in their place.
std::string MaskTimes(const std::string& text)
{
	std::string out;
	size_t start = 0;
	while (start < text.size()) {
		size_t end = text.find('\n', start);
		end = end == std::string::npos ? text.size() : end + 1;
		std::string line = text.substr(start, end - start);
		size_t i = line.find_first_not_of(' ');
		size_t digits = i == std::string::npos ? i : line.find_first_not_of("-0123456789", i);
		if (digits != std::string::npos && digits > i && line[digits] == ':')
			line = "T" + line.substr(digits);
		out += line;
		start = end;
	}
	return out;
}

const char kExpected[] =
	"T: SysEx size 4 bytes [first=0x7e(126) last=0x1(1)]\n"
	"T:  3  [Program Change] num. 73 Flute\n"
	"T:  3  [Controller]  num. 7 Main Volume (MSB) value 100 \n"
	"T:  3  [Controller]  num. 10 Pan (MSB) value 64 \n"
	"T:  3  [Controller]  num. 91 Reverb Depth value 40 \n"
	"T:  3  [Note On]       note 60(C) vel. 100 [marks 0x1]\n"
	"T:  3  [Note Off]     note 60(C) [marks 0x1]\n"
	"T:  3  [Note On]       note 62(D) vel. 100 [marks 0x1]\n"
	"T:  3  [Note On='Off'] note 62(D) [marks 0x1]\n"
	"T:  3  [Note On]       note 64(E) vel. 100 [marks 0x1]\n"
	"T:  3  [Note On='Off'] note 64(E) [marks 0x1]\n"
	"T:  3  [Pitch Bend]    value:2048 (0 80)\n"
	"T:  3  [Pitch Bend]    value:0 (0 64)\n"
	"T:  3  [Note On]       note 65(F) vel. 90 [marks 0x1]\n"
	"T:  3  [Controller]  num. 64 Sustain Pedal value 127 \n"
	"T:  3  [Note On='Off'] note 65(F) [marks 0x1]\n"
	"T:  3  [Note On]       note 67(G) vel. 90 [marks 0x1]\n"
	"T:  3  [Note On='Off'] note 67(G) [marks 0x1]\n"
	"T:  3  [Controller]  num. 64 Sustain Pedal value 0 \n"
	"T:  3  [Channel Aftertouch] press. 48\n"
	"T:  3  [Note On]       note 72(C) vel. 112 [marks 0x1]\n"
	"T:  3  [Note Off]     note 72(C) [marks 0x1]\n"
	"T:  3  [Controller]  num. 123 All Notes Off value 0 \n";

class ExampleTest : public ::testing::Test {
protected:
	void SetUp() override
	{
		std::string pattern = ::testing::TempDir() + "vtlexampleXXXXXX";
		ASSERT_NE(mkdtemp(pattern.data()), nullptr);
		dir = pattern;
		// A copy of the examples folder, so that the run's relative paths
		// land here.
		ASSERT_EQ(Shell("cp -r '" VANTREL_SOURCE_DIR "/examples' '" + dir + "/'"), 0);
	}
	void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }

	static int Shell(const std::string& command)
	{
		int status = std::system(command.c_str());
		return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
	}

	// Runs vantrel in `cwd` with the arguments; keeps its output.
	int Run(const std::string& cwd, const std::string& args)
	{
		return Shell("cd '" + cwd + "' && '" VANTREL_CLI "' " + args + " < /dev/null > '" + dir
			+ "/stdout' 2> '" + dir + "/stderr'");
	}

	std::string dir;
};

TEST_F(ExampleTest, TuneDiagramLogsEveryMessage)
{
	ASSERT_EQ(Run(dir, "run examples/tune.json --stdout-from log.Output"), 0) << Slurp(dir + "/stderr");
	EXPECT_EQ(Slurp(dir + "/stderr"), "");
	EXPECT_EQ(MaskTimes(Slurp(dir + "/stdout")), kExpected);
	// The file writer got the same lines; relative paths are taken from
	// the working directory.
	EXPECT_EQ(MaskTimes(Slurp(dir + "/tune-log.txt")), kExpected);
}

TEST_F(ExampleTest, PipelineDiagramReadsStandardInput)
{
	ASSERT_EQ(Shell("cd '" + dir + "' && '" VANTREL_CLI "' run examples/pipe.json --stdin-to 'parse.Data Input'"
		" --stdout-from log.Output < examples/tune.raw > stdout 2> stderr"), 0) << Slurp(dir + "/stderr");
	EXPECT_EQ(MaskTimes(Slurp(dir + "/stdout")), kExpected);
}

TEST_F(ExampleTest, RunFromElsewhereNamesTheMissingFile)
{
	ASSERT_EQ(Run(dir + "/examples", "run tune.json --stdout-from log.Output"), 0);
	EXPECT_EQ(Slurp(dir + "/stdout"), "");
	std::string err = Slurp(dir + "/stderr");
	EXPECT_NE(err.find("cannot read \"examples/tune.raw\""), std::string::npos) << err;
}

TEST_F(ExampleTest, ScriptMakesTheCommittedTune)
{
	ASSERT_EQ(Shell("python3 '" + dir + "/examples/make_tune.py' '" + dir + "/made.raw' > /dev/null"), 0);
	std::string committed = Slurp(VANTREL_SOURCE_DIR "/examples/tune.raw");
	EXPECT_FALSE(committed.empty());
	EXPECT_EQ(Slurp(dir + "/made.raw"), committed);
}

}  // namespace
