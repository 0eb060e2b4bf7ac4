#include <AppDefs.h>
#include <Directory.h>
#include <Entry.h>
#include <File.h>
#include <FilePanel.h>
#include <FindDirectory.h>
#include <Looper.h>
#include <MimeType.h>
#include <NodeInfo.h>
#include <OS.h>
#include <Path.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <mutex>
#include <set>
#include <string>

#include <unistd.h>

namespace {

class StorageTest : public ::testing::Test {
protected:
	void SetUp() override
	{
		std::string pattern = ::testing::TempDir() + "vtlstorageXXXXXX";
		ASSERT_NE(mkdtemp(pattern.data()), nullptr);
		// The temporary folder may itself sit behind a link.
		char real[PATH_MAX];
		ASSERT_NE(realpath(pattern.c_str(), real), nullptr);
		dir = real;
	}
	void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }

	std::string Put(const std::string& name, const std::string& bytes)
	{
		std::string path = dir + "/" + name;
		std::ofstream(path, std::ios::binary) << bytes;
		return path;
	}

	static std::string Slurp(const std::string& path)
	{
		std::ifstream in(path, std::ios::binary);
		return std::string(std::istreambuf_iterator<char>(in), {});
	}

	std::string dir;
};

TEST_F(StorageTest, EntryFollowsAFinalLinkOnlyWhenAsked)
{
	std::string target = Put("real.txt", "x");
	ASSERT_EQ(symlink("real.txt", (dir + "/link").c_str()), 0);

	BEntry plain((dir + "/link").c_str(), false);
	ASSERT_EQ(plain.InitCheck(), B_OK);
	EXPECT_TRUE(plain.IsSymLink());
	BEntry followed((dir + "/link").c_str(), true);
	EXPECT_FALSE(followed.IsSymLink());
	EXPECT_TRUE(followed.IsFile());
	BPath path;
	ASSERT_EQ(followed.GetPath(&path), B_OK);
	EXPECT_STREQ(path.Path(), target.c_str());

	// A missing leaf is a valid entry that does not exist; a missing
	// directory is not.
	BEntry missing((dir + "/nothing").c_str());
	EXPECT_EQ(missing.InitCheck(), B_OK);
	EXPECT_FALSE(missing.Exists());
	EXPECT_EQ(BEntry((dir + "/no/such").c_str()).InitCheck(), B_ENTRY_NOT_FOUND);

	// A link loop ends with an error instead of hanging.
	ASSERT_EQ(symlink("loop", (dir + "/loop").c_str()), 0);
	EXPECT_EQ(BEntry((dir + "/loop").c_str(), true).InitCheck(), B_LINK_LIMIT);

	// The reference of an entry leads back to the same path.
	entry_ref ref;
	ASSERT_EQ(plain.GetRef(&ref), B_OK);
	EXPECT_STREQ(ref.name, "link");
	EXPECT_STREQ(BPath(&ref).Path(), (dir + "/link").c_str());
}

TEST_F(StorageTest, PathNormalisesAndSplits)
{
	BPath path("/a/b/../c/./d", nullptr, true);
	EXPECT_STREQ(path.Path(), "/a/c/d");
	EXPECT_STREQ(path.Leaf(), "d");
	BPath parent;
	ASSERT_EQ(path.GetParent(&parent), B_OK);
	EXPECT_STREQ(parent.Path(), "/a/c");
	EXPECT_EQ(parent.Append("e/f"), B_OK);
	EXPECT_STREQ(parent.Path(), "/a/c/e/f");
	EXPECT_EQ(parent.Append("/abs"), B_BAD_VALUE);
	EXPECT_EQ(BPath("/").GetParent(&parent), B_ENTRY_NOT_FOUND);
	EXPECT_EQ(BPath().Path(), nullptr);
	EXPECT_EQ(BPath("").InitCheck(), B_BAD_VALUE);
}

TEST_F(StorageTest, FileModes)
{
	std::string path = Put("old.bin", "old contents that are long");
	{
		// Write-only with create and erase empties an existing file.
		BFile file(path.c_str(), B_WRITE_ONLY | B_CREATE_FILE | B_ERASE_FILE);
		ASSERT_EQ(file.InitCheck(), B_OK);
		EXPECT_TRUE(file.IsWritable());
		EXPECT_FALSE(file.IsReadable());
		EXPECT_EQ(file.Write("abc\0def", 7), 7);
		char byte;
		EXPECT_LT(file.Read(&byte, 1), 0);
	}
	EXPECT_EQ(Slurp(path), std::string("abc\0def", 7));

	BFile file(path.c_str(), B_READ_ONLY);
	ASSERT_EQ(file.InitCheck(), B_OK);
	char buffer[16] = {};
	EXPECT_EQ(file.Read(buffer, 4), 4);
	EXPECT_EQ(file.Position(), 4);
	EXPECT_EQ(file.Read(buffer, sizeof(buffer)), 3);
	EXPECT_EQ(file.Read(buffer, sizeof(buffer)), 0);  // end of file
	EXPECT_EQ(file.Seek(0, SEEK_SET), 0);
	EXPECT_EQ(file.Read(buffer, 3), 3);
	EXPECT_EQ(std::string(buffer, 3), "abc");
	off_t size = 0;
	EXPECT_EQ(file.GetSize(&size), B_OK);
	EXPECT_EQ(size, 7);
	EXPECT_LT(file.Write("x", 1), 0);

	EXPECT_EQ(BFile((dir + "/absent").c_str(), B_READ_ONLY).InitCheck(), B_ENTRY_NOT_FOUND);
	EXPECT_EQ(BFile(dir.c_str(), B_READ_ONLY).InitCheck(), B_IS_A_DIRECTORY);
	BFile unset;
	EXPECT_EQ(unset.Read(buffer, 1), B_NO_INIT);
}

TEST_F(StorageTest, DirectoryListsAndCreates)
{
	Put("a", "1");
	Put("b", "2");
	BDirectory directory(dir.c_str());
	ASSERT_EQ(directory.InitCheck(), B_OK);
	BDirectory sub;
	ASSERT_EQ(directory.CreateDirectory("sub", &sub), B_OK);
	BFile made;
	ASSERT_EQ(sub.CreateFile("c", &made), B_OK);
	EXPECT_EQ(made.Write("zz", 2), 2);
	EXPECT_TRUE(directory.Contains("sub", B_DIRECTORY_NODE));
	EXPECT_FALSE(directory.Contains("sub", B_FILE_NODE));
	EXPECT_TRUE(directory.Contains("sub/c"));
	EXPECT_EQ(directory.CountEntries(), 3);

	std::set<std::string> names;
	BEntry entry;
	while (directory.GetNextEntry(&entry) == B_OK) {
		char name[B_FILE_NAME_LENGTH];
		entry.GetName(name);
		names.insert(name);
	}
	EXPECT_EQ(names, (std::set<std::string>{"a", "b", "sub"}));
	EXPECT_EQ(directory.FindEntry("nope", &entry), B_ENTRY_NOT_FOUND);
	EXPECT_EQ(BDirectory((dir + "/a").c_str()).InitCheck(), B_NOT_A_DIRECTORY);
}

TEST_F(StorageTest, HomeFolderAndMimeTypes)
{
	std::string savedHome = getenv("HOME") ? getenv("HOME") : "";
	setenv("HOME", dir.c_str(), 1);
	BPath home;
	EXPECT_EQ(find_directory(B_USER_DIRECTORY, &home), B_OK);
	EXPECT_STREQ(home.Path(), dir.c_str());
	BPath settings;
	EXPECT_EQ(find_directory(B_USER_SETTINGS_DIRECTORY, &settings, true), B_OK);
	EXPECT_TRUE(BEntry(settings.Path()).IsDirectory());
	setenv("HOME", savedHome.c_str(), 1);

	BMimeType text("text/plain"), super("text"), midi("audio/midi");
	EXPECT_TRUE(super.IsSupertypeOnly());
	EXPECT_TRUE(super.Contains(&text));
	EXPECT_FALSE(super.Contains(&midi));
	BMimeType textSuper;
	ASSERT_EQ(text.GetSupertype(&textSuper), B_OK);
	EXPECT_STREQ(textSuper.Type(), "text");
	for (const char* bad : {"", "/x", "x/", "a/b/c", "te xt/plain"})
		EXPECT_FALSE(BMimeType::IsValid(bad)) << bad;

	// A node's type: stored, or guessed from the name or the contents.
	struct Case {
		const char* name;
		std::string bytes;
		bool isText;
	} cases[] = {
		{"notes", "two lines\nof text\n", true},
		{"tune.raw", std::string("\x90\x3c\x40\xf0\x01\xf7", 6), false},
		{"song.mid", "MThd", false},
		{"readme.txt", std::string("\x01\x02", 2), true},
	};
	for (const Case& c : cases) {
		BNode node(Put(c.name, c.bytes).c_str());
		char type[B_MIME_TYPE_LENGTH];
		ASSERT_EQ(BNodeInfo(&node).GetType(type), B_OK) << c.name;
		BMimeType found(type), supertype;
		found.GetSupertype(&supertype);
		EXPECT_EQ(supertype == "text", c.isText) << c.name << " is " << type;
	}
}

// Collects what a file panel posts.
class Catcher : public BLooper {
public:
	Catcher() : BLooper("catcher") {}
	void MessageReceived(BMessage* message) override
	{
		std::lock_guard<std::mutex> guard(lock);
		got.push_back(*message);
	}
	bool Next(BMessage* out)
	{
		bigtime_t deadline = system_time() + 5000000;
		while (system_time() < deadline) {
			{
				std::lock_guard<std::mutex> guard(lock);
				if (!got.empty()) {
					*out = got.front();
					got.pop_front();
					return true;
				}
			}
			snooze(1000);
		}
		return false;
	}
	std::mutex lock;
	std::deque<BMessage> got;
};

class TextOnly : public BRefFilter {
public:
	bool Filter(const entry_ref*, BNode*, struct stat*, const char* mimeType) override
	{
		return strncmp(mimeType, "text/", 5) == 0;
	}
};

class FilePanelTest : public StorageTest {
protected:
	void SetUp() override
	{
		StorageTest::SetUp();
		catcher = new Catcher;
		catcher->Run();
		target = BMessenger(catcher);
	}
	void TearDown() override
	{
		catcher->Lock();
		catcher->Quit();
		StorageTest::TearDown();
	}
	Catcher* catcher = nullptr;
	BMessenger target;
};

TEST_F(FilePanelTest, OpenChoicePostsRefsAndHides)
{
	std::string file = Put("in.txt", "hello\n");
	entry_ref start;
	ASSERT_EQ(get_ref_for_path(dir.c_str(), &start), B_OK);
	BFilePanel panel(B_OPEN_PANEL, &target, &start, 0, false);
	panel.SetTitle("File to Read");
	EXPECT_STREQ(panel.Title(), "File to Read");
	EXPECT_EQ(panel.PanelDirectoryPath(), dir);
	EXPECT_EQ(panel.TargetLooper(), catcher);
	EXPECT_EQ(BFilePanel::PanelsOf(catcher), std::vector<BFilePanel*>{&panel});
	panel.Show();

	// Relative names are taken from the panel's folder.
	ASSERT_EQ(panel.Choose("in.txt"), B_OK);
	BMessage reply;
	ASSERT_TRUE(catcher->Next(&reply));
	EXPECT_EQ(reply.what, uint32(B_REFS_RECEIVED));
	entry_ref ref;
	ASSERT_EQ(reply.FindRef("refs", &ref), B_OK);
	EXPECT_STREQ(BPath(&ref).Path(), file.c_str());
	EXPECT_FALSE(panel.IsShowing());

	// Choices the panel refuses post nothing.
	EXPECT_EQ(panel.Choose("missing"), B_ENTRY_NOT_FOUND);
	EXPECT_EQ(panel.Choose(dir.c_str()), B_NOT_ALLOWED);  // a folder, files only
	EXPECT_EQ(panel.Choose(std::vector<std::string>{file, file}), B_BAD_VALUE);
	TextOnly filter;
	panel.SetRefFilter(&filter);
	Put("bin", std::string("\x00\x01", 2));
	EXPECT_EQ(panel.Choose("bin"), B_NOT_ALLOWED);

	// A template message keeps its what-code and fields.
	BMessage templ('fsel');
	templ.AddInt32("tag", 7);
	panel.SetMessage(&templ);
	ASSERT_EQ(panel.Choose(file.c_str()), B_OK);
	ASSERT_TRUE(catcher->Next(&reply));
	EXPECT_EQ(reply.what, uint32('fsel'));
	EXPECT_EQ(reply.GetInt32("tag", 0), 7);
	EXPECT_TRUE(reply.HasRef("refs"));
	EXPECT_TRUE(catcher->got.empty());
}

TEST_F(FilePanelTest, SaveChoicePostsDirectoryAndName)
{
	BFilePanel panel(B_SAVE_PANEL, &target);
	panel.SetPanelDirectory(dir.c_str());
	ASSERT_EQ(panel.Choose("out.txt"), B_OK);
	BMessage reply;
	ASSERT_TRUE(catcher->Next(&reply));
	EXPECT_EQ(reply.what, uint32(B_SAVE_REQUESTED));
	entry_ref directory;
	ASSERT_EQ(reply.FindRef("directory", &directory), B_OK);
	EXPECT_STREQ(BPath(&directory).Path(), dir.c_str());
	const char* name = nullptr;
	ASSERT_EQ(reply.FindString("name", &name), B_OK);
	EXPECT_STREQ(name, "out.txt");

	EXPECT_EQ(panel.Choose((dir + "/no/such/file").c_str()), B_ENTRY_NOT_FOUND);
	EXPECT_EQ(panel.Choose(dir.c_str()), B_IS_A_DIRECTORY);
	ASSERT_EQ(panel.Cancel(), B_OK);
	ASSERT_TRUE(catcher->Next(&reply));
	EXPECT_EQ(reply.what, uint32(B_CANCEL));
	EXPECT_EQ(reply.GetInt32("old_what", 0), int32(B_SAVE_REQUESTED));
}

TEST_F(FilePanelTest, DropSendsRefsLikeAChoice)
{
	std::string file = Put("dropped", "x");
	ASSERT_EQ(platform_drop_refs(target, {file}), B_OK);
	BMessage drop;
	ASSERT_TRUE(catcher->Next(&drop));
	EXPECT_EQ(drop.what, uint32(B_SIMPLE_DATA));
	entry_ref ref;
	ASSERT_EQ(drop.FindRef("refs", &ref), B_OK);
	EXPECT_STREQ(BPath(&ref).Path(), file.c_str());
	EXPECT_EQ(platform_drop_refs(target, {dir + "/no/such"}), B_ENTRY_NOT_FOUND);
}

}  // namespace
