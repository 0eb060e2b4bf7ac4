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
