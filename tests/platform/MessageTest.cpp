#include <Entry.h>
#include <Message.h>

#include <gtest/gtest.h>

#include <cstring>
#include <random>

namespace {

BMessage Sample()
{
	BMessage message('SMPL');
	message.AddInt8("int8", -4);
	message.AddInt16("int16", -300);
	message.AddInt32("int32", 1 << 30);
	message.AddInt32("int32", -7);
	message.AddInt64("int64", -(int64(1) << 50));
	message.AddUInt32("uint32", 0xFFFFFFFFu);
	message.AddBool("bool", true);
	message.AddBool("bool", false);
	message.AddFloat("float", 1.5f);
	message.AddDouble("double", 0.1);
	message.AddString("string", "hello");
	message.AddString("string", "");
	message.AddRect("window", BRect(340, 20, 440, 160));
	message.AddPoint("point", BPoint(3, 4));
	message.AddPointer("pointer", &message);
	struct Record {
		uint32 kind;
		int32 value;
	} record{'FILT', 9};
	message.AddData("record", 'NODE', &record, sizeof(record), true);
	BMessage inner('INNR');
	inner.AddString("deep", "yes");
	message.AddMessage("nested", &inner);
	return message;
}

}  // namespace

TEST(Message, TypedFieldsAndIndexes)
{
	BMessage message = Sample();
	int32 value;
	EXPECT_EQ(message.FindInt32("int32", &value), B_OK);
	EXPECT_EQ(value, 1 << 30);
	EXPECT_EQ(message.FindInt32("int32", 1, &value), B_OK);
	EXPECT_EQ(value, -7);
	bool flag = true;
	EXPECT_EQ(message.FindBool("bool", 1, &flag), B_OK);
	EXPECT_FALSE(flag);
	const char* text;
	EXPECT_EQ(message.FindString("string", 1, &text), B_OK);
	EXPECT_STREQ(text, "");
	EXPECT_EQ(message.FindRect("window"), BRect(340, 20, 440, 160));
	BMessage inner;
	ASSERT_EQ(message.FindMessage("nested", &inner), B_OK);
	EXPECT_EQ(inner.what, uint32('INNR'));
	EXPECT_STREQ(inner.FindString("deep"), "yes");

	type_code type;
	int32 count;
	EXPECT_EQ(message.GetInfo("int32", &type, &count), B_OK);
	EXPECT_EQ(type, uint32(B_INT32_TYPE));
	EXPECT_EQ(count, 2);
	EXPECT_EQ(message.CountNames(B_ANY_TYPE), 14);
	EXPECT_EQ(message.CountNames(B_STRING_TYPE), 1);
	const char* name;
	EXPECT_EQ(message.GetInfo(B_ANY_TYPE, 0, &name, &type, &count), B_OK);
	EXPECT_STREQ(name, "int8");  // fields keep the order they were added in
	EXPECT_EQ(message.GetInfo(B_ANY_TYPE, 14, &name, &type, &count), B_BAD_INDEX);
}

TEST(Message, ResultCodesForMissingNamesBadIndexesAndWrongTypes)
{
	BMessage message = Sample();
	int32 value = 99;
	struct Case {
		const char* what;
		status_t got;
		status_t expected;
	} cases[] = {
		{"missing name", message.FindInt32("absent", &value), B_NAME_NOT_FOUND},
		{"index past the end", message.FindInt32("int32", 2, &value), B_BAD_INDEX},
		{"negative index", message.FindInt32("int32", -1, &value), B_BAD_INDEX},
		{"wrong type", message.FindInt32("string", &value), B_BAD_TYPE},
		{"int8 read as int32", message.FindInt32("int8", &value), B_BAD_TYPE},
		{"add with another type", message.AddString("int32", "x"), B_BAD_TYPE},
		{"replace missing", message.ReplaceInt32("absent", 1), B_NAME_NOT_FOUND},
		{"replace bad index", message.ReplaceInt32("int32", 5, 1), B_BAD_INDEX},
		{"remove bad index", message.RemoveData("int32", 2), B_BAD_INDEX},
		{"remove missing", message.RemoveName("absent"), B_NAME_NOT_FOUND},
	};
	for (const Case& c : cases)
		EXPECT_EQ(c.got, c.expected) << c.what;
	EXPECT_EQ(value, 99) << "failed lookups leave the output alone";
	EXPECT_FALSE(message.HasInt32("int32", 2));
	EXPECT_TRUE(message.HasInt32("int32", 1));
	EXPECT_EQ(message.GetInt32("absent", 5), 5);

	EXPECT_EQ(message.ReplaceInt32("int32", 1, 8), B_OK);
	EXPECT_EQ(message.FindInt32("int32", 1), 8);
	EXPECT_EQ(message.RemoveData("int32", 0), B_OK);
	EXPECT_EQ(message.FindInt32("int32", 0), 8);
	EXPECT_EQ(message.RemoveData("int32", 0), B_OK);
	EXPECT_FALSE(message.HasInt32("int32")) << "a field without values is gone";
}

TEST(Message, FlattenRoundTripKeepsEverything)
{
	BMessage message = Sample();
	std::vector<uint8> flat = message.Flatten();
	EXPECT_EQ(ssize_t(flat.size()), message.FlattenedSize());
	BMessage copy;
	ASSERT_EQ(copy.Unflatten(reinterpret_cast<const char*>(flat.data()), ssize_t(flat.size())), B_OK);
	EXPECT_TRUE(copy.HasSameData(message, false));
	EXPECT_EQ(copy.what, uint32('SMPL'));
	EXPECT_EQ(copy.FindDouble("double"), 0.1);
	EXPECT_EQ(copy.FindInt64("int64"), -(int64(1) << 50));
	EXPECT_EQ(copy.Flatten(), flat);
}

TEST(Message, EntryRefsKeepTheirPath)
{
	entry_ref ref;
	ASSERT_EQ(get_ref_for_path("/tmp/some-file", &ref), B_OK);
	BMessage message;
	ASSERT_EQ(message.AddRef("refs", &ref), B_OK);
	std::vector<uint8> flat = message.Flatten();
	BMessage copy;
	ASSERT_EQ(copy.Unflatten(reinterpret_cast<const char*>(flat.data()), ssize_t(flat.size())), B_OK);
	entry_ref back;
	ASSERT_EQ(copy.FindRef("refs", &back), B_OK);
	EXPECT_EQ(back, ref);
	std::string path;
	ASSERT_EQ(platform_path_for_ref(back, &path), B_OK);
	EXPECT_EQ(path.substr(path.size() - 10), "/some-file");
}

TEST(Message, DamagedFlattenedInputIsRejected)
{
	std::vector<uint8> flat = Sample().Flatten();
	// Every truncation fails cleanly.
	for (size_t n = 0; n < flat.size(); n++) {
		BMessage message('KEEP');
		message.AddInt32("before", 1);
		EXPECT_NE(message.Unflatten(reinterpret_cast<const char*>(flat.data()), ssize_t(n)), B_OK)
			<< "length " << n;
		EXPECT_EQ(message.what, uint32('KEEP')) << "a failed read leaves the message unchanged";
		EXPECT_EQ(message.FindInt32("before"), 1);
	}
	// Random corruption never crashes; what it accepts is well-formed.
	std::mt19937 random(7);
	int rejected = 0;
	for (int round = 0; round < 3000; round++) {
		std::vector<uint8> bad = flat;
		int flips = 1 + int(random() % 4);
		for (int i = 0; i < flips; i++)
			bad[random() % bad.size()] ^= uint8(1 + random() % 255);
		BMessage message;
		status_t status = message.Unflatten(reinterpret_cast<const char*>(bad.data()), ssize_t(bad.size()));
		if (status != B_OK) {
			rejected++;
			continue;
		}
		BMessage again;
		std::vector<uint8> reflat = message.Flatten();
		EXPECT_EQ(again.Unflatten(reinterpret_cast<const char*>(reflat.data()), ssize_t(reflat.size())), B_OK);
	}
	EXPECT_GT(rejected, 0);
	// Not a message at all.
	const char garbage[] = "this is not a message at all";
	BMessage message;
	EXPECT_EQ(message.Unflatten(garbage, sizeof(garbage)), B_NOT_A_MESSAGE);
	EXPECT_EQ(message.Unflatten(nullptr, 10), B_BAD_VALUE);
}
