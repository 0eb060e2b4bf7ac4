#include <AppFileInfo.h>
#include <Resources.h>

#include <TypeConstants.h>

#include <cstdio>
#include <algorithm>
#include <cstring>

#include <dlfcn.h>
#include <elf.h>

namespace {

void PutU32(std::vector<uint8>& out, uint32 v)
{
	for (int i = 0; i < 4; i++)
		out.push_back(uint8(v >> (8 * i)));
}

uint32 GetU32(const uint8* p)
{
	return uint32(p[0]) | uint32(p[1]) << 8 | uint32(p[2]) << 16 | uint32(p[3]) << 24;
}

// Reads the named section of an ELF64 file, checking every offset.
status_t ReadSection(const char* path, const char* section, std::vector<uint8>* out)
{
	FILE* file = fopen(path, "rb");
	if (!file)
		return B_ENTRY_NOT_FOUND;
	struct Closer {
		FILE* f;
		~Closer() { fclose(f); }
	} closer{file};

	if (fseek(file, 0, SEEK_END) != 0)
		return B_IO_ERROR;
	long fileSize = ftell(file);
	if (fileSize < long(sizeof(Elf64_Ehdr)))
		return B_NOT_AN_EXECUTABLE;
	auto readAt = [&](uint64 offset, void* buffer, size_t size) {
		if (offset > uint64(fileSize) || size > uint64(fileSize) - offset)
			return false;
		return fseek(file, long(offset), SEEK_SET) == 0 && fread(buffer, 1, size, file) == size;
	};

	Elf64_Ehdr header;
	if (!readAt(0, &header, sizeof(header)))
		return B_NOT_AN_EXECUTABLE;
	if (memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64)
		return B_NOT_AN_EXECUTABLE;
	if (header.e_shentsize != sizeof(Elf64_Shdr) || header.e_shnum == 0
		|| header.e_shstrndx >= header.e_shnum)
		return B_NOT_AN_EXECUTABLE;

	std::vector<Elf64_Shdr> sections(header.e_shnum);
	if (!readAt(header.e_shoff, sections.data(), sizeof(Elf64_Shdr) * header.e_shnum))
		return B_NOT_AN_EXECUTABLE;
	const Elf64_Shdr& names = sections[header.e_shstrndx];
	if (names.sh_size > (16u << 20))
		return B_NOT_AN_EXECUTABLE;
	std::vector<char> nameTable(names.sh_size + 1, '\0');
	if (!readAt(names.sh_offset, nameTable.data(), names.sh_size))
		return B_NOT_AN_EXECUTABLE;

	for (const Elf64_Shdr& candidate : sections) {
		if (candidate.sh_name >= names.sh_size)
			continue;
		if (strcmp(nameTable.data() + candidate.sh_name, section) != 0)
			continue;
		if (candidate.sh_type == SHT_NOBITS || candidate.sh_size > (64u << 20))
			return B_BAD_DATA;
		out->resize(candidate.sh_size);
		if (!readAt(candidate.sh_offset, out->data(), candidate.sh_size))
			return B_BAD_DATA;
		return B_OK;
	}
	return B_NAME_NOT_FOUND;
}

}  // namespace

BResources::BResources() {}
BResources::BResources(const char* path) { SetTo(path); }
BResources::~BResources() {}

void BResources::Unset()
{
	fEntries.clear();
	fPath.clear();
	fStatus = B_NO_INIT;
}

status_t BResources::SetTo(const char* path)
{
	Unset();
	if (!path)
		return fStatus = B_BAD_VALUE;
	std::vector<uint8> block;
	status_t status = ReadSection(path, B_RESOURCE_SECTION_NAME, &block);
	if (status == B_OK)
		status = ParseBlock(block.data(), block.size(), this);
	if (status == B_OK)
		fPath = path;
	else
		fEntries.clear();
	return fStatus = status;
}

status_t BResources::SetToImage(const void* pointer)
{
	Dl_info info;
	if (!pointer || dladdr(pointer, &info) == 0 || !info.dli_fname)
		return fStatus = B_BAD_VALUE;
	return SetTo(info.dli_fname);
}

status_t BResources::ParseBlock(const uint8* data, size_t size, BResources* into)
{
	size_t pos = 0;
	auto need = [&](size_t n) { return n <= size - pos; };
	if (!need(12) || GetU32(data) != B_RESOURCE_MAGIC || GetU32(data + 4) != 1)
		return B_BAD_DATA;
	uint32 count = GetU32(data + 8);
	pos = 12;
	std::vector<Entry> entries;
	for (uint32 i = 0; i < count; i++) {
		Entry entry;
		if (!need(10))
			return B_BAD_DATA;
		entry.type = GetU32(data + pos);
		entry.id = int32(GetU32(data + pos + 4));
		uint16 nameLength = uint16(data[pos + 8] | data[pos + 9] << 8);
		pos += 10;
		if (!need(nameLength))
			return B_BAD_DATA;
		entry.name.assign(reinterpret_cast<const char*>(data + pos), nameLength);
		pos += nameLength;
		if (!need(4))
			return B_BAD_DATA;
		uint32 length = GetU32(data + pos);
		pos += 4;
		if (!need(length))
			return B_BAD_DATA;
		entry.data.assign(data + pos, data + pos + length);
		pos += length;
		entries.push_back(std::move(entry));
	}
	into->fEntries = std::move(entries);
	return B_OK;
}

std::vector<uint8> BResources::BuildBlock(const std::vector<Entry>& entries)
{
	std::vector<uint8> out;
	PutU32(out, B_RESOURCE_MAGIC);
	PutU32(out, 1);
	PutU32(out, uint32(entries.size()));
	for (const Entry& entry : entries) {
		PutU32(out, entry.type);
		PutU32(out, uint32(entry.id));
		out.push_back(uint8(entry.name.size()));
		out.push_back(uint8(entry.name.size() >> 8));
		out.insert(out.end(), entry.name.begin(), entry.name.end());
		PutU32(out, uint32(entry.data.size()));
		out.insert(out.end(), entry.data.begin(), entry.data.end());
	}
	return out;
}

const BResources::Entry* BResources::Find(type_code type, int32 id) const
{
	for (const Entry& entry : fEntries)
		if (entry.type == type && entry.id == id)
			return &entry;
	return nullptr;
}

const BResources::Entry* BResources::Find(type_code type, const char* name) const
{
	if (!name)
		return nullptr;
	for (const Entry& entry : fEntries)
		if (entry.type == type && entry.name == name)
			return &entry;
	return nullptr;
}

const void* BResources::LoadResource(type_code type, int32 id, size_t* outSize)
{
	const Entry* entry = Find(type, id);
	if (!entry)
		return nullptr;
	if (outSize)
		*outSize = entry->data.size();
	return entry->data.data();
}

const void* BResources::LoadResource(type_code type, const char* name, size_t* outSize)
{
	const Entry* entry = Find(type, name);
	if (!entry)
		return nullptr;
	if (outSize)
		*outSize = entry->data.size();
	return entry->data.data();
}

bool BResources::HasResource(type_code type, int32 id) { return Find(type, id) != nullptr; }
bool BResources::HasResource(type_code type, const char* name) { return Find(type, name) != nullptr; }

bool BResources::GetResourceInfo(int32 byIndex, type_code* typeFound, int32* idFound,
	const char** nameFound, size_t* lengthFound)
{
	if (byIndex < 0 || byIndex >= int32(fEntries.size()))
		return false;
	const Entry& entry = fEntries[size_t(byIndex)];
	if (typeFound)
		*typeFound = entry.type;
	if (idFound)
		*idFound = entry.id;
	if (nameFound)
		*nameFound = entry.name.c_str();
	if (lengthFound)
		*lengthFound = entry.data.size();
	return true;
}

bool BResources::GetResourceInfo(type_code byType, int32 andIndex, int32* idFound,
	const char** nameFound, size_t* lengthFound)
{
	for (const Entry& entry : fEntries) {
		if (entry.type != byType || andIndex-- != 0)
			continue;
		if (idFound)
			*idFound = entry.id;
		if (nameFound)
			*nameFound = entry.name.c_str();
		if (lengthFound)
			*lengthFound = entry.data.size();
		return true;
	}
	return false;
}

bool BResources::GetResourceInfo(type_code byType, int32 andID, const char** nameFound,
	size_t* lengthFound)
{
	const Entry* entry = Find(byType, andID);
	if (!entry)
		return false;
	if (nameFound)
		*nameFound = entry->name.c_str();
	if (lengthFound)
		*lengthFound = entry->data.size();
	return true;
}

bool BResources::GetResourceInfo(type_code byType, const char* andName, int32* idFound,
	size_t* lengthFound)
{
	const Entry* entry = Find(byType, andName);
	if (!entry)
		return false;
	if (idFound)
		*idFound = entry->id;
	if (lengthFound)
		*lengthFound = entry->data.size();
	return true;
}

status_t BResources::ReadResource(type_code type, int32 id, void* data, off_t offset, size_t length)
{
	const Entry* entry = Find(type, id);
	if (!entry)
		return B_BAD_VALUE;
	if (!data || offset < 0 || size_t(offset) > entry->data.size())
		return B_BAD_VALUE;
	size_t n = std::min(length, entry->data.size() - size_t(offset));
	memcpy(data, entry->data.data() + offset, n);
	return B_OK;
}

BAppFileInfo::BAppFileInfo() {}
BAppFileInfo::BAppFileInfo(const char* path) { SetTo(path); }
BAppFileInfo::~BAppFileInfo() {}

status_t BAppFileInfo::SetTo(const char* path) { return fResources.SetTo(path); }

status_t BAppFileInfo::GetSignature(char* signature) const
{
	if (!signature)
		return B_BAD_VALUE;
	size_t size;
	const char* data = static_cast<const char*>(
		fResources.LoadResource(B_MIME_STRING_TYPE, B_APP_SIGNATURE_RESOURCE_NAME, &size));
	if (!data || size == 0 || size > B_MIME_TYPE_LENGTH)
		return B_ENTRY_NOT_FOUND;
	memcpy(signature, data, size);
	signature[size - 1] = '\0';
	return B_OK;
}

status_t BAppFileInfo::GetVersionInfo(version_info* info, version_kind kind) const
{
	if (!info)
		return B_BAD_VALUE;
	size_t size;
	const void* data = fResources.LoadResource(B_VERSION_INFO_TYPE, B_APP_VERSION_RESOURCE_NAME, &size);
	if (!data || size < sizeof(version_info) * (size_t(kind) + 1))
		return B_ENTRY_NOT_FOUND;
	memcpy(info, static_cast<const uint8*>(data) + sizeof(version_info) * size_t(kind),
		sizeof(version_info));
	info->short_info[sizeof(info->short_info) - 1] = '\0';
	info->long_info[sizeof(info->long_info) - 1] = '\0';
	return B_OK;
}

status_t BAppFileInfo::GetIconData(icon_size size, std::vector<uint8>* bits) const
{
	if (!bits)
		return B_BAD_VALUE;
	type_code type = size == B_MINI_ICON ? B_MINI_ICON_TYPE : B_LARGE_ICON_TYPE;
	const char* name = size == B_MINI_ICON ? B_MINI_ICON_RESOURCE_NAME : B_LARGE_ICON_RESOURCE_NAME;
	size_t length;
	const uint8* data = static_cast<const uint8*>(fResources.LoadResource(type, name, &length));
	if (!data || length != size_t(size) * size_t(size))
		return B_ENTRY_NOT_FOUND;
	bits->assign(data, data + length);
	return B_OK;
}

status_t BAppFileInfo::GetVectorIcon(std::vector<uint8>* data) const
{
	if (!data)
		return B_BAD_VALUE;
	size_t length;
	const uint8* bytes = static_cast<const uint8*>(
		fResources.LoadResource(B_VECTOR_ICON_TYPE, B_VECTOR_ICON_RESOURCE_NAME, &length));
	if (!bytes)
		return B_ENTRY_NOT_FOUND;
	data->assign(bytes, bytes + length);
	return B_OK;
}
