// Flattened form (all integers little-endian):
//
//   header  u32 magic 'VMSG', u32 format version (1), u32 total size in
//           bytes including the header, u32 what, u32 field count
//   field   u32 type code, u8 flags (bit 0: fixed size), u8 reserved 0,
//           u16 name length, the name's bytes (no terminator),
//           u32 item count, then per item: u32 size, the item's bytes
//
// Strings are stored with their terminating zero; nested messages as their
// own flattened form. The reader checks every length against the bytes
// that remain and rejects anything inconsistent with B_BAD_DATA.

#include <Message.h>

#include "MessagePrivate.h"

#include <DataIO.h>
#include <Entry.h>
#include <Handler.h>
#include <Looper.h>
#include <Messenger.h>

#include <cinttypes>
#include <cstdio>
#include <cstring>

using platform_private::ReplyWaiter;

namespace {

void PutU32(std::vector<uint8>& out, uint32 v)
{
	for (int i = 0; i < 4; i++)
		out.push_back(uint8(v >> (8 * i)));
}

void PutU16(std::vector<uint8>& out, uint16 v)
{
	out.push_back(uint8(v));
	out.push_back(uint8(v >> 8));
}

struct Reader {
	const uint8* data;
	size_t size;
	size_t pos = 0;

	bool Has(size_t n) const { return n <= size - pos; }
	bool U32(uint32* v)
	{
		if (!Has(4))
			return false;
		*v = uint32(data[pos]) | uint32(data[pos + 1]) << 8 | uint32(data[pos + 2]) << 16
			| uint32(data[pos + 3]) << 24;
		pos += 4;
		return true;
	}
	bool U16(uint16* v)
	{
		if (!Has(2))
			return false;
		*v = uint16(data[pos] | data[pos + 1] << 8);
		pos += 2;
		return true;
	}
	bool U8(uint8* v)
	{
		if (!Has(1))
			return false;
		*v = data[pos++];
		return true;
	}
	bool Bytes(size_t n, const uint8** out)
	{
		if (!Has(n))
			return false;
		*out = data + pos;
		pos += n;
		return true;
	}
};

// Size of a fixed-size type, or 0 when the type's items vary in size.
size_t FixedSizeOf(type_code type)
{
	switch (type) {
		case B_INT8_TYPE: case B_UINT8_TYPE: case B_BOOL_TYPE: case B_CHAR_TYPE: return 1;
		case B_INT16_TYPE: case B_UINT16_TYPE: return 2;
		case B_INT32_TYPE: case B_UINT32_TYPE: case B_FLOAT_TYPE: return 4;
		case B_INT64_TYPE: case B_UINT64_TYPE: case B_DOUBLE_TYPE: case B_OFF_T_TYPE:
		case B_TIME_TYPE: return 8;
		case B_POINTER_TYPE: return sizeof(void*);
		case B_POINT_TYPE: return sizeof(BPoint);
		case B_RECT_TYPE: return sizeof(BRect);
		default: return 0;
	}
}

}  // namespace



BMessage::BMessage() : what(0) {}
BMessage::BMessage(uint32 command) : what(command) {}

BMessage::BMessage(const BMessage& other)
	: what(other.what), fFields(other.fFields), fIsReply(other.fIsReply)
{
}

BMessage::~BMessage()
{
	// A synchronous sender must not wait forever for a message nobody
	// answered.
	if (fWaiter && !fReplied) {
		BMessage noReply(B_NO_REPLY);
		fWaiter->Complete(noReply);
	}
}

BMessage& BMessage::operator=(const BMessage& other)
{
	if (this != &other) {
		what = other.what;
		fFields = other.fFields;
		fIsReply = other.fIsReply;
	}
	return *this;
}

BMessage::Field* BMessage::FindField(const char* name)
{
	if (!name)
		return nullptr;
	for (auto& field : fFields)
		if (field.name == name)
			return &field;
	return nullptr;
}

const BMessage::Field* BMessage::FindField(const char* name) const
{
	return const_cast<BMessage*>(this)->FindField(name);
}

status_t BMessage::GetInfo(type_code typeRequested, int32 index, char** nameFound,
	type_code* typeFound, int32* countFound) const
{
	const char* name = nullptr;
	status_t status = GetInfo(typeRequested, index, &name, typeFound, countFound);
	if (nameFound)
		*nameFound = const_cast<char*>(name);
	return status;
}

status_t BMessage::GetInfo(type_code typeRequested, int32 index, const char** nameFound,
	type_code* typeFound, int32* countFound) const
{
	if (index < 0)
		return B_BAD_INDEX;
	int32 seen = 0;
	for (const auto& field : fFields) {
		if (typeRequested != B_ANY_TYPE && field.type != typeRequested)
			continue;
		if (seen++ == index) {
			if (nameFound)
				*nameFound = field.name.c_str();
			if (typeFound)
				*typeFound = field.type;
			if (countFound)
				*countFound = int32(field.items.size());
			return B_OK;
		}
	}
	if (seen == 0)
		return B_BAD_TYPE;
	return B_BAD_INDEX;
}

status_t BMessage::GetInfo(const char* name, type_code* typeFound, int32* countFound) const
{
	return GetInfo(name, typeFound, countFound, nullptr);
}

status_t BMessage::GetInfo(const char* name, type_code* typeFound, bool* fixedSize) const
{
	return GetInfo(name, typeFound, nullptr, fixedSize);
}

status_t BMessage::GetInfo(const char* name, type_code* typeFound, int32* countFound,
	bool* fixedSize) const
{
	if (!name)
		return B_BAD_VALUE;
	const Field* field = FindField(name);
	if (!field) {
		if (typeFound)
			*typeFound = 0;
		if (countFound)
			*countFound = 0;
		return B_NAME_NOT_FOUND;
	}
	if (typeFound)
		*typeFound = field->type;
	if (countFound)
		*countFound = int32(field->items.size());
	if (fixedSize)
		*fixedSize = field->fixedSize;
	return B_OK;
}

int32 BMessage::CountNames(type_code type) const
{
	int32 count = 0;
	for (const auto& field : fFields)
		if (type == B_ANY_TYPE || field.type == type)
			count++;
	return count;
}

bool BMessage::IsEmpty() const { return fFields.empty(); }

bool BMessage::IsSystem() const
{
	char first = char(what >> 24);
	return first == '_';
}

bool BMessage::IsReply() const { return fIsReply; }

void BMessage::PrintToStream() const
{
	char code[5] = {char(what >> 24), char(what >> 16), char(what >> 8), char(what), 0};
	printf("BMessage('%s') {\n", code);
	for (const auto& field : fFields) {
		char type[5] = {char(field.type >> 24), char(field.type >> 16), char(field.type >> 8),
			char(field.type), 0};
		for (size_t i = 0; i < field.items.size(); i++) {
			const auto& item = field.items[i];
			printf("        %s[%zu], type = '%s', ", field.name.c_str(), i, type);
			switch (field.type) {
				case B_INT32_TYPE: {
					int32 v;
					memcpy(&v, item.data(), 4);
					printf("%" PRId32 "\n", v);
					break;
				}
				case B_BOOL_TYPE: printf("%s\n", item[0] ? "true" : "false"); break;
				case B_STRING_TYPE: printf("\"%s\"\n", reinterpret_cast<const char*>(item.data())); break;
				case B_FLOAT_TYPE: {
					float v;
					memcpy(&v, item.data(), 4);
					printf("%g\n", double(v));
					break;
				}
				case B_RECT_TYPE: {
					BRect r;
					memcpy(&r, item.data(), sizeof(r));
					printf("BRect(%.1f, %.1f, %.1f, %.1f)\n", double(r.left), double(r.top),
						double(r.right), double(r.bottom));
					break;
				}
				default: printf("%zu bytes\n", item.size()); break;
			}
		}
	}
	printf("}\n");
}

status_t BMessage::Rename(const char* oldEntry, const char* newEntry)
{
	if (!oldEntry || !newEntry)
		return B_BAD_VALUE;
	Field* field = FindField(oldEntry);
	if (!field)
		return B_NAME_NOT_FOUND;
	if (FindField(newEntry))
		RemoveName(newEntry);
	field = FindField(oldEntry);
	field->name = newEntry;
	return B_OK;
}

bool BMessage::WasDelivered() const { return fWasDelivered; }
bool BMessage::IsSourceWaiting() const { return fWaiter && !fReplied; }
bool BMessage::IsSourceRemote() const { return false; }

BMessenger BMessage::ReturnAddress() const
{
	BMessenger messenger;
	if (fReplyLooper >= 0)
		messenger.SetTo(fReplyLooper, fReplyHandler, fReplyPreferred);
	return messenger;
}

const BMessage* BMessage::Previous() const { return fOriginal; }
bool BMessage::WasDropped() const { return HasPoint("_drop_point_"); }

BPoint BMessage::DropPoint(BPoint* offset) const
{
	if (offset)
		*offset = GetPoint("_drop_offset_", BPoint());
	return GetPoint("_drop_point_", BPoint());
}

status_t BMessage::SendReply(uint32 command, BHandler* replyTo)
{
	BMessage reply(command);
	return SendReply(&reply, replyTo);
}

status_t BMessage::SendReply(BMessage* reply, BHandler* replyTo, bigtime_t timeout)
{
	BMessenger messenger(replyTo);
	return SendReply(reply, messenger, timeout);
}

status_t BMessage::SendReply(BMessage* reply, BMessenger replyTo, bigtime_t timeout)
{
	if (!reply)
		return B_BAD_VALUE;
	if (fReplied)
		return B_DUPLICATE_REPLY;
	if (fWaiter) {
		fReplied = true;
		fWaiter->Complete(*reply);
		return B_OK;
	}
	BMessenger target = ReturnAddress();
	if (!target.IsValid())
		return B_BAD_REPLY;
	fReplied = true;
	BMessage copy(*reply);
	copy.fIsReply = true;
	return target.SendMessage(&copy, replyTo, timeout);
}

status_t BMessage::SendReply(uint32 command, BMessage* replyToReply)
{
	BMessage reply(command);
	return SendReply(&reply, replyToReply);
}

status_t BMessage::SendReply(BMessage* reply, BMessage* replyToReply, bigtime_t sendTimeout,
	bigtime_t replyTimeout)
{
	if (!reply)
		return B_BAD_VALUE;
	if (fReplied)
		return B_DUPLICATE_REPLY;
	BMessenger target = ReturnAddress();
	if (fWaiter || !target.IsValid()) {
		// The sender waits synchronously: it cannot answer a reply.
		status_t status = SendReply(reply, (BHandler*)nullptr, sendTimeout);
		if (replyToReply && status == B_OK)
			replyToReply->what = B_NO_REPLY;
		return status;
	}
	fReplied = true;
	BMessage copy(*reply);
	copy.fIsReply = true;
	return target.SendMessage(&copy, replyToReply, sendTimeout, replyTimeout);
}

// Flattening -------------------------------------------------------------

ssize_t BMessage::FlattenedSize() const
{
	size_t size = 20;
	for (const auto& field : fFields) {
		size += 4 + 1 + 1 + 2 + field.name.size() + 4;
		for (const auto& item : field.items)
			size += 4 + item.size();
	}
	return ssize_t(size);
}

std::vector<uint8> BMessage::Flatten() const
{
	std::vector<uint8> out;
	out.reserve(size_t(FlattenedSize()));
	PutU32(out, B_MESSAGE_FLAT_MAGIC);
	PutU32(out, B_MESSAGE_FLAT_VERSION);
	PutU32(out, uint32(FlattenedSize()));
	PutU32(out, what);
	PutU32(out, uint32(fFields.size()));
	for (const auto& field : fFields) {
		PutU32(out, field.type);
		out.push_back(field.fixedSize ? 1 : 0);
		out.push_back(0);
		PutU16(out, uint16(field.name.size()));
		out.insert(out.end(), field.name.begin(), field.name.end());
		PutU32(out, uint32(field.items.size()));
		for (const auto& item : field.items) {
			PutU32(out, uint32(item.size()));
			out.insert(out.end(), item.begin(), item.end());
		}
	}
	return out;
}

status_t BMessage::Flatten(char* buffer, ssize_t size) const
{
	if (!buffer)
		return B_BAD_VALUE;
	std::vector<uint8> flat = Flatten();
	if (size < ssize_t(flat.size()))
		return B_BUFFER_OVERFLOW;
	memcpy(buffer, flat.data(), flat.size());
	return B_OK;
}

status_t BMessage::Unflatten(const char* flatBuffer)
{
	if (!flatBuffer)
		return B_BAD_VALUE;
	Reader header{reinterpret_cast<const uint8*>(flatBuffer), 12};
	uint32 magic = 0, version = 0, total = 0;
	header.U32(&magic);
	header.U32(&version);
	header.U32(&total);
	if (magic != B_MESSAGE_FLAT_MAGIC)
		return B_NOT_A_MESSAGE;
	return Unflatten(flatBuffer, ssize_t(total));
}

status_t BMessage::Unflatten(const char* flatBuffer, ssize_t size)
{
	if (!flatBuffer || size < 0)
		return B_BAD_VALUE;
	return UnflattenChecked(reinterpret_cast<const uint8*>(flatBuffer), size_t(size), 0);
}

status_t BMessage::UnflattenChecked(const uint8* data, size_t size, int depth)
{
	if (depth > B_MESSAGE_MAX_NESTING)
		return B_BAD_DATA;
	Reader in{data, size};
	uint32 magic, version, total, command, fieldCount;
	if (!in.U32(&magic))
		return B_NOT_A_MESSAGE;
	if (magic != B_MESSAGE_FLAT_MAGIC)
		return B_NOT_A_MESSAGE;
	if (!in.U32(&version) || !in.U32(&total) || !in.U32(&command) || !in.U32(&fieldCount))
		return B_BAD_DATA;
	if (version != B_MESSAGE_FLAT_VERSION)
		return B_BAD_DATA;
	if (total < 20 || total > size)
		return B_BAD_DATA;
	in.size = total;

	std::vector<Field> fields;
	for (uint32 f = 0; f < fieldCount; f++) {
		Field field;
		uint32 itemCount;
		uint16 nameLength;
		uint8 flags, reserved;
		const uint8* name;
		if (!in.U32(&field.type) || !in.U8(&flags) || !in.U8(&reserved) || !in.U16(&nameLength)
			|| !in.Bytes(nameLength, &name) || !in.U32(&itemCount))
			return B_BAD_DATA;
		if (nameLength == 0 && false)
			return B_BAD_DATA;
		field.name.assign(reinterpret_cast<const char*>(name), nameLength);
		if (field.name.find('\0') != std::string::npos)
			return B_BAD_DATA;
		field.fixedSize = (flags & 1) != 0;
		// Each item takes at least its four-byte size.
		if (itemCount == 0 || !in.Has(size_t(itemCount) * 4))
			return B_BAD_DATA;
		size_t fixed = FixedSizeOf(field.type);
		field.items.reserve(itemCount);
		for (uint32 i = 0; i < itemCount; i++) {
			uint32 itemSize;
			const uint8* bytes;
			if (!in.U32(&itemSize) || !in.Bytes(itemSize, &bytes))
				return B_BAD_DATA;
			if (fixed && itemSize != fixed)
				return B_BAD_DATA;
			if (field.fixedSize && !field.items.empty() && field.items[0].size() != itemSize)
				return B_BAD_DATA;
			if (field.type == B_STRING_TYPE && (itemSize == 0 || bytes[itemSize - 1] != 0))
				return B_BAD_DATA;
			if (field.type == B_MESSAGE_TYPE) {
				BMessage nested;
				status_t status = nested.UnflattenChecked(bytes, itemSize, depth + 1);
				if (status != B_OK)
					return B_BAD_DATA;
			}
			field.items.emplace_back(bytes, bytes + itemSize);
		}
		for (const auto& other : fields)
			if (other.name == field.name)
				return B_BAD_DATA;
		fields.push_back(std::move(field));
	}
	if (in.pos != in.size)
		return B_BAD_DATA;
	what = command;
	fFields = std::move(fields);
	return B_OK;
}

// Adding -----------------------------------------------------------------

status_t BMessage::AddData(const char* name, type_code type, const void* data,
	ssize_t numBytes, bool isFixedSize, int32)
{
	if (!name || (!data && numBytes > 0) || numBytes < 0 || type == B_ANY_TYPE)
		return B_BAD_VALUE;
	if (strlen(name) > 0xFFFF)
		return B_BAD_VALUE;
	size_t fixed = FixedSizeOf(type);
	if (fixed && size_t(numBytes) != fixed)
		return B_BAD_VALUE;
	const uint8* bytes = static_cast<const uint8*>(data);
	Field* field = FindField(name);
	if (field) {
		if (field->type != type)
			return B_BAD_TYPE;
		if (field->fixedSize && field->items[0].size() != size_t(numBytes))
			return B_BAD_VALUE;
		field->items.emplace_back(bytes, bytes + numBytes);
		return B_OK;
	}
	Field created;
	created.name = name;
	created.type = type;
	created.fixedSize = isFixedSize;
	created.items.emplace_back(bytes, bytes + numBytes);
	fFields.push_back(std::move(created));
	return B_OK;
}

template <typename T>
status_t BMessage::AddValue(const char* name, type_code type, const T& value)
{
	return AddData(name, type, &value, sizeof(T), true);
}

status_t BMessage::AddRect(const char* name, BRect rect) { return AddValue(name, B_RECT_TYPE, rect); }
status_t BMessage::AddPoint(const char* name, BPoint point) { return AddValue(name, B_POINT_TYPE, point); }

status_t BMessage::AddString(const char* name, const char* string)
{
	if (!string)
		return B_BAD_VALUE;
	return AddData(name, B_STRING_TYPE, string, ssize_t(strlen(string) + 1), false);
}

status_t BMessage::AddString(const char* name, const BString& string)
{
	return AddString(name, string.String());
}

status_t BMessage::AddInt8(const char* name, int8 value) { return AddValue(name, B_INT8_TYPE, value); }
status_t BMessage::AddUInt8(const char* name, uint8 value) { return AddValue(name, B_UINT8_TYPE, value); }
status_t BMessage::AddInt16(const char* name, int16 value) { return AddValue(name, B_INT16_TYPE, value); }
status_t BMessage::AddUInt16(const char* name, uint16 value) { return AddValue(name, B_UINT16_TYPE, value); }
status_t BMessage::AddInt32(const char* name, int32 value) { return AddValue(name, B_INT32_TYPE, value); }
status_t BMessage::AddUInt32(const char* name, uint32 value) { return AddValue(name, B_UINT32_TYPE, value); }
status_t BMessage::AddInt64(const char* name, int64 value) { return AddValue(name, B_INT64_TYPE, value); }
status_t BMessage::AddUInt64(const char* name, uint64 value) { return AddValue(name, B_UINT64_TYPE, value); }

status_t BMessage::AddBool(const char* name, bool value)
{
	uint8 byte = value ? 1 : 0;
	return AddData(name, B_BOOL_TYPE, &byte, 1, true);
}

status_t BMessage::AddFloat(const char* name, float value) { return AddValue(name, B_FLOAT_TYPE, value); }
status_t BMessage::AddDouble(const char* name, double value) { return AddValue(name, B_DOUBLE_TYPE, value); }
status_t BMessage::AddPointer(const char* name, const void* pointer) { return AddValue(name, B_POINTER_TYPE, pointer); }

namespace {
struct FlatMessenger {
	int32 looper;
	int32 handler;
	int32 preferred;
};
}  // namespace

status_t BMessage::AddMessenger(const char* name, BMessenger messenger)
{
	FlatMessenger flat{messenger.LooperToken(), messenger.HandlerToken(),
		messenger.UsesPreferredTarget() ? 1 : 0};
	return AddData(name, B_MESSENGER_TYPE, &flat, sizeof(flat), true);
}

status_t BMessage::AddRef(const char* name, const entry_ref* ref)
{
	if (!ref)
		return B_BAD_VALUE;
	std::vector<uint8> flat = platform_flatten_entry_ref(*ref);
	return AddData(name, B_REF_TYPE, flat.data(), ssize_t(flat.size()), false);
}

status_t BMessage::AddMessage(const char* name, const BMessage* message)
{
	if (!message)
		return B_BAD_VALUE;
	std::vector<uint8> flat = message->Flatten();
	return AddData(name, B_MESSAGE_TYPE, flat.data(), ssize_t(flat.size()), false);
}

// Removing ---------------------------------------------------------------

status_t BMessage::RemoveData(const char* name, int32 index)
{
	if (!name)
		return B_BAD_VALUE;
	if (index < 0)
		return B_BAD_INDEX;
	for (auto it = fFields.begin(); it != fFields.end(); ++it) {
		if (it->name != name)
			continue;
		if (index >= int32(it->items.size()))
			return B_BAD_INDEX;
		it->items.erase(it->items.begin() + index);
		if (it->items.empty())
			fFields.erase(it);
		return B_OK;
	}
	return B_NAME_NOT_FOUND;
}

status_t BMessage::RemoveName(const char* name)
{
	if (!name)
		return B_BAD_VALUE;
	for (auto it = fFields.begin(); it != fFields.end(); ++it) {
		if (it->name == name) {
			fFields.erase(it);
			return B_OK;
		}
	}
	return B_NAME_NOT_FOUND;
}

status_t BMessage::MakeEmpty()
{
	fFields.clear();
	return B_OK;
}

// Finding ----------------------------------------------------------------

status_t BMessage::Locate(const char* name, type_code type, int32 index,
	const std::vector<uint8>** item) const
{
	if (!name)
		return B_BAD_VALUE;
	const Field* field = FindField(name);
	if (!field)
		return B_NAME_NOT_FOUND;
	if (type != B_ANY_TYPE && field->type != type)
		return B_BAD_TYPE;
	if (index < 0 || index >= int32(field->items.size()))
		return B_BAD_INDEX;
	*item = &field->items[size_t(index)];
	return B_OK;
}

status_t BMessage::FindData(const char* name, type_code type, const void** data,
	ssize_t* numBytes) const
{
	return FindData(name, type, 0, data, numBytes);
}

status_t BMessage::FindData(const char* name, type_code type, int32 index,
	const void** data, ssize_t* numBytes) const
{
	if (!data)
		return B_BAD_VALUE;
	const std::vector<uint8>* item;
	status_t status = Locate(name, type, index, &item);
	if (status != B_OK) {
		*data = nullptr;
		return status;
	}
	*data = item->data();
	if (numBytes)
		*numBytes = ssize_t(item->size());
	return B_OK;
}

template <typename T>
status_t BMessage::FindValue(const char* name, type_code type, int32 index, T* value) const
{
	if (!value)
		return B_BAD_VALUE;
	const std::vector<uint8>* item;
	status_t status = Locate(name, type, index, &item);
	if (status != B_OK)
		return status;
	if (item->size() != sizeof(T))
		return B_BAD_DATA;
	memcpy(value, item->data(), sizeof(T));
	return B_OK;
}

#define DEFINE_FIND(Name, Type, Code)                                                  \
	status_t BMessage::Find##Name(const char* name, Type* value) const                 \
	{                                                                                  \
		return FindValue(name, Code, 0, value);                                        \
	}                                                                                  \
	status_t BMessage::Find##Name(const char* name, int32 index, Type* value) const    \
	{                                                                                  \
		return FindValue(name, Code, index, value);                                    \
	}

DEFINE_FIND(Rect, BRect, B_RECT_TYPE)
DEFINE_FIND(Point, BPoint, B_POINT_TYPE)
DEFINE_FIND(Int8, int8, B_INT8_TYPE)
DEFINE_FIND(UInt8, uint8, B_UINT8_TYPE)
DEFINE_FIND(Int16, int16, B_INT16_TYPE)
DEFINE_FIND(UInt16, uint16, B_UINT16_TYPE)
DEFINE_FIND(Int32, int32, B_INT32_TYPE)
DEFINE_FIND(UInt32, uint32, B_UINT32_TYPE)
DEFINE_FIND(Int64, int64, B_INT64_TYPE)
DEFINE_FIND(UInt64, uint64, B_UINT64_TYPE)
DEFINE_FIND(Float, float, B_FLOAT_TYPE)
DEFINE_FIND(Double, double, B_DOUBLE_TYPE)
#undef DEFINE_FIND

status_t BMessage::FindBool(const char* name, bool* value) const
{
	return FindBool(name, 0, value);
}

status_t BMessage::FindBool(const char* name, int32 index, bool* value) const
{
	uint8 byte;
	status_t status = FindValue(name, B_BOOL_TYPE, index, &byte);
	if (status == B_OK && value)
		*value = byte != 0;
	return value ? status : B_BAD_VALUE;
}

status_t BMessage::FindPointer(const char* name, void** pointer) const
{
	return FindValue(name, B_POINTER_TYPE, 0, pointer);
}

status_t BMessage::FindPointer(const char* name, int32 index, void** pointer) const
{
	return FindValue(name, B_POINTER_TYPE, index, pointer);
}

status_t BMessage::FindString(const char* name, const char** string) const
{
	return FindString(name, 0, string);
}

status_t BMessage::FindString(const char* name, int32 index, const char** string) const
{
	if (!string)
		return B_BAD_VALUE;
	const std::vector<uint8>* item;
	status_t status = Locate(name, B_STRING_TYPE, index, &item);
	if (status != B_OK) {
		*string = nullptr;
		return status;
	}
	*string = reinterpret_cast<const char*>(item->data());
	return B_OK;
}

status_t BMessage::FindString(const char* name, BString* string) const
{
	return FindString(name, 0, string);
}

status_t BMessage::FindString(const char* name, int32 index, BString* string) const
{
	if (!string)
		return B_BAD_VALUE;
	const char* text;
	status_t status = FindString(name, index, &text);
	if (status == B_OK)
		string->SetTo(text);
	return status;
}

status_t BMessage::FindMessenger(const char* name, BMessenger* messenger) const
{
	return FindMessenger(name, 0, messenger);
}

status_t BMessage::FindMessenger(const char* name, int32 index, BMessenger* messenger) const
{
	if (!messenger)
		return B_BAD_VALUE;
	FlatMessenger flat;
	status_t status = FindValue(name, B_MESSENGER_TYPE, index, &flat);
	if (status == B_OK)
		messenger->SetTo(flat.looper, flat.handler, flat.preferred != 0);
	return status;
}

status_t BMessage::FindRef(const char* name, entry_ref* ref) const
{
	return FindRef(name, 0, ref);
}

status_t BMessage::FindRef(const char* name, int32 index, entry_ref* ref) const
{
	if (!ref)
		return B_BAD_VALUE;
	const std::vector<uint8>* item;
	status_t status = Locate(name, B_REF_TYPE, index, &item);
	if (status != B_OK)
		return status;
	return platform_unflatten_entry_ref(item->data(), item->size(), ref);
}

status_t BMessage::FindMessage(const char* name, BMessage* message) const
{
	return FindMessage(name, 0, message);
}

status_t BMessage::FindMessage(const char* name, int32 index, BMessage* message) const
{
	if (!message)
		return B_BAD_VALUE;
	const std::vector<uint8>* item;
	status_t status = Locate(name, B_MESSAGE_TYPE, index, &item);
	if (status != B_OK)
		return status;
	return message->UnflattenChecked(item->data(), item->size(), 0);
}

// Replacing --------------------------------------------------------------

status_t BMessage::Replace(const char* name, type_code type, int32 index, const void* data,
	ssize_t numBytes)
{
	if (!name || (!data && numBytes > 0) || numBytes < 0)
		return B_BAD_VALUE;
	Field* field = FindField(name);
	if (!field)
		return B_NAME_NOT_FOUND;
	if (field->type != type)
		return B_BAD_TYPE;
	if (index < 0 || index >= int32(field->items.size()))
		return B_BAD_INDEX;
	if (field->fixedSize && field->items[0].size() != size_t(numBytes) && field->items.size() > 1)
		return B_BAD_VALUE;
	const uint8* bytes = static_cast<const uint8*>(data);
	field->items[size_t(index)].assign(bytes, bytes + numBytes);
	return B_OK;
}

#define DEFINE_REPLACE(Name, Type, Code)                                               \
	status_t BMessage::Replace##Name(const char* name, Type value)                     \
	{                                                                                  \
		return Replace(name, Code, 0, &value, sizeof(value));                          \
	}                                                                                  \
	status_t BMessage::Replace##Name(const char* name, int32 index, Type value)        \
	{                                                                                  \
		return Replace(name, Code, index, &value, sizeof(value));                      \
	}

DEFINE_REPLACE(Rect, BRect, B_RECT_TYPE)
DEFINE_REPLACE(Point, BPoint, B_POINT_TYPE)
DEFINE_REPLACE(Int8, int8, B_INT8_TYPE)
DEFINE_REPLACE(UInt8, uint8, B_UINT8_TYPE)
DEFINE_REPLACE(Int16, int16, B_INT16_TYPE)
DEFINE_REPLACE(UInt16, uint16, B_UINT16_TYPE)
DEFINE_REPLACE(Int32, int32, B_INT32_TYPE)
DEFINE_REPLACE(UInt32, uint32, B_UINT32_TYPE)
DEFINE_REPLACE(Int64, int64, B_INT64_TYPE)
DEFINE_REPLACE(UInt64, uint64, B_UINT64_TYPE)
DEFINE_REPLACE(Float, float, B_FLOAT_TYPE)
DEFINE_REPLACE(Double, double, B_DOUBLE_TYPE)
DEFINE_REPLACE(Pointer, const void*, B_POINTER_TYPE)
#undef DEFINE_REPLACE

status_t BMessage::ReplaceBool(const char* name, bool value) { return ReplaceBool(name, 0, value); }

status_t BMessage::ReplaceBool(const char* name, int32 index, bool value)
{
	uint8 byte = value ? 1 : 0;
	return Replace(name, B_BOOL_TYPE, index, &byte, 1);
}

status_t BMessage::ReplaceString(const char* name, const char* string)
{
	return ReplaceString(name, 0, string);
}

status_t BMessage::ReplaceString(const char* name, int32 index, const char* string)
{
	if (!string)
		return B_BAD_VALUE;
	return Replace(name, B_STRING_TYPE, index, string, ssize_t(strlen(string) + 1));
}

status_t BMessage::ReplaceString(const char* name, const BString& string)
{
	return ReplaceString(name, 0, string.String());
}

status_t BMessage::ReplaceString(const char* name, int32 index, const BString& string)
{
	return ReplaceString(name, index, string.String());
}

status_t BMessage::ReplaceMessenger(const char* name, BMessenger messenger)
{
	return ReplaceMessenger(name, 0, messenger);
}

status_t BMessage::ReplaceMessenger(const char* name, int32 index, BMessenger messenger)
{
	FlatMessenger flat{messenger.LooperToken(), messenger.HandlerToken(),
		messenger.UsesPreferredTarget() ? 1 : 0};
	return Replace(name, B_MESSENGER_TYPE, index, &flat, sizeof(flat));
}

status_t BMessage::ReplaceRef(const char* name, const entry_ref* ref)
{
	return ReplaceRef(name, 0, ref);
}

status_t BMessage::ReplaceRef(const char* name, int32 index, const entry_ref* ref)
{
	if (!ref)
		return B_BAD_VALUE;
	std::vector<uint8> flat = platform_flatten_entry_ref(*ref);
	return Replace(name, B_REF_TYPE, index, flat.data(), ssize_t(flat.size()));
}

status_t BMessage::ReplaceMessage(const char* name, const BMessage* message)
{
	return ReplaceMessage(name, 0, message);
}

status_t BMessage::ReplaceMessage(const char* name, int32 index, const BMessage* message)
{
	if (!message)
		return B_BAD_VALUE;
	std::vector<uint8> flat = message->Flatten();
	return Replace(name, B_MESSAGE_TYPE, index, flat.data(), ssize_t(flat.size()));
}

status_t BMessage::ReplaceData(const char* name, type_code type, const void* data,
	ssize_t numBytes)
{
	return Replace(name, type, 0, data, numBytes);
}

status_t BMessage::ReplaceData(const char* name, type_code type, int32 index,
	const void* data, ssize_t numBytes)
{
	return Replace(name, type, index, data, numBytes);
}

// Presence ---------------------------------------------------------------

bool BMessage::HasSameData(const BMessage& other, bool ignoreFieldOrder, bool) const
{
	if (what != other.what || fFields.size() != other.fFields.size())
		return false;
	for (size_t i = 0; i < fFields.size(); i++) {
		const Field& mine = fFields[i];
		const Field* theirs = ignoreFieldOrder ? other.FindField(mine.name.c_str()) : &other.fFields[i];
		if (!theirs || theirs->name != mine.name || theirs->type != mine.type
			|| theirs->items != mine.items)
			return false;
	}
	return true;
}

bool BMessage::HasData(const char* name, type_code type, int32 index) const
{
	const std::vector<uint8>* item;
	return Locate(name, type, index, &item) == B_OK;
}

#define DEFINE_HAS(Name, Code) \
	bool BMessage::Has##Name(const char* name, int32 index) const { return HasData(name, Code, index); }
DEFINE_HAS(Rect, B_RECT_TYPE)
DEFINE_HAS(Point, B_POINT_TYPE)
DEFINE_HAS(String, B_STRING_TYPE)
DEFINE_HAS(Int8, B_INT8_TYPE)
DEFINE_HAS(UInt8, B_UINT8_TYPE)
DEFINE_HAS(Int16, B_INT16_TYPE)
DEFINE_HAS(UInt16, B_UINT16_TYPE)
DEFINE_HAS(Int32, B_INT32_TYPE)
DEFINE_HAS(UInt32, B_UINT32_TYPE)
DEFINE_HAS(Int64, B_INT64_TYPE)
DEFINE_HAS(UInt64, B_UINT64_TYPE)
DEFINE_HAS(Bool, B_BOOL_TYPE)
DEFINE_HAS(Float, B_FLOAT_TYPE)
DEFINE_HAS(Double, B_DOUBLE_TYPE)
DEFINE_HAS(Pointer, B_POINTER_TYPE)
DEFINE_HAS(Messenger, B_MESSENGER_TYPE)
DEFINE_HAS(Ref, B_REF_TYPE)
DEFINE_HAS(Message, B_MESSAGE_TYPE)
#undef DEFINE_HAS

// Defaults ---------------------------------------------------------------

bool BMessage::GetBool(const char* name, bool defaultValue) const
{
	return GetBool(name, 0, defaultValue);
}

bool BMessage::GetBool(const char* name, int32 index, bool defaultValue) const
{
	bool value;
	return FindBool(name, index, &value) == B_OK ? value : defaultValue;
}

#define DEFINE_GET(Name, Type)                                                    \
	Type BMessage::Get##Name(const char* name, Type defaultValue) const           \
	{                                                                             \
		Type value;                                                               \
		return Find##Name(name, 0, &value) == B_OK ? value : defaultValue;        \
	}
DEFINE_GET(Int8, int8)
DEFINE_GET(UInt8, uint8)
DEFINE_GET(Int16, int16)
DEFINE_GET(UInt16, uint16)
DEFINE_GET(Int32, int32)
DEFINE_GET(UInt32, uint32)
DEFINE_GET(Int64, int64)
DEFINE_GET(UInt64, uint64)
DEFINE_GET(Float, float)
DEFINE_GET(Double, double)
#undef DEFINE_GET

int32 BMessage::GetInt32(const char* name, int32 index, int32 defaultValue) const
{
	int32 value;
	return FindInt32(name, index, &value) == B_OK ? value : defaultValue;
}

const char* BMessage::GetString(const char* name, const char* defaultValue) const
{
	return GetString(name, 0, defaultValue);
}

const char* BMessage::GetString(const char* name, int32 index, const char* defaultValue) const
{
	const char* value;
	return FindString(name, index, &value) == B_OK ? value : defaultValue;
}

BRect BMessage::GetRect(const char* name, const BRect& defaultValue) const
{
	BRect value;
	return FindRect(name, 0, &value) == B_OK ? value : defaultValue;
}

BPoint BMessage::GetPoint(const char* name, const BPoint& defaultValue) const
{
	BPoint value;
	return FindPoint(name, 0, &value) == B_OK ? value : defaultValue;
}

void* BMessage::GetPointer(const char* name, const void* defaultValue) const
{
	void* value;
	return FindPointer(name, 0, &value) == B_OK ? value : const_cast<void*>(defaultValue);
}

BRect BMessage::FindRect(const char* name, int32 index) const
{
	BRect value;
	return FindRect(name, index, &value) == B_OK ? value : BRect();
}

BPoint BMessage::FindPoint(const char* name, int32 index) const
{
	BPoint value;
	return FindPoint(name, index, &value) == B_OK ? value : BPoint();
}

const char* BMessage::FindString(const char* name, int32 index) const
{
	const char* value;
	return FindString(name, index, &value) == B_OK ? value : nullptr;
}

#define DEFINE_FIND_VALUE(Name, Type)                                 \
	Type BMessage::Find##Name(const char* name, int32 index) const    \
	{                                                                 \
		Type value;                                                   \
		return Find##Name(name, index, &value) == B_OK ? value : Type(0); \
	}
DEFINE_FIND_VALUE(Int8, int8)
DEFINE_FIND_VALUE(Int16, int16)
DEFINE_FIND_VALUE(Int32, int32)
DEFINE_FIND_VALUE(Int64, int64)
DEFINE_FIND_VALUE(Bool, bool)
DEFINE_FIND_VALUE(Float, float)
DEFINE_FIND_VALUE(Double, double)
#undef DEFINE_FIND_VALUE

status_t BMessage::Flatten(BDataIO* stream, ssize_t* size) const
{
	if (!stream)
		return B_BAD_VALUE;
	std::vector<uint8> flat = Flatten();
	ssize_t written = stream->Write(flat.data(), flat.size());
	if (written < 0)
		return status_t(written);
	if (written != ssize_t(flat.size()))
		return B_IO_ERROR;
	if (size)
		*size = written;
	return B_OK;
}

status_t BMessage::Unflatten(BDataIO* stream)
{
	if (!stream)
		return B_BAD_VALUE;
	uint8 header[12];
	if (stream->Read(header, sizeof(header)) != ssize_t(sizeof(header)))
		return B_BAD_DATA;
	Reader in{header, sizeof(header)};
	uint32 magic, version, total;
	in.U32(&magic);
	in.U32(&version);
	in.U32(&total);
	if (magic != B_MESSAGE_FLAT_MAGIC)
		return B_NOT_A_MESSAGE;
	if (total < 20 || total > (64u << 20))
		return B_BAD_DATA;
	std::vector<uint8> all(total);
	memcpy(all.data(), header, sizeof(header));
	ssize_t rest = ssize_t(total - sizeof(header));
	if (stream->Read(all.data() + sizeof(header), size_t(rest)) != rest)
		return B_BAD_DATA;
	return UnflattenChecked(all.data(), all.size(), 0);
}
