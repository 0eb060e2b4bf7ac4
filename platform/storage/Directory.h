// A directory: its entries, and files and folders made in it.
#pragma once

#include <Entry.h>
#include <Node.h>

#include <dirent.h>

class BFile;

class BDirectory : public BNode {
public:
	BDirectory();
	explicit BDirectory(const entry_ref* ref);
	explicit BDirectory(const BEntry* entry);
	explicit BDirectory(const char* path);
	~BDirectory() override;

	status_t SetTo(const entry_ref* ref);
	status_t SetTo(const BEntry* entry);
	status_t SetTo(const char* path);
	void Unset() override;

	status_t GetEntry(BEntry* entry) const;
	// A relative path is taken from this directory.
	status_t FindEntry(const char* path, BEntry* entry, bool traverse = false) const;
	bool Contains(const char* path, int32 nodeFlags = B_ANY_NODE) const;

	// Entries in directory order, without "." and "..".
	status_t GetNextEntry(BEntry* entry, bool traverse = false);
	status_t GetNextRef(entry_ref* ref);
	status_t Rewind();
	int32 CountEntries() const;

	status_t CreateFile(const char* path, BFile* file, bool failIfExists = false);
	status_t CreateDirectory(const char* path, BDirectory* dir);

	bool IsRootDirectory() const;

private:
	std::string Resolve(const char* path) const;
	DIR* fDir = nullptr;
};

status_t create_directory(const char* path, mode_t mode);
