// References to file system entries.
#pragma once

#include <SupportDefs.h>

#include <string>
#include <vector>

// Names an entry by the device and inode of its directory plus its leaf
// name. The directory's path is remembered process-wide when a reference
// is made, so a reference can be turned back into a path.
struct entry_ref {
	entry_ref();
	entry_ref(dev_t device, ino_t directory, const char* name);
	entry_ref(const entry_ref& other);
	~entry_ref();

	status_t set_name(const char* name);

	bool operator==(const entry_ref& other) const;
	bool operator!=(const entry_ref& other) const;
	entry_ref& operator=(const entry_ref& other);

	dev_t device;
	ino_t directory;
	char* name;
};

// Makes a reference for a path (the leaf need not exist; its directory
// must). With traverse, a final symbolic link is resolved first.
status_t get_ref_for_path(const char* path, entry_ref* ref, bool traverse = false);
// The path a reference names, or an error when its directory is unknown.
status_t platform_path_for_ref(const entry_ref& ref, std::string* path);
void platform_remember_directory(dev_t device, ino_t directory, const std::string& path);

// Used by BMessage to store references in flattened messages.
std::vector<uint8> platform_flatten_entry_ref(const entry_ref& ref);
status_t platform_unflatten_entry_ref(const uint8* data, size_t size, entry_ref* ref);

class BDirectory;
class BPath;

// A named entry in a directory, which may or may not exist. With
// traverse, a final symbolic link is replaced by what it points to.
class BEntry {
public:
	BEntry();
	BEntry(const BDirectory* dir, const char* path, bool traverse = false);
	explicit BEntry(const entry_ref* ref, bool traverse = false);
	explicit BEntry(const char* path, bool traverse = false);
	BEntry(const BEntry& other);
	~BEntry();

	status_t InitCheck() const { return fInit; }
	status_t SetTo(const BDirectory* dir, const char* path, bool traverse = false);
	status_t SetTo(const entry_ref* ref, bool traverse = false);
	status_t SetTo(const char* path, bool traverse = false);
	void Unset();

	bool Exists() const;
	bool IsFile() const;
	bool IsDirectory() const;
	bool IsSymLink() const;
	status_t GetStat(struct stat* st) const;

	status_t GetRef(entry_ref* ref) const;
	status_t GetPath(BPath* path) const;
	status_t GetParent(BEntry* entry) const;
	status_t GetParent(BDirectory* dir) const;
	status_t GetName(char* buffer) const;
	status_t Remove();

	BEntry& operator=(const BEntry& other);
	bool operator==(const BEntry& other) const;
	bool operator!=(const BEntry& other) const { return !(*this == other); }

	// The absolute path of the entry (empty when not initialised).
	const std::string& PlatformPath() const { return fPath; }

private:
	status_t SetToPath(std::string path, bool traverse);
	std::string fPath;
	status_t fInit = B_NO_INIT;
};
