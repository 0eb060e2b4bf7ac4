// Application information kept in a file's resources: signature, version
// record and icons.
#pragma once

#include <Resources.h>

#include <string>

#define B_MIME_TYPE_LENGTH 256

struct version_info {
	uint32 major;
	uint32 middle;
	uint32 minor;
	uint32 variety;
	uint32 internal;
	char short_info[64];
	char long_info[256];
};

enum version_kind {
	B_APP_VERSION_KIND = 0,
	B_SYSTEM_VERSION_KIND = 1,
};

enum icon_size {
	B_MINI_ICON = 16,
	B_LARGE_ICON = 32,
};

// Resource ids and names of the standard entries.
#define B_APP_SIGNATURE_RESOURCE_NAME "VTL:APP_SIG"
#define B_APP_VERSION_RESOURCE_NAME "VTL:APP_VERSION"
#define B_MINI_ICON_RESOURCE_NAME "VTL:M:STD_ICON"
#define B_LARGE_ICON_RESOURCE_NAME "VTL:L:STD_ICON"
#define B_VECTOR_ICON_RESOURCE_NAME "VTL:ICON"

class BAppFileInfo {
public:
	BAppFileInfo();
	explicit BAppFileInfo(const char* path);
	~BAppFileInfo();

	status_t SetTo(const char* path);
	status_t InitCheck() const { return fResources.InitCheck(); }

	status_t GetSignature(char* signature) const;
	status_t GetVersionInfo(version_info* info, version_kind kind) const;
	// Copies the raw icon bits (8-bit colour map indices, size*size bytes).
	status_t GetIconData(icon_size size, std::vector<uint8>* bits) const;
	status_t GetVectorIcon(std::vector<uint8>* data) const;

private:
	mutable BResources fResources;
};
