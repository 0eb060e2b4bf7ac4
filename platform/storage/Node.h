// An open file system node: file, directory or link, with attributes.
#pragma once

#include <StorageDefs.h>
#include <SupportDefs.h>

#include <sys/stat.h>

struct entry_ref;
class BEntry;

class BNode {
public:
	BNode();
	explicit BNode(const entry_ref* ref);
	explicit BNode(const BEntry* entry);
	explicit BNode(const char* path);
	BNode(const BNode&) = delete;
	BNode& operator=(const BNode&) = delete;
	virtual ~BNode();

	status_t InitCheck() const { return fInit; }
	status_t SetTo(const entry_ref* ref);
	status_t SetTo(const BEntry* entry);
	status_t SetTo(const char* path);
	virtual void Unset();

	status_t GetStat(struct stat* st) const;
	bool IsFile() const;
	bool IsDirectory() const;

	// Attributes are kept as user extended attributes where the file
	// system has them.
	ssize_t ReadAttr(const char* name, type_code type, off_t offset, void* buffer, size_t length);
	ssize_t WriteAttr(const char* name, type_code type, off_t offset, const void* buffer, size_t length);
	status_t RemoveAttr(const char* name);

	// The path the node was opened by.
	const char* PathName() const { return fPath; }

protected:
	// Opens path with the open(2) flags; a final link is followed.
	status_t OpenPath(const char* path, int flags, mode_t mode = 0644);
	int fFd = -1;
	status_t fInit = B_NO_INIT;

private:
	char* fPath = nullptr;
};
