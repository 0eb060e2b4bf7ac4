#include <VantrelTest.h>

#include <vantrel/Actions.h>
#include <vantrel/FileActions.h>

#include <Button.h>
#include <FilePanel.h>
#include <StringView.h>
#include <Window.h>

#include <fstream>
#include <thread>

using namespace vantrel;
using namespace vantrel::testing;

namespace {

class SavesinkTest : public ::testing::Test {
protected:
	void SetUp() override
	{
		std::string pattern = ::testing::TempDir() + "vtlsavesinkXXXXXX";
		ASSERT_NE(mkdtemp(pattern.data()), nullptr);
		dir = pattern;
		element.ShowPanel();
	}
	void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }

	static std::string Slurp(const std::string& path)
	{
		std::ifstream in(path, std::ios::binary);
		return std::string(std::istreambuf_iterator<char>(in), {});
	}

	std::string Status()
	{
		std::string text;
		PanelDriver(element).WithPanel([&](BWindow* window) {
			text = dynamic_cast<BStringView*>(window->FindView("Status"))->Text();
		});
		return text;
	}

	bool CloseEnabled()
	{
		bool enabled = false;
		PanelDriver(element).WithPanel([&](BWindow* window) {
			enabled = dynamic_cast<BButton*>(window->FindView("close"))->IsEnabled();
		});
		return enabled;
	}

	int Write(ItemList& list)
	{
		Delivery before = list.snapshot();
		int result = element.Call("Write", list);
		Delivery after = list.snapshot();
		for (size_t i = 0; i < after.size(); i++) {
			EXPECT_EQ(after[i].type, before[i].type) << "items are left as they came";
			EXPECT_EQ(after[i].payload, before[i].payload);
		}
		return result;
	}

	std::string dir;
	Runtime runtime{TestOptions()};
	Element& element = runtime.Open("Savesink", "save");
};

TEST_F(SavesinkTest, Registration)
{
	Module& module = element.GetModule();
	EXPECT_EQ(module.Description(), "File Writer");
	EXPECT_EQ(module.HelpFile(), "Flovantrel/Savesink");
	ASSERT_EQ(module.Ports().size(), 1u);
	EXPECT_EQ(module.Ports()[0].name, "Write");
	EXPECT_EQ(module.Ports()[0].kind, uint32(Z_FILT));
}

TEST_F(SavesinkTest, WritesByteForByte)
{
	std::string path = dir + "/out.bin";
	{
		std::ofstream(path) << "old contents, longer than what is written next";
	}
	EXPECT_EQ(Status(), "<Closed>");
	PanelDriver(element).Click("Write to...");
	ChooseFile(element, path);
	EXPECT_EQ(Status(), "out.bin");
	EXPECT_TRUE(CloseEnabled());
	EXPECT_EQ(Slurp(path), "") << "an existing file is emptied";

	std::vector<uint8> all;
	for (int i = 0; i < 256; i++)
		all.push_back(uint8(i));
	ItemList list;
	list.Data(all).Line("line one\n").Line("and ").Text("text\n").Time(5).Midi({Ev(0x90, 1, 1)})
		.Data({0, 0, 7}).Data({});
	EXPECT_EQ(Write(list), 0);
	std::string expected(all.begin(), all.end());
	expected += "line one\nand text\n";
	expected += std::string("\0\0\x07", 3);
	EXPECT_EQ(Slurp(path), expected);
	EXPECT_EQ(Status(), "out.bin");
}

TEST_F(SavesinkTest, EndOfDataClosesTheFileMidList)
{
	std::string path = dir + "/out.txt";
	ChooseFile(element, path);
	ItemList list;
	list.Line("kept\n").EndOfData().Line("dropped\n");
	EXPECT_EQ(Write(list), 0);
	EXPECT_EQ(Slurp(path), "kept\n");
	EXPECT_EQ(Status(), "<Closed>");
	ItemList later;
	later.Line("also dropped\n");
	EXPECT_EQ(Write(later), 0);
	EXPECT_EQ(Slurp(path), "kept\n");
}

TEST_F(SavesinkTest, CloseButtonAndFailures)
{
	std::string path = dir + "/a.txt";
	ChooseFile(element, path);
	PanelDriver(element).Click("CLOSE");
	EXPECT_EQ(Status(), "<Closed>");
	EXPECT_FALSE(CloseEnabled());
	ItemList list;
	list.Line("after close\n");
	EXPECT_EQ(Write(list), 0);
	EXPECT_EQ(Slurp(path), "");

	// A name that cannot be opened for writing.
	std::system(("mkdir '" + dir + "/sub'").c_str());
	std::vector<BFilePanel*> choosers;
	PanelDriver(element).WithPanel([&](BWindow* window) { choosers = BFilePanel::PanelsOf(window); });
	ASSERT_EQ(choosers.size(), 1u);
	EXPECT_STREQ(choosers[0]->Title(), "File to Write");
	EXPECT_EQ(choosers[0]->PanelMode(), B_SAVE_PANEL);
	entry_ref folder;
	ASSERT_EQ(get_ref_for_path(dir.c_str(), &folder), B_OK);
	::testing::internal::CaptureStderr();
	ASSERT_EQ(choosers[0]->ChooseSave(folder, "sub"), B_OK);
	PanelDriver(element).Sync();
	EXPECT_EQ(Status(), "<FAILED!>");
	EXPECT_FALSE(CloseEnabled());

	// A write that fails closes the file instead of passing as written.
	ChooseFile(element, "/dev/full");
	EXPECT_EQ(Status(), "full");
	ItemList more;
	more.Line("no room\n");
	EXPECT_EQ(Write(more), 0);
	EXPECT_EQ(Status(), "<FAILED!>");
	std::string err = ::testing::internal::GetCapturedStderr();
	EXPECT_NE(err.find("sub"), std::string::npos) << err;
	EXPECT_NE(err.find("full"), std::string::npos) << err;
}

TEST_F(SavesinkTest, PanelAndPortDoNotBlockEachOther)
{
	// The port shows the status while the panel's thread opens and closes
	// files; neither may wait for the other forever.
	std::atomic<bool> stop{false};
	std::thread writer([&] {
		while (!stop) {
			ItemList list;
			list.Line("x\n");
			element.Call("Write", list);
		}
	});
	for (int i = 0; i < 30; i++) {
		ChooseFile(element, dir + "/f" + std::to_string(i % 3));
		PanelDriver(element).Click("CLOSE");
	}
	stop = true;
	writer.join();
	EXPECT_EQ(Status(), "<Closed>");
}

TEST_F(SavesinkTest, SavedState)
{
	BMessage state;
	state.AddRect("window", BRect(50, 60, 250, 100));
	state.AddString("directory", dir.c_str());
	element.SetState(&state);
	BMessage saved;
	element.SaveState(&saved);
	EXPECT_EQ(saved.GetRect("window", BRect()), BRect(50, 60, 250, 100));
	EXPECT_STREQ(saved.GetString("directory", ""), dir.c_str());
	EXPECT_FALSE(saved.HasString("name"));

	// Without a panel the element's own copies are saved.
	element.Close();
	BMessage closed;
	element.SaveState(&closed);
	EXPECT_EQ(closed.GetRect("window", BRect()), BRect(50, 60, 250, 100));
	EXPECT_STREQ(closed.GetString("directory", ""), dir.c_str());
	ItemList list;
	list.Line("x\n");
	EXPECT_EQ(element.Call("Write", list), -1);
}

}  // namespace
