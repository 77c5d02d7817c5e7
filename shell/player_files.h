// The player's own files, kept whole: a write goes to a temporary file in the same
// folder, is flushed and synced, and then renamed over the old file, so that a crash at
// any moment leaves the old file or the new one, never a mix. One file per platform
// (player_files_posix.cpp, player_files_windows.cpp); paths are UTF-8.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

enum FileReadResult { FILE_READ, FILE_ABSENT, FILE_TOO_LARGE, FILE_UNREADABLE };

// The whole file, when it is a regular file of at most max_bytes.
FileReadResult ReadWholeFile(const std::string& path, size_t max_bytes, std::string* bytes);
// Replaces path with bytes, whole or not at all; on failure *why says what the system said.
bool WriteFileWhole(const std::string& path, const std::string& bytes, std::string* why);
// Renames a file that could not be read to path + ".bad" (".1.bad" and on where that is
// taken); returns the new name, or "" when the rename failed.
std::string SetFileAside(const std::string& path);

// The name of the account the game runs under (UTF-8), or "" when the system will not say.
std::string AccountName();

// An exclusive lock between copies of the game, held on a lock file of its own, waited
// for; a lock that cannot be had at all (a read-only folder) is -1, and the caller goes on.
intptr_t LockPlayerFile(const std::string& lock_path);
void UnlockPlayerFile(intptr_t lock);
