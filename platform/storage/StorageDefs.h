// Limits and open modes of the storage kit.
#pragma once

#include <cstdint>

#include <fcntl.h>

#define B_FILE_NAME_LENGTH 256
#define B_PATH_NAME_LENGTH 1024
#define B_ATTR_NAME_LENGTH 256

// Open modes of BFile, combinable with |.
enum : uint32_t {
	B_READ_ONLY = O_RDONLY,
	B_WRITE_ONLY = O_WRONLY,
	B_READ_WRITE = O_RDWR,
	B_FAIL_IF_EXISTS = O_EXCL,
	B_CREATE_FILE = O_CREAT,
	B_ERASE_FILE = O_TRUNC,
	B_OPEN_AT_END = O_APPEND,
};

// Kinds of node a file panel lists.
enum node_flavor {
	B_FILE_NODE = 0x01,
	B_SYMLINK_NODE = 0x02,
	B_DIRECTORY_NODE = 0x04,
	B_ANY_NODE = 0x07,
};
