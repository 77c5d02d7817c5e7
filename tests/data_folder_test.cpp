// The data folder search over real folders: an installed tree with bin/ and
// share/blockfall/, a build tree's data/ beside the executable, and a working
// directory, each taken away in turn to show the order of the three places.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "shell/data_folder.h"

namespace fs = std::filesystem;

TEST(DataFolder, TakesTheWorkingDirectoryThenTheInstalledTreeThenTheExecutablesFolder)
{
    std::string pattern = (fs::temp_directory_path() / "data_folder_XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    const fs::path root = pattern;
    const fs::path work = root / "work", bin = root / "bin", share = root / "share" / "blockfall";
    for (const fs::path& place : {work, bin, share})
        fs::create_directories(place / "data");
    fs::create_directories(root / "elsewhere");
    const std::string executable_folder = bin.string() + "/";  // as SDL_GetBasePath gives it

    auto Found = [&](const fs::path& working) { return FindDataFolder(working.string(), executable_folder.c_str()); };
    auto Is = [](const std::string& found, const fs::path& place) { return !found.empty() && fs::equivalent(found, place); };
    EXPECT_TRUE(Is(Found(work), work));
    EXPECT_TRUE(Is(Found(root / "elsewhere"), share));
    fs::remove(share / "data");
    fs::create_directories(share / "other");  // a share/blockfall without data/ does not count
    EXPECT_TRUE(Is(Found(root / "elsewhere"), bin));
    EXPECT_TRUE(Is(Found(work), work));
    fs::remove(bin / "data");
    std::ofstream(bin / "data") << "not a folder";
    EXPECT_EQ(Found(root / "elsewhere"), "");
    EXPECT_EQ(FindDataFolder((root / "elsewhere").string(), nullptr), "");
    EXPECT_TRUE(Is(FindDataFolder(work.string(), nullptr), work));
    fs::remove_all(root);
}
