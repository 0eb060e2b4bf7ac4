// Standard folders of the system and the user.
#pragma once

#include <SupportDefs.h>

class BPath;
class BVolume;

enum directory_which {
	B_USER_DIRECTORY = 3000,
	B_USER_CONFIG_DIRECTORY,
	B_USER_SETTINGS_DIRECTORY,
	B_USER_DATA_DIRECTORY,
	B_SYSTEM_TEMP_DIRECTORY = 1100,
};

// The folder's path; with createIt, the folder is made when missing.
status_t find_directory(directory_which which, BPath* path, bool createIt = false,
	BVolume* volume = nullptr);
