// Standard input and output as streams of a diagram: in process through
// the runtime, and through the vantrel binary in a shell pipeline.

#include <VantrelTest.h>
#include <vantrel/Streams.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include <unistd.h>

using namespace vantrel;
using namespace vantrel::testing;

namespace {

std::string Slurp(const std::string& path)
{
	std::ifstream in(path, std::ios::binary);
	return std::string(std::istreambuf_iterator<char>(in), {});
}

class StreamsTest : public ::testing::Test {
protected:
	void SetUp() override
	{
		std::string pattern = ::testing::TempDir() + "vtlstreamsXXXXXX";
		ASSERT_NE(mkdtemp(pattern.data()), nullptr);
		dir = pattern;
	}
	void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }

	std::string Put(const std::string& name, const std::string& bytes)
	{
		std::string path = dir + "/" + name;
		std::ofstream(path, std::ios::binary) << bytes;
		return path;
	}

	// Runs the binary through the shell; returns the exit status.
	int Run(const std::string& args, const std::string& input, std::string* out, std::string* err)
	{
		std::string in = Put("stdin", input);
		std::string command = "'" VANTREL_CLI "' " + args + " < '" + in + "' > '" + dir + "/stdout' 2> '"
			+ dir + "/stderr'";
		int status = std::system(command.c_str());
		*out = Slurp(dir + "/stdout");
		*err = Slurp(dir + "/stderr");
		return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
	}

	std::string dir;
};

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

TEST_F(StreamsTest, StandardInputArrivesAsChunksAndOneEndItem)
{
	std::string bytes;
	for (int i = 0; i < 700; i++)
		bytes += char(i * 7);
	int fds[2];
	ASSERT_EQ(pipe(fds), 0);

	Runtime runtime{TestOptions()};
	Element& monitor = runtime.Open("Eventlog", "log");
	std::mutex lock;
	std::vector<Delivery> passed;
	monitor.Port("Input").observer = [&](const ZItem* items, int count) {
		std::lock_guard<std::mutex> guard(lock);
		passed.push_back(Snapshot(items, count));
	};
	StreamFeeder feeder(runtime, "log.Input", fds[0]);
	feeder.Start();
	// Busy while input is open, however long it stays silent.
	EXPECT_FALSE(runtime.WaitIdle(20000, 100000));
	ASSERT_EQ(write(fds[1], bytes.data(), bytes.size()), ssize_t(bytes.size()));
	close(fds[1]);
	ASSERT_TRUE(WaitFor([&] { return feeder.Finished(); }));
	EXPECT_TRUE(runtime.WaitIdle(20000, kDeadline));
	feeder.Stop();
	close(fds[0]);

	std::string joined;
	std::lock_guard<std::mutex> guard(lock);
	ASSERT_GE(passed.size(), 4u);
	for (size_t i = 0; i + 1 < passed.size(); i++) {
		ASSERT_EQ(passed[i].size(), 1u);
		EXPECT_EQ(passed[i][0].type, uint32(Z_DATA));
		EXPECT_LE(passed[i][0].bytes().size(), 256u);
		joined += passed[i][0].text();
	}
	EXPECT_EQ(joined, bytes);
	EXPECT_EQ(passed.back()[0].type, uint32(Z_EODS));
}

TEST_F(StreamsTest, PipelineThroughTheBinary)
{
	std::string diagram = Put("pipe.json", R"({
		"elements": [{"id": "parse", "module": "Rawparse"}, {"id": "log", "module": "Eventlog"}],
		"cords": [{"from": "parse.MIDI Output", "to": "log.Input"}]})");
	std::string out, err;
	int status = Run("run '" + diagram + "' --stdin-to 'parse.Data Input' --stdout-from log.Output --until-idle",
		std::string("\x90\x3c\x40\x3e\x40\xf0\x01\x02\xf7\xc1\x05", 11), &out, &err);
	EXPECT_EQ(status, 0) << err;
	EXPECT_EQ(MaskTimes(out),
		"T:  1  [Note On]       note 60(C) vel. 64\n"
		"T:  1  [Note On]       note 62(D) vel. 64\n"
		"T: SysEx size 2 bytes [first=0x1(1) last=0x2(2)]\n"
		"T:  2  [Program Change] num. 5 Electric Piano 2\n");
}

TEST_F(StreamsTest, BadStreamOptionsAreNamed)
{
	std::string diagram = Put("one.json", R"({"elements": [{"id": "parse", "module": "Rawparse"}]})");
	struct Case {
		std::string args;
		std::string message;
	} cases[] = {
		{"--stdin-to 'parse.MIDI Output'", "\"MIDI Output\" is a source port"},
		{"--stdin-to other.Input", "the diagram has no element 'other'"},
		{"--stdout-from parse.Nothing", "unknown port \"Nothing\""},
	};
	for (const Case& c : cases) {
		std::string out, err;
		EXPECT_EQ(Run("run '" + diagram + "' " + c.args, "", &out, &err), 2) << c.args;
		EXPECT_NE(err.find(c.message), std::string::npos) << c.args << ": " << err;
	}
}

}  // namespace
