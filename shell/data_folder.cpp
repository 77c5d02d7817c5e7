// The data folder search. SDL_GetBasePath reads the executable's own path
// (/proc/self/exe on Linux) and needs no SDL_Init. Paths are UTF-8 throughout: made
// into paths with u8path and back with u8string, so a folder named in any script works
// on Windows too, where plain strings would be taken in the local code page.
#include "shell/data_folder.h"

#include <SDL.h>
#include <filesystem>
#include <system_error>

static bool HoldsData(const std::filesystem::path& folder)
{
    std::error_code error;
    return std::filesystem::is_directory(folder / "data", error);
}

std::string FindDataFolder(const std::string& working_folder, const char* executable_folder)
{
    if (HoldsData(std::filesystem::u8path(working_folder)))
        return working_folder;
    if (!executable_folder)
        return "";
    const std::filesystem::path beside = std::filesystem::u8path(executable_folder);
    for (const std::filesystem::path& place : {beside / ".." / "share" / "blockfall", beside})
        if (HoldsData(place))
            return place.lexically_normal().u8string();
    return "";
}

void EnterDataFolder()
{
    char* base_path = SDL_GetBasePath();
    const std::string found = FindDataFolder(".", base_path);
    SDL_free(base_path);
    std::error_code error;
    if (!found.empty())
        std::filesystem::current_path(std::filesystem::u8path(found), error);  // a refusal leaves the start to fail as before
}
