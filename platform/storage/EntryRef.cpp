#include <Entry.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>

#include <sys/stat.h>
#include <unistd.h>

namespace {

std::mutex sDirectoryLock;
std::map<std::pair<dev_t, ino_t>, std::string>& Directories()
{
	static auto* directories = new std::map<std::pair<dev_t, ino_t>, std::string>;
	return *directories;
}

void PutU32(std::vector<uint8>& out, uint32 v)
{
	for (int i = 0; i < 4; i++)
		out.push_back(uint8(v >> (8 * i)));
}

void PutU64(std::vector<uint8>& out, uint64 v)
{
	for (int i = 0; i < 8; i++)
		out.push_back(uint8(v >> (8 * i)));
}

}  // namespace

entry_ref::entry_ref() : device(-1), directory(-1), name(nullptr) {}

entry_ref::entry_ref(dev_t dev, ino_t dir, const char* leaf)
	: device(dev), directory(dir), name(nullptr)
{
	set_name(leaf);
}

entry_ref::entry_ref(const entry_ref& other)
	: device(other.device), directory(other.directory), name(nullptr)
{
	set_name(other.name);
}

entry_ref::~entry_ref() { free(name); }

status_t entry_ref::set_name(const char* leaf)
{
	free(name);
	name = leaf ? strdup(leaf) : nullptr;
	return B_OK;
}

bool entry_ref::operator==(const entry_ref& other) const
{
	return device == other.device && directory == other.directory
		&& (name == other.name || (name && other.name && strcmp(name, other.name) == 0));
}

bool entry_ref::operator!=(const entry_ref& other) const { return !(*this == other); }

entry_ref& entry_ref::operator=(const entry_ref& other)
{
	if (this != &other) {
		device = other.device;
		directory = other.directory;
		set_name(other.name);
	}
	return *this;
}

void platform_remember_directory(dev_t device, ino_t directory, const std::string& path)
{
	std::lock_guard<std::mutex> guard(sDirectoryLock);
	Directories()[{device, directory}] = path;
}

status_t get_ref_for_path(const char* path, entry_ref* ref, bool traverse)
{
	if (!path || !*path || !ref)
		return B_BAD_VALUE;
	std::string full(path);
	if (traverse) {
		char resolved[PATH_MAX];
		if (realpath(path, resolved))
			full = resolved;
	}
	if (full[0] != '/') {
		char cwd[PATH_MAX];
		if (!getcwd(cwd, sizeof(cwd)))
			return B_ERROR;
		full = std::string(cwd) + "/" + full;
	}
	while (full.size() > 1 && full.back() == '/')
		full.pop_back();
	size_t slash = full.rfind('/');
	std::string dir = slash == 0 ? "/" : full.substr(0, slash);
	std::string leaf = full.substr(slash + 1);
	if (leaf.empty())
		leaf.push_back('.');
	char resolvedDir[PATH_MAX];
	if (!realpath(dir.c_str(), resolvedDir))
		return B_ENTRY_NOT_FOUND;
	struct stat st;
	if (stat(resolvedDir, &st) != 0)
		return B_ENTRY_NOT_FOUND;
	if (!S_ISDIR(st.st_mode))
		return B_NOT_A_DIRECTORY;
	platform_remember_directory(st.st_dev, st.st_ino, resolvedDir);
	ref->device = st.st_dev;
	ref->directory = st.st_ino;
	ref->set_name(leaf.c_str());
	return B_OK;
}

status_t platform_path_for_ref(const entry_ref& ref, std::string* path)
{
	if (!path || !ref.name)
		return B_BAD_VALUE;
	std::lock_guard<std::mutex> guard(sDirectoryLock);
	auto it = Directories().find({ref.device, ref.directory});
	if (it == Directories().end())
		return B_ENTRY_NOT_FOUND;
	const std::string& dir = it->second;
	path->assign(dir);
	if (path->empty() || path->back() != '/')
		path->push_back('/');
	path->append(ref.name);
	return B_OK;
}

// Layout: u64 device, u64 directory, u32 directory path length and bytes,
// u32 name length and bytes. The path lets another process resolve it.
std::vector<uint8> platform_flatten_entry_ref(const entry_ref& ref)
{
	std::vector<uint8> out;
	std::string dir;
	{
		std::lock_guard<std::mutex> guard(sDirectoryLock);
		auto it = Directories().find({ref.device, ref.directory});
		if (it != Directories().end())
			dir = it->second;
	}
	std::string name = ref.name ? ref.name : "";
	PutU64(out, uint64(ref.device));
	PutU64(out, uint64(ref.directory));
	PutU32(out, uint32(dir.size()));
	out.insert(out.end(), dir.begin(), dir.end());
	PutU32(out, uint32(name.size()));
	out.insert(out.end(), name.begin(), name.end());
	return out;
}

status_t platform_unflatten_entry_ref(const uint8* data, size_t size, entry_ref* ref)
{
	if (!data || !ref)
		return B_BAD_VALUE;
	size_t pos = 0;
	auto u64 = [&](uint64* v) {
		if (size - pos < 8)
			return false;
		*v = 0;
		for (int i = 0; i < 8; i++)
			*v |= uint64(data[pos + i]) << (8 * i);
		pos += 8;
		return true;
	};
	auto str = [&](std::string* s) {
		if (size - pos < 4)
			return false;
		uint32 n = uint32(data[pos]) | uint32(data[pos + 1]) << 8 | uint32(data[pos + 2]) << 16
			| uint32(data[pos + 3]) << 24;
		pos += 4;
		if (n > size - pos)
			return false;
		s->assign(reinterpret_cast<const char*>(data + pos), n);
		pos += n;
		return true;
	};
	uint64 device, directory;
	std::string dir, name;
	if (!u64(&device) || !u64(&directory) || !str(&dir) || !str(&name) || pos != size)
		return B_BAD_DATA;
	if (name.find('\0') != std::string::npos || name.find('/') != std::string::npos)
		return B_BAD_DATA;
	if (!dir.empty()) {
		// Prefer the directory's identity on this machine, if it exists.
		struct stat st;
		if (stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
			device = uint64(st.st_dev);
			directory = uint64(st.st_ino);
		}
		platform_remember_directory(dev_t(device), ino_t(directory), dir);
	}
	ref->device = dev_t(device);
	ref->directory = ino_t(directory);
	ref->set_name(name.c_str());
	return B_OK;
}
