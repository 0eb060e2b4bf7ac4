// Resources embedded in an executable or module file: typed, numbered and
// named blocks of data. They live in the file's ".vtlrsrc" section.
#pragma once

#include <SupportDefs.h>

#include <string>
#include <vector>

class BFile;

// Section name and layout of the embedded resources:
//   u32 magic 'VRSC', u32 version 1, u32 entry count, then per entry
//   u32 type, i32 id, u16 name length, name bytes, u32 data length, data.
#define B_RESOURCE_SECTION_NAME ".vtlrsrc"
#define B_RESOURCE_MAGIC 'VRSC'

class BResources {
public:
	BResources();
	explicit BResources(const char* path);
	virtual ~BResources();

	// Reads the resources of the file at the path.
	status_t SetTo(const char* path);
	// Reads the resources of the loaded image (executable or module) that
	// contains the given code or data address.
	status_t SetToImage(const void* codeOrDataPointer);
	void Unset();
	status_t InitCheck() const { return fStatus; }
	const char* Path() const { return fPath.c_str(); }

	const void* LoadResource(type_code type, int32 id, size_t* outSize);
	const void* LoadResource(type_code type, const char* name, size_t* outSize);
	bool HasResource(type_code type, int32 id);
	bool HasResource(type_code type, const char* name);
	bool GetResourceInfo(int32 byIndex, type_code* typeFound, int32* idFound,
		const char** nameFound, size_t* lengthFound);
	bool GetResourceInfo(type_code byType, int32 andIndex, int32* idFound,
		const char** nameFound, size_t* lengthFound);
	bool GetResourceInfo(type_code byType, int32 andID, const char** nameFound,
		size_t* lengthFound);
	bool GetResourceInfo(type_code byType, const char* andName, int32* idFound,
		size_t* lengthFound);
	status_t ReadResource(type_code type, int32 id, void* data, off_t offset, size_t length);
	int32 CountResources() const { return int32(fEntries.size()); }

	// Parses a resource block (the section's contents).
	static status_t ParseBlock(const uint8* data, size_t size, BResources* into);
	// Builds a resource block from entries (used by the resource compiler).
	struct Entry {
		type_code type;
		int32 id;
		std::string name;
		std::vector<uint8> data;
	};
	static std::vector<uint8> BuildBlock(const std::vector<Entry>& entries);

private:
	const Entry* Find(type_code type, int32 id) const;
	const Entry* Find(type_code type, const char* name) const;

	std::vector<Entry> fEntries;
	std::string fPath;
	status_t fStatus = B_NO_INIT;
};
