// Where the game's data/ is, so that it starts from any directory: the working
// directory, the installed share/blockfall beside the executable's bin/, or the
// executable's own folder (a build tree, where CMake links data/ beside it).
#pragma once
#include <string>

// EnterDataFolder, and tests: the first of working_folder, executable_folder/../share/blockfall
// and executable_folder holding a data/ folder; "" when none does. executable_folder may be null.
std::string FindDataFolder(const std::string& working_folder, const char* executable_folder);

// main, before the window: makes the folder found the working directory, so that every
// file name stays data/...; when none is found nothing changes and the start fails as before.
void EnterDataFolder();
