#include <VantrelTest.h>

#include <vantrel/Actions.h>
#include <vantrel/FileActions.h>

#include <FilePanel.h>
#include <TextControl.h>
#include <Window.h>

#include <condition_variable>
#include <functional>
#include <fstream>

#include <unistd.h>

using namespace vantrel;
using namespace vantrel::testing;

namespace {

class ReadinTest : public ::testing::Test {
protected:
	void SetUp() override
	{
		std::string pattern = ::testing::TempDir() + "vtlreadinXXXXXX";
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

	static std::string Bytes(size_t n, char seed)
	{
		std::string out;
		for (size_t i = 0; i < n; i++)
			out += char(seed + i % 50);
		return out;
	}

	void SetFile(const std::string& path, bool sendWhenSet = true)
	{
		BMessage state;
		state.AddBool("auto", sendWhenSet);
		state.AddString("file", path.c_str());
		element.SetState(&state);
	}

	// One pass: the chunks up to and including the 'EODS'.
	std::vector<Delivery> Pass()
	{
		std::vector<Delivery> pass;
		Delivery delivery;
		while (element.Pull("Read", &delivery, kDeadline)) {
			pass.push_back(delivery);
			if (delivery[0].type == Z_EODS)
				break;
		}
		return pass;
	}

	static std::string Joined(const std::vector<Delivery>& pass)
	{
		std::string all;
		for (const Delivery& d : pass)
			if (d[0].type == Z_DATA)
				all += d[0].text();
		return all;
	}

	std::string FieldText()
	{
		std::string text;
		PanelDriver(element).WithPanel([&](BWindow* window) {
			text = dynamic_cast<BTextControl*>(window->FindView("file name"))->Text();
		});
		return text;
	}

	std::string dir;
	Runtime runtime{TestOptions()};
	Element& element = runtime.Open("Readin", "read");
};

TEST_F(ReadinTest, Registration)
{
	Module& module = element.GetModule();
	EXPECT_EQ(module.Description(), "File Reader");
	EXPECT_EQ(module.HelpFile(), "Flovantrel/Readin");
	ASSERT_EQ(module.Ports().size(), 1u);
	EXPECT_EQ(module.Ports()[0].name, "Read");
	EXPECT_EQ(module.Ports()[0].kind, uint32(Z_DSRC));
	EXPECT_NE(module.panel, nullptr);
	EXPECT_NE(module.setState, nullptr);
}

TEST_F(ReadinTest, SendsFilesInChunksThenOneEnd)
{
	struct Case {
		size_t size;
		std::vector<int32> counts;
	} cases[] = {{0, {}}, {1, {1}}, {256, {256}}, {257, {256, 1}}, {600, {256, 256, 88}}};
	for (const Case& c : cases) {
		std::string bytes = Bytes(c.size, char('a' + c.size % 7));
		SetFile(Put("f" + std::to_string(c.size), bytes));
		std::vector<Delivery> pass = Pass();
		ASSERT_EQ(pass.size(), c.counts.size() + 1) << c.size << " bytes";
		for (size_t i = 0; i < c.counts.size(); i++) {
			const ItemCopy& item = pass[i][0];
			EXPECT_EQ(item.type, uint32(Z_DATA));
			EXPECT_EQ(item.size, 260);
			int32 n = int32(item.payload[0] | item.payload[1] << 8 | item.payload[2] << 16 | item.payload[3] << 24);
			EXPECT_EQ(n, c.counts[i]);
			// A short chunk has a zero byte after its data; a full one has none.
			if (n < 256) {
				EXPECT_EQ(item.payload[size_t(4 + n)], 0) << c.size;
			}
			for (size_t k = 1; k < pass[i].size(); k++)
				EXPECT_EQ(pass[i][k].type, 0u);
		}
		EXPECT_EQ(pass.back()[0].type, uint32(Z_EODS));
		EXPECT_EQ(pass.back()[0].size, 260);
		EXPECT_EQ(Joined(pass), bytes) << c.size << " bytes";
	}
	// A 256-byte chunk fills the buffer: nothing follows its data.
	SetFile(Put("full", std::string(256, 'z')));
	Delivery first = Pass()[0];
	EXPECT_EQ(first[0].payload.size(), 260u);
	EXPECT_EQ(first[0].payload[259], 'z');
}

TEST_F(ReadinTest, SendRequestsRepeatTheFileAndNeedAFile)
{
	std::string bytes = Bytes(300, 'A');
	// "Send" with no file open uses the request up and sends nothing.
	element.ShowPanel();
	PanelDriver(element).Click("Send");
	EXPECT_FALSE(element.Pull("Read", nullptr, kQuiet));

	SetFile(Put("file", bytes), false);
	EXPECT_FALSE(element.Pull("Read", nullptr, kQuiet)) << "not sent while Send when set is off";
	PanelDriver(element).Click("Send");
	PanelDriver(element).Click("Send");
	EXPECT_EQ(Joined(Pass()), bytes);
	EXPECT_EQ(Joined(Pass()), bytes) << "the second press repeats the file from its start";
	EXPECT_FALSE(element.Pull("Read", nullptr, kQuiet));
}

TEST_F(ReadinTest, ChoosingAFileMidSendSwitchesToItsStart)
{
	std::string oldBytes = Bytes(256 * 4, 'a'), newBytes = Bytes(300, 'N');
	std::string oldPath = Put("old", oldBytes), newPath = Put("new", newBytes);
	// Hold the reader inside its first delivery while the file changes.
	std::mutex lock;
	std::condition_variable changed;
	bool holding = false, release = false;
	element.Port("Read").observer = [&](const ZItem*, int) {
		std::unique_lock<std::mutex> guard(lock);
		if (holding || release)
			return;
		holding = true;
		changed.notify_all();
		changed.wait(guard, [&] { return release; });
	};
	struct Release {
		std::function<void()> f;
		~Release() { f(); }
	} releaseOnExit{[&] {
		std::lock_guard<std::mutex> guard(lock);
		release = true;
		changed.notify_all();
	}};
	element.ShowPanel();
	SetFile(oldPath);
	element.StartSources();
	{
		std::unique_lock<std::mutex> guard(lock);
		ASSERT_TRUE(changed.wait_for(guard, std::chrono::seconds(5), [&] { return holding; }));
	}
	ChooseFile(element, newPath);
	EXPECT_EQ(FieldText(), newPath);
	{
		std::lock_guard<std::mutex> guard(lock);
		release = true;
		changed.notify_all();
	}
	std::vector<Delivery> pass = Pass();
	ASSERT_GE(pass.size(), 3u);
	EXPECT_EQ(pass[0][0].text(), oldBytes.substr(0, 256));
	// The rest of the pass is the new file from its start; its own request
	// then sends it once more.
	pass.erase(pass.begin());
	EXPECT_EQ(Joined(pass), newBytes);
	EXPECT_EQ(Joined(Pass()), newBytes);
	EXPECT_FALSE(element.Pull("Read", nullptr, kQuiet));
}

TEST_F(ReadinTest, ChooserAndDropBothSetTheFile)
{
	std::string a = Put("a.raw", "first"), b = Put("b.raw", "second");
	element.ShowPanel();
	PanelDriver(element).Click("Select...");
	std::vector<BFilePanel*> choosers;
	PanelDriver(element).WithPanel([&](BWindow* window) { choosers = BFilePanel::PanelsOf(window); });
	ASSERT_EQ(choosers.size(), 1u);
	EXPECT_STREQ(choosers[0]->Title(), "File to Read");
	EXPECT_TRUE(choosers[0]->IsShowing());
	ChooseFile(element, a);
	EXPECT_FALSE(choosers[0]->IsShowing()) << "hidden when done";
	EXPECT_EQ(Joined(Pass()), "first");
	DropFiles(element, {b});
	EXPECT_EQ(FieldText(), b);
	EXPECT_EQ(Joined(Pass()), "second");

	// Typing a name into the field opens that file.
	PanelDriver(element).Type("file name", a + "\n");
	EXPECT_EQ(Joined(Pass()), "first");
}

TEST_F(ReadinTest, SavedStateRoundTrip)
{
	std::string path = Put("saved.raw", "xyz");
	BMessage state;
	state.AddString("directory", dir.c_str());
	state.AddBool("auto", false);
	state.AddString("file", path.c_str());
	element.SetState(&state);
	EXPECT_FALSE(element.Pull("Read", nullptr, kQuiet)) << "auto off: nothing sent";

	BMessage saved;
	element.SaveState(&saved);
	EXPECT_TRUE(saved.HasRect("window"));
	EXPECT_STREQ(saved.GetString("directory", ""), dir.c_str());
	EXPECT_STREQ(saved.GetString("file", ""), path.c_str());
	EXPECT_FALSE(saved.GetBool("auto", true));

	// A fresh element has no file to save, and sends when set.
	BMessage fresh;
	runtime.Open("Readin").SaveState(&fresh);
	EXPECT_FALSE(fresh.HasString("file"));
	EXPECT_TRUE(fresh.GetBool("auto", false));
}

TEST_F(ReadinTest, RelativeFileIsTakenFromTheWorkingDirectory)
{
	Put("here.raw", "local bytes");
	char cwd[PATH_MAX];
	ASSERT_NE(getcwd(cwd, sizeof(cwd)), nullptr);
	ASSERT_EQ(chdir(dir.c_str()), 0);
	SetFile("here.raw");
	ASSERT_EQ(chdir(cwd), 0);
	EXPECT_EQ(Joined(Pass()), "local bytes");
}

TEST_F(ReadinTest, MissingFileSendsNothing)
{
	::testing::internal::CaptureStderr();
	SetFile(dir + "/absent.raw");
	std::string err = ::testing::internal::GetCapturedStderr();
	EXPECT_NE(err.find("absent.raw"), std::string::npos) << err;
	EXPECT_FALSE(element.Pull("Read", nullptr, kQuiet));
	BMessage saved;
	element.SaveState(&saved);
	EXPECT_FALSE(saved.HasString("file"));
}

TEST_F(ReadinTest, CloseEndsABlockedRead)
{
	EXPECT_FALSE(element.Pull("Read", nullptr, 20000));
	element.Close();
	EXPECT_TRUE(element.JoinSources(kDeadline).empty());
	EXPECT_EQ(element.ShowPanel(), -1);
}

}  // namespace
