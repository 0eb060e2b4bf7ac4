// Absolute, normalised path names.
#pragma once

#include <StorageDefs.h>
#include <SupportDefs.h>

#include <string>

struct entry_ref;
class BDirectory;
class BEntry;

class BPath {
public:
	BPath();
	BPath(const BPath& other);
	explicit BPath(const entry_ref* ref);
	explicit BPath(const BEntry* entry);
	// A relative path is taken from the working directory; with leaf, the
	// leaf is appended. With normalize, "." and ".." are resolved.
	BPath(const char* dir, const char* leaf = nullptr, bool normalize = false);
	BPath(const BDirectory* dir, const char* leaf, bool normalize = false);
	~BPath();

	status_t InitCheck() const { return fInit; }
	status_t SetTo(const entry_ref* ref);
	status_t SetTo(const BEntry* entry);
	status_t SetTo(const char* path, const char* leaf = nullptr, bool normalize = false);
	status_t SetTo(const BDirectory* dir, const char* leaf, bool normalize = false);
	void Unset();

	status_t Append(const char* path, bool normalize = false);

	// Null when the path is not initialised.
	const char* Path() const;
	const char* Leaf() const;
	status_t GetParent(BPath* path) const;

	BPath& operator=(const BPath& other);
	BPath& operator=(const char* path);
	bool operator==(const BPath& other) const;
	bool operator==(const char* path) const;
	bool operator!=(const BPath& other) const { return !(*this == other); }

private:
	std::string fPath;
	status_t fInit = B_NO_INIT;
};
