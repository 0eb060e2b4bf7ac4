// Entries, paths, nodes, files and directories on the POSIX file system.

#include <Directory.h>
#include <Entry.h>
#include <File.h>
#include <FindDirectory.h>
#include <MimeType.h>
#include <NodeInfo.h>
#include <Path.h>

#include <Errors.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <pwd.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

std::string CurrentDirectory()
{
	char cwd[PATH_MAX];
	return getcwd(cwd, sizeof(cwd)) ? std::string(cwd) : std::string("/");
}

// Makes path absolute and resolves ".", ".." and repeated slashes without
// looking at the file system.
std::string Normalize(const std::string& path)
{
	std::string full = !path.empty() && path[0] == '/' ? path : CurrentDirectory() + "/" + path;
	std::vector<std::string> parts;
	size_t pos = 0;
	while (pos <= full.size()) {
		size_t slash = full.find('/', pos);
		if (slash == std::string::npos)
			slash = full.size();
		std::string part = full.substr(pos, slash - pos);
		if (part == "..") {
			if (!parts.empty())
				parts.pop_back();
		} else if (!part.empty() && part != ".") {
			parts.push_back(part);
		}
		pos = slash + 1;
	}
	std::string out;
	for (const std::string& part : parts)
		out += "/" + part;
	return out.empty() ? "/" : out;
}

std::string ParentOf(const std::string& path)
{
	size_t slash = path.rfind('/');
	if (slash == 0 || slash == std::string::npos)
		return "/";
	return path.substr(0, slash);
}

std::string LeafOf(const std::string& path)
{
	size_t slash = path.rfind('/');
	return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Join(const std::string& dir, const std::string& leaf)
{
	if (!leaf.empty() && leaf[0] == '/')
		return leaf;
	return dir == "/" ? "/" + leaf : dir + "/" + leaf;
}

status_t FromErrno()
{
	return errno_to_status(errno);
}

bool IsDirectoryPath(const std::string& path)
{
	struct stat st;
	return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

// ---- BEntry

BEntry::BEntry() = default;

BEntry::BEntry(const BDirectory* dir, const char* path, bool traverse)
{
	SetTo(dir, path, traverse);
}

BEntry::BEntry(const entry_ref* ref, bool traverse)
{
	SetTo(ref, traverse);
}

BEntry::BEntry(const char* path, bool traverse)
{
	SetTo(path, traverse);
}

BEntry::BEntry(const BEntry& other) : fPath(other.fPath), fInit(other.fInit) {}

BEntry::~BEntry() = default;

BEntry& BEntry::operator=(const BEntry& other)
{
	fPath = other.fPath;
	fInit = other.fInit;
	return *this;
}

bool BEntry::operator==(const BEntry& other) const
{
	if (fInit != B_OK || other.fInit != B_OK)
		return fInit == other.fInit;
	return fPath == other.fPath;
}

status_t BEntry::SetToPath(std::string path, bool traverse)
{
	fPath.clear();
	path = Normalize(path);
	if (traverse) {
		// Follow a chain of final links; a loop ends at the limit.
		for (int hops = 0;; hops++) {
			struct stat st;
			if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
				break;
			if (hops >= 16)
				return fInit = B_LINK_LIMIT;
			char target[PATH_MAX];
			ssize_t n = readlink(path.c_str(), target, sizeof(target) - 1);
			if (n < 0)
				return fInit = FromErrno();
			target[n] = '\0';
			path = Normalize(Join(ParentOf(path), target));
		}
	}
	if (path != "/" && !IsDirectoryPath(ParentOf(path)))
		return fInit = B_ENTRY_NOT_FOUND;
	fPath = path;
	return fInit = B_OK;
}

status_t BEntry::SetTo(const BDirectory* dir, const char* path, bool traverse)
{
	if (!dir || !path || dir->InitCheck() != B_OK)
		return fInit = B_BAD_VALUE;
	return SetToPath(Join(dir->PathName(), path), traverse);
}

status_t BEntry::SetTo(const entry_ref* ref, bool traverse)
{
	std::string path;
	if (!ref || platform_path_for_ref(*ref, &path) != B_OK)
		return fInit = B_BAD_VALUE;
	return SetToPath(path, traverse);
}

status_t BEntry::SetTo(const char* path, bool traverse)
{
	if (!path || !*path)
		return fInit = B_BAD_VALUE;
	return SetToPath(path, traverse);
}

void BEntry::Unset()
{
	fPath.clear();
	fInit = B_NO_INIT;
}

bool BEntry::Exists() const
{
	struct stat st;
	return fInit == B_OK && lstat(fPath.c_str(), &st) == 0;
}

status_t BEntry::GetStat(struct stat* st) const
{
	if (fInit != B_OK)
		return B_NO_INIT;
	return lstat(fPath.c_str(), st) == 0 ? B_OK : FromErrno();
}

bool BEntry::IsFile() const
{
	struct stat st;
	return GetStat(&st) == B_OK && S_ISREG(st.st_mode);
}

bool BEntry::IsDirectory() const
{
	struct stat st;
	return GetStat(&st) == B_OK && S_ISDIR(st.st_mode);
}

bool BEntry::IsSymLink() const
{
	struct stat st;
	return GetStat(&st) == B_OK && S_ISLNK(st.st_mode);
}

status_t BEntry::GetRef(entry_ref* ref) const
{
	if (fInit != B_OK)
		return B_NO_INIT;
	return get_ref_for_path(fPath.c_str(), ref, false);
}

status_t BEntry::GetPath(BPath* path) const
{
	if (fInit != B_OK || !path)
		return B_NO_INIT;
	return path->SetTo(fPath.c_str());
}

status_t BEntry::GetParent(BEntry* entry) const
{
	if (fInit != B_OK || !entry)
		return B_NO_INIT;
	if (fPath == "/")
		return B_ENTRY_NOT_FOUND;
	return entry->SetToPath(ParentOf(fPath), false);
}

status_t BEntry::GetParent(BDirectory* dir) const
{
	if (fInit != B_OK || !dir)
		return B_NO_INIT;
	if (fPath == "/")
		return B_ENTRY_NOT_FOUND;
	return dir->SetTo(ParentOf(fPath).c_str());
}

status_t BEntry::GetName(char* buffer) const
{
	if (fInit != B_OK || !buffer)
		return B_NO_INIT;
	std::string leaf = fPath == "/" ? "/" : LeafOf(fPath);
	strncpy(buffer, leaf.c_str(), B_FILE_NAME_LENGTH - 1);
	buffer[B_FILE_NAME_LENGTH - 1] = '\0';
	return B_OK;
}

status_t BEntry::Remove()
{
	if (fInit != B_OK)
		return B_NO_INIT;
	int result = IsDirectory() ? rmdir(fPath.c_str()) : unlink(fPath.c_str());
	return result == 0 ? B_OK : FromErrno();
}

// ---- BPath

BPath::BPath() = default;
BPath::BPath(const BPath& other) : fPath(other.fPath), fInit(other.fInit) {}
BPath::BPath(const entry_ref* ref) { SetTo(ref); }
BPath::BPath(const BEntry* entry) { SetTo(entry); }
BPath::BPath(const char* dir, const char* leaf, bool normalize) { SetTo(dir, leaf, normalize); }
BPath::BPath(const BDirectory* dir, const char* leaf, bool normalize) { SetTo(dir, leaf, normalize); }
BPath::~BPath() = default;

status_t BPath::SetTo(const entry_ref* ref)
{
	fPath.clear();
	std::string path;
	if (!ref || platform_path_for_ref(*ref, &path) != B_OK)
		return fInit = B_BAD_VALUE;
	fPath = Normalize(path);
	return fInit = B_OK;
}

status_t BPath::SetTo(const BEntry* entry)
{
	fPath.clear();
	if (!entry || entry->InitCheck() != B_OK)
		return fInit = B_BAD_VALUE;
	fPath = entry->PlatformPath();
	return fInit = B_OK;
}

status_t BPath::SetTo(const char* path, const char* leaf, bool normalize)
{
	fPath.clear();
	if (!path || !*path)
		return fInit = B_BAD_VALUE;
	if (leaf && leaf[0] == '/')
		return fInit = B_BAD_VALUE;
	std::string full = path;
	if (full[0] != '/')
		full = CurrentDirectory() + "/" + full;
	if (leaf && *leaf)
		full = Join(full, leaf);
	if (normalize) {
		full = Normalize(full);
	} else {
		while (full.size() > 1 && full.back() == '/')
			full.pop_back();
	}
	fPath = full;
	return fInit = B_OK;
}

status_t BPath::SetTo(const BDirectory* dir, const char* leaf, bool normalize)
{
	if (!dir || dir->InitCheck() != B_OK)
		return fInit = B_BAD_VALUE;
	return SetTo(dir->PathName(), leaf, normalize);
}

void BPath::Unset()
{
	fPath.clear();
	fInit = B_NO_INIT;
}

status_t BPath::Append(const char* path, bool normalize)
{
	if (fInit != B_OK)
		return B_NO_INIT;
	if (!path || path[0] == '/')
		return B_BAD_VALUE;
	std::string base = fPath;
	return SetTo(base.c_str(), path, normalize);
}

const char* BPath::Path() const
{
	return fInit == B_OK ? fPath.c_str() : nullptr;
}

const char* BPath::Leaf() const
{
	if (fInit != B_OK)
		return nullptr;
	if (fPath == "/")
		return "";
	return fPath.c_str() + fPath.rfind('/') + 1;
}

status_t BPath::GetParent(BPath* path) const
{
	if (fInit != B_OK || !path)
		return B_NO_INIT;
	if (fPath == "/")
		return B_ENTRY_NOT_FOUND;
	return path->SetTo(ParentOf(fPath).c_str());
}

BPath& BPath::operator=(const BPath& other)
{
	fPath = other.fPath;
	fInit = other.fInit;
	return *this;
}

BPath& BPath::operator=(const char* path)
{
	if (path)
		SetTo(path);
	else
		Unset();
	return *this;
}

bool BPath::operator==(const BPath& other) const
{
	return fInit == other.fInit && fPath == other.fPath;
}

bool BPath::operator==(const char* path) const
{
	return path && fInit == B_OK && fPath == path;
}

// ---- BNode

BNode::BNode() = default;
BNode::BNode(const entry_ref* ref) { SetTo(ref); }
BNode::BNode(const BEntry* entry) { SetTo(entry); }
BNode::BNode(const char* path) { SetTo(path); }

BNode::~BNode()
{
	Unset();
}

status_t BNode::OpenPath(const char* path, int flags, mode_t mode)
{
	Unset();
	if (!path || !*path)
		return fInit = B_BAD_VALUE;
	fFd = open(path, flags | O_CLOEXEC, mode);
	if (fFd < 0)
		return fInit = FromErrno();
	fPath = strdup(Normalize(path).c_str());
	return fInit = B_OK;
}

status_t BNode::SetTo(const entry_ref* ref)
{
	std::string path;
	if (!ref || platform_path_for_ref(*ref, &path) != B_OK) {
		Unset();
		return fInit = B_BAD_VALUE;
	}
	return OpenPath(path.c_str(), O_RDONLY);
}

status_t BNode::SetTo(const BEntry* entry)
{
	if (!entry || entry->InitCheck() != B_OK) {
		Unset();
		return fInit = B_BAD_VALUE;
	}
	return OpenPath(entry->PlatformPath().c_str(), O_RDONLY);
}

status_t BNode::SetTo(const char* path)
{
	return OpenPath(path, O_RDONLY);
}

void BNode::Unset()
{
	if (fFd >= 0)
		close(fFd);
	fFd = -1;
	free(fPath);
	fPath = nullptr;
	fInit = B_NO_INIT;
}

status_t BNode::GetStat(struct stat* st) const
{
	if (fInit != B_OK)
		return B_NO_INIT;
	return fstat(fFd, st) == 0 ? B_OK : FromErrno();
}

bool BNode::IsFile() const
{
	struct stat st;
	return GetStat(&st) == B_OK && S_ISREG(st.st_mode);
}

bool BNode::IsDirectory() const
{
	struct stat st;
	return GetStat(&st) == B_OK && S_ISDIR(st.st_mode);
}

ssize_t BNode::ReadAttr(const char* name, type_code, off_t offset, void* buffer, size_t length)
{
	if (fInit != B_OK)
		return B_NO_INIT;
	if (!name || offset < 0)
		return B_BAD_VALUE;
	std::string key = std::string("user.") + name;
	ssize_t size = fgetxattr(fFd, key.c_str(), nullptr, 0);
	if (size < 0)
		return errno == ENODATA ? B_ENTRY_NOT_FOUND : FromErrno();
	std::vector<uint8> all(static_cast<size_t>(size));
	size = fgetxattr(fFd, key.c_str(), all.data(), all.size());
	if (size < 0)
		return FromErrno();
	if (offset >= size)
		return 0;
	size_t n = std::min(length, size_t(size - offset));
	memcpy(buffer, all.data() + offset, n);
	return ssize_t(n);
}

ssize_t BNode::WriteAttr(const char* name, type_code, off_t offset, const void* buffer, size_t length)
{
	if (fInit != B_OK)
		return B_NO_INIT;
	if (!name || offset != 0)
		return B_BAD_VALUE;
	std::string key = std::string("user.") + name;
	if (fsetxattr(fFd, key.c_str(), buffer, length, 0) != 0)
		return FromErrno();
	return ssize_t(length);
}

status_t BNode::RemoveAttr(const char* name)
{
	if (fInit != B_OK)
		return B_NO_INIT;
	std::string key = std::string("user.") + name;
	return fremovexattr(fFd, key.c_str()) == 0 ? B_OK : FromErrno();
}

// ---- BNodeInfo

namespace {
const char kTypeAttribute[] = "VTL:TYPE";
}

BNodeInfo::BNodeInfo() = default;
BNodeInfo::BNodeInfo(BNode* node) { SetTo(node); }
BNodeInfo::~BNodeInfo() = default;

status_t BNodeInfo::SetTo(BNode* node)
{
	fNode = node && node->InitCheck() == B_OK ? node : nullptr;
	return fNode ? B_OK : B_BAD_VALUE;
}

status_t BNodeInfo::GetType(char* type) const
{
	if (!fNode)
		return B_NO_INIT;
	if (!type)
		return B_BAD_VALUE;
	char stored[B_MIME_TYPE_LENGTH];
	ssize_t n = fNode->ReadAttr(kTypeAttribute, 'MIMS', 0, stored, sizeof(stored) - 1);
	if (n > 0) {
		stored[n] = '\0';
		size_t len = strnlen(stored, size_t(n));
		stored[len] = '\0';
		if (BMimeType::IsValid(stored)) {
			strcpy(type, stored);
			return B_OK;
		}
	}
	if (fNode->IsDirectory()) {
		strcpy(type, "application/x-vnd.Be-directory");
		return B_OK;
	}
	BMimeType guess;
	status_t result = BMimeType::GuessMimeType(fNode->PathName(), &guess);
	if (result != B_OK)
		return result;
	strcpy(type, guess.Type());
	return B_OK;
}

status_t BNodeInfo::SetType(const char* type)
{
	if (!fNode)
		return B_NO_INIT;
	if (!type)
		return fNode->RemoveAttr(kTypeAttribute);
	if (!BMimeType::IsValid(type))
		return B_BAD_VALUE;
	ssize_t n = fNode->WriteAttr(kTypeAttribute, 'MIMS', 0, type, strlen(type) + 1);
	return n < 0 ? status_t(n) : B_OK;
}

// ---- BFile

BFile::BFile() = default;
BFile::BFile(const entry_ref* ref, uint32 openMode) { SetTo(ref, openMode); }
BFile::BFile(const BEntry* entry, uint32 openMode) { SetTo(entry, openMode); }
BFile::BFile(const char* path, uint32 openMode) { SetTo(path, openMode); }
BFile::~BFile() = default;

status_t BFile::SetTo(const entry_ref* ref, uint32 openMode)
{
	std::string path;
	if (!ref || platform_path_for_ref(*ref, &path) != B_OK) {
		Unset();
		return fInit = B_BAD_VALUE;
	}
	return SetTo(path.c_str(), openMode);
}

status_t BFile::SetTo(const BEntry* entry, uint32 openMode)
{
	if (!entry || entry->InitCheck() != B_OK) {
		Unset();
		return fInit = B_BAD_VALUE;
	}
	return SetTo(entry->PlatformPath().c_str(), openMode);
}

status_t BFile::SetTo(const char* path, uint32 openMode)
{
	status_t result = OpenPath(path, int(openMode));
	if (result == B_OK && IsDirectory()) {
		Unset();
		return fInit = B_IS_A_DIRECTORY;
	}
	if (result == B_OK)
		fMode = openMode;
	return result;
}

void BFile::Unset()
{
	BNode::Unset();
	fMode = 0;
}

bool BFile::IsReadable() const
{
	uint32 access = fMode & O_ACCMODE;
	return fInit == B_OK && (access == O_RDONLY || access == O_RDWR);
}

bool BFile::IsWritable() const
{
	uint32 access = fMode & O_ACCMODE;
	return fInit == B_OK && (access == O_WRONLY || access == O_RDWR);
}

ssize_t BFile::Read(void* buffer, size_t size)
{
	if (fInit != B_OK)
		return B_NO_INIT;
	ssize_t n = read(fFd, buffer, size);
	return n < 0 ? FromErrno() : n;
}

ssize_t BFile::Write(const void* buffer, size_t size)
{
	if (fInit != B_OK)
		return B_NO_INIT;
	ssize_t n = write(fFd, buffer, size);
	return n < 0 ? FromErrno() : n;
}

ssize_t BFile::ReadAt(off_t position, void* buffer, size_t size)
{
	if (fInit != B_OK)
		return B_NO_INIT;
	if (position < 0)
		return B_BAD_VALUE;
	ssize_t n = pread(fFd, buffer, size, position);
	return n < 0 ? FromErrno() : n;
}

ssize_t BFile::WriteAt(off_t position, const void* buffer, size_t size)
{
	if (fInit != B_OK)
		return B_NO_INIT;
	if (position < 0)
		return B_BAD_VALUE;
	ssize_t n = pwrite(fFd, buffer, size, position);
	return n < 0 ? FromErrno() : n;
}

off_t BFile::Seek(off_t position, uint32 seekMode)
{
	if (fInit != B_OK)
		return B_NO_INIT;
	off_t result = lseek(fFd, position, int(seekMode));
	return result < 0 ? FromErrno() : result;
}

off_t BFile::Position() const
{
	if (fInit != B_OK)
		return B_NO_INIT;
	off_t result = lseek(fFd, 0, SEEK_CUR);
	return result < 0 ? FromErrno() : result;
}

status_t BFile::SetSize(off_t size)
{
	if (fInit != B_OK)
		return B_NO_INIT;
	return ftruncate(fFd, size) == 0 ? B_OK : FromErrno();
}

status_t BFile::GetSize(off_t* size) const
{
	struct stat st;
	status_t result = GetStat(&st);
	if (result == B_OK && size)
		*size = st.st_size;
	return result;
}

// ---- BDirectory

BDirectory::BDirectory() = default;
BDirectory::BDirectory(const entry_ref* ref) { SetTo(ref); }
BDirectory::BDirectory(const BEntry* entry) { SetTo(entry); }
BDirectory::BDirectory(const char* path) { SetTo(path); }

BDirectory::~BDirectory()
{
	Unset();
}

status_t BDirectory::SetTo(const entry_ref* ref)
{
	std::string path;
	if (!ref || platform_path_for_ref(*ref, &path) != B_OK) {
		Unset();
		return fInit = B_BAD_VALUE;
	}
	return SetTo(path.c_str());
}

status_t BDirectory::SetTo(const BEntry* entry)
{
	if (!entry || entry->InitCheck() != B_OK) {
		Unset();
		return fInit = B_BAD_VALUE;
	}
	return SetTo(entry->PlatformPath().c_str());
}

status_t BDirectory::SetTo(const char* path)
{
	Unset();
	status_t result = OpenPath(path, O_RDONLY | O_DIRECTORY);
	if (result != B_OK)
		return result == B_ERROR ? (fInit = B_NOT_A_DIRECTORY) : result;
	return B_OK;
}

void BDirectory::Unset()
{
	if (fDir)
		closedir(fDir);
	fDir = nullptr;
	BNode::Unset();
}

std::string BDirectory::Resolve(const char* path) const
{
	return Join(PathName() ? PathName() : "/", path ? path : "");
}

status_t BDirectory::GetEntry(BEntry* entry) const
{
	if (fInit != B_OK || !entry)
		return B_NO_INIT;
	return entry->SetTo(PathName());
}

status_t BDirectory::FindEntry(const char* path, BEntry* entry, bool traverse) const
{
	if (fInit != B_OK || !entry)
		return B_NO_INIT;
	if (!path)
		return B_BAD_VALUE;
	status_t result = entry->SetTo(Resolve(path).c_str(), traverse);
	if (result == B_OK && !entry->Exists()) {
		entry->Unset();
		return B_ENTRY_NOT_FOUND;
	}
	return result;
}

bool BDirectory::Contains(const char* path, int32 nodeFlags) const
{
	if (fInit != B_OK || !path)
		return false;
	struct stat st;
	if (lstat(Resolve(path).c_str(), &st) != 0)
		return false;
	if (S_ISLNK(st.st_mode))
		return nodeFlags & B_SYMLINK_NODE;
	if (S_ISDIR(st.st_mode))
		return nodeFlags & B_DIRECTORY_NODE;
	return nodeFlags & B_FILE_NODE;
}

status_t BDirectory::GetNextRef(entry_ref* ref)
{
	BEntry entry;
	status_t result = GetNextEntry(&entry, false);
	return result == B_OK ? entry.GetRef(ref) : result;
}

status_t BDirectory::GetNextEntry(BEntry* entry, bool traverse)
{
	if (fInit != B_OK || !entry)
		return B_NO_INIT;
	if (!fDir) {
		int fd = dup(fFd);
		if (fd < 0 || !(fDir = fdopendir(fd))) {
			if (fd >= 0)
				close(fd);
			return FromErrno();
		}
		rewinddir(fDir);
	}
	while (dirent* d = readdir(fDir)) {
		if (strcmp(d->d_name, ".") == 0 || strcmp(d->d_name, "..") == 0)
			continue;
		return entry->SetTo(Resolve(d->d_name).c_str(), traverse);
	}
	return B_ENTRY_NOT_FOUND;
}

status_t BDirectory::Rewind()
{
	if (fInit != B_OK)
		return B_NO_INIT;
	if (fDir)
		rewinddir(fDir);
	return B_OK;
}

int32 BDirectory::CountEntries() const
{
	if (fInit != B_OK)
		return B_NO_INIT;
	DIR* dir = opendir(PathName());
	if (!dir)
		return FromErrno();
	int32 n = 0;
	while (dirent* d = readdir(dir))
		if (strcmp(d->d_name, ".") != 0 && strcmp(d->d_name, "..") != 0)
			n++;
	closedir(dir);
	return n;
}

status_t BDirectory::CreateFile(const char* path, BFile* file, bool failIfExists)
{
	if (fInit != B_OK)
		return B_NO_INIT;
	if (!path)
		return B_BAD_VALUE;
	uint32 mode = B_READ_WRITE | B_CREATE_FILE | B_ERASE_FILE | (failIfExists ? uint32(B_FAIL_IF_EXISTS) : 0u);
	BFile local;
	BFile* target = file ? file : &local;
	return target->SetTo(Resolve(path).c_str(), mode);
}

status_t BDirectory::CreateDirectory(const char* path, BDirectory* dir)
{
	if (fInit != B_OK)
		return B_NO_INIT;
	if (!path)
		return B_BAD_VALUE;
	std::string full = Resolve(path);
	if (mkdir(full.c_str(), 0755) != 0)
		return FromErrno();
	return dir ? dir->SetTo(full.c_str()) : B_OK;
}

bool BDirectory::IsRootDirectory() const
{
	return fInit == B_OK && PathName() && strcmp(PathName(), "/") == 0;
}

status_t create_directory(const char* path, mode_t mode)
{
	if (!path || !*path)
		return B_BAD_VALUE;
	std::string full = Normalize(path);
	std::string built;
	size_t pos = 1;
	while (pos <= full.size()) {
		size_t slash = full.find('/', pos);
		if (slash == std::string::npos)
			slash = full.size();
		built = full.substr(0, slash);
		if (!IsDirectoryPath(built) && mkdir(built.c_str(), mode) != 0 && errno != EEXIST)
			return FromErrno();
		pos = slash + 1;
	}
	return IsDirectoryPath(full) ? status_t(B_OK) : status_t(B_NOT_A_DIRECTORY);
}

// ---- find_directory

status_t find_directory(directory_which which, BPath* path, bool createIt, BVolume*)
{
	if (!path)
		return B_BAD_VALUE;
	std::string home;
	if (const char* env = getenv("HOME"); env && *env) {
		home = env;
	} else if (passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) {
		home = pw->pw_dir;
	} else {
		return B_ENTRY_NOT_FOUND;
	}
	std::string result;
	switch (which) {
		case B_USER_DIRECTORY: result = home; break;
		case B_USER_CONFIG_DIRECTORY: result = home + "/.config"; break;
		case B_USER_SETTINGS_DIRECTORY: result = home + "/.config/vantrel"; break;
		case B_USER_DATA_DIRECTORY: result = home + "/.local/share/vantrel"; break;
		case B_SYSTEM_TEMP_DIRECTORY: {
			const char* tmp = getenv("TMPDIR");
			result = tmp && *tmp ? tmp : "/tmp";
			break;
		}
		default: return B_BAD_VALUE;
	}
	if (createIt) {
		status_t made = create_directory(result.c_str(), 0755);
		if (made != B_OK)
			return made;
	}
	return path->SetTo(result.c_str());
}

// ---- BMimeType

namespace {

bool IsTokenChar(char c)
{
	return c > ' ' && c < 0x7f && !strchr("()<>@,;:\\\"/[]?=", c);
}

}  // namespace

BMimeType::BMimeType() = default;
BMimeType::BMimeType(const char* type) { SetTo(type); }
BMimeType::~BMimeType() = default;

bool BMimeType::IsValid(const char* type)
{
	if (!type || !*type || strlen(type) >= B_MIME_TYPE_LENGTH)
		return false;
	int slashes = 0;
	size_t partLength = 0;
	for (const char* p = type; *p; p++) {
		if (*p == '/') {
			if (++slashes > 1 || partLength == 0)
				return false;
			partLength = 0;
		} else if (!IsTokenChar(*p)) {
			return false;
		} else {
			partLength++;
		}
	}
	return partLength > 0;
}

status_t BMimeType::SetTo(const char* type)
{
	if (!IsValid(type)) {
		Unset();
		return fInit = B_BAD_VALUE;
	}
	fType = type;
	for (char& c : fType)
		c = char(tolower(uint8(c)));
	return fInit = B_OK;
}

void BMimeType::Unset()
{
	fType.clear();
	fInit = B_NO_INIT;
}

const char* BMimeType::Type() const
{
	return fInit == B_OK ? fType.c_str() : nullptr;
}

bool BMimeType::IsSupertypeOnly() const
{
	return fInit == B_OK && fType.find('/') == std::string::npos;
}

status_t BMimeType::GetSupertype(BMimeType* supertype) const
{
	if (fInit != B_OK || !supertype)
		return B_NO_INIT;
	if (IsSupertypeOnly())
		return B_BAD_VALUE;
	return supertype->SetTo(fType.substr(0, fType.find('/')).c_str());
}

bool BMimeType::Contains(const BMimeType* type) const
{
	if (fInit != B_OK || !type || type->fInit != B_OK)
		return false;
	if (fType == type->fType)
		return true;
	return IsSupertypeOnly() && type->fType.compare(0, fType.size() + 1, fType + "/") == 0;
}

bool BMimeType::operator==(const BMimeType& other) const
{
	return fInit == other.fInit && fType == other.fType;
}

bool BMimeType::operator==(const char* type) const
{
	BMimeType other(type);
	return *this == other;
}

status_t BMimeType::GuessMimeType(const void* buffer, int32 length, BMimeType* type)
{
	if (!type || (!buffer && length > 0) || length < 0)
		return B_BAD_VALUE;
	const uint8* bytes = static_cast<const uint8*>(buffer);
	// Text: no control bytes other than white space, and valid UTF-8.
	bool text = true;
	for (int32 i = 0; i < length && text;) {
		uint8 c = bytes[i];
		if (c < 0x80) {
			text = c >= 0x20 || c == '\n' || c == '\r' || c == '\t' || c == '\f';
			i++;
			continue;
		}
		int more = (c & 0xE0) == 0xC0 ? 1 : (c & 0xF0) == 0xE0 ? 2 : (c & 0xF8) == 0xF0 ? 3 : -1;
		if (more < 0)
			return type->SetTo("application/octet-stream");
		for (int k = 1; k <= more; k++) {
			if (i + k >= length)
				break;  // a character cut at the end of the sample
			if ((bytes[i + k] & 0xC0) != 0x80)
				text = false;
		}
		i += more + 1;
	}
	return type->SetTo(text ? "text/plain" : "application/octet-stream");
}

status_t BMimeType::GuessMimeType(const char* path, BMimeType* type)
{
	if (!path || !type)
		return B_BAD_VALUE;
	static const struct {
		const char* extension;
		const char* type;
	} kKnown[] = {
		{".mid", "audio/midi"}, {".midi", "audio/midi"}, {".json", "application/json"},
		{".html", "text/html"}, {".txt", "text/plain"}, {".sh", "text/x-shellscript"},
		{".py", "text/x-python"}, {".c", "text/x-source-code"}, {".cpp", "text/x-source-code"},
		{".h", "text/x-source-code"},
	};
	std::string leaf = LeafOf(path);
	size_t dot = leaf.rfind('.');
	if (dot != std::string::npos && dot > 0) {
		std::string extension = leaf.substr(dot);
		for (char& c : extension)
			c = char(tolower(uint8(c)));
		for (const auto& known : kKnown)
			if (extension == known.extension)
				return type->SetTo(known.type);
	}
	int fd = open(path, O_RDONLY | O_CLOEXEC);
	if (fd < 0)
		return FromErrno();
	uint8 sample[512];
	ssize_t n = read(fd, sample, sizeof(sample));
	close(fd);
	if (n < 0)
		return FromErrno();
	return GuessMimeType(sample, int32(n), type);
}
