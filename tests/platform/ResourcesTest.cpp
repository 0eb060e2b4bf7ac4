#include <AppFileInfo.h>
#include <Resources.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#ifndef VANTREL_MODULE_FILE
#error "VANTREL_MODULE_FILE names a built module"
#endif

TEST(Resources, ReadFromAModuleFile)
{
	BAppFileInfo info(VANTREL_MODULE_FILE);
	ASSERT_EQ(info.InitCheck(), B_OK);
	char signature[B_MIME_TYPE_LENGTH];
	ASSERT_EQ(info.GetSignature(signature), B_OK);
	EXPECT_STREQ(signature, "application/x-Vantrel-Module");
	version_info version;
	ASSERT_EQ(info.GetVersionInfo(&version, B_APP_VERSION_KIND), B_OK);
	EXPECT_STREQ(version.short_info, "Releaser");
	EXPECT_NE(strstr(version.long_info, "note-offs"), nullptr);
	std::vector<uint8> bits;
	EXPECT_EQ(info.GetIconData(B_MINI_ICON, &bits), B_OK);
	EXPECT_EQ(bits.size(), 256u);
	EXPECT_EQ(info.GetIconData(B_LARGE_ICON, &bits), B_OK);
	EXPECT_EQ(bits.size(), 1024u);
}

TEST(Resources, FilesWithoutResourcesAreRefused)
{
	std::string path = ::testing::TempDir() + "not-elf";
	std::ofstream(path) << "plain text";
	BResources text(path.c_str());
	EXPECT_EQ(text.InitCheck(), B_NOT_AN_EXECUTABLE);
	BResources missing("/nonexistent/file");
	EXPECT_EQ(missing.InitCheck(), B_ENTRY_NOT_FOUND);
	// An ELF file without the section.
	BResources none("/bin/true");
	EXPECT_EQ(none.InitCheck(), B_NAME_NOT_FOUND);
}

TEST(Resources, DamagedBlocksAreRejected)
{
	std::vector<BResources::Entry> entries{{'TEST', 1, "name", {1, 2, 3}}};
	std::vector<uint8> block = BResources::BuildBlock(entries);
	BResources good;
	ASSERT_EQ(BResources::ParseBlock(block.data(), block.size(), &good), B_OK);
	size_t size;
	ASSERT_NE(good.LoadResource('TEST', 1, &size), nullptr);
	EXPECT_EQ(size, 3u);
	for (size_t n = 0; n < block.size(); n++) {
		BResources cut;
		EXPECT_EQ(BResources::ParseBlock(block.data(), n, &cut), B_BAD_DATA) << n;
	}
}
