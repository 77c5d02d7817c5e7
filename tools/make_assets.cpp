// make_assets: writes the game's 16 BMP images and 5 WAV sounds into a folder
// (data/ by default). The output depends on nothing but this program and the
// DejaVu fonts, so a rerun gives byte-identical files.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/asset_images.h"
#include "tools/asset_sounds.h"
#include "tools/contact_sheet.h"

namespace {

struct NamedSound {
    const char* name;
    Sound (*make)();
};

// In the order of the game's texture slots.
std::vector<NamedPicture> MakePictures(std::string& failure)
{
    std::vector<NamedPicture> pictures = {
        {"blockg", MakeBlock({0.20, 0.82, 0.25}, 1u)},
        {"blockb", MakeBlock({0.22, 0.55, 1.00}, 2u)},
        {"blockp", MakeBlock({0.68, 0.30, 0.92}, 3u)},
        {"blocky", MakeBlock({0.98, 0.86, 0.18}, 4u)},
        {"blockr", MakeBlock({0.92, 0.18, 0.16}, 5u)},
        {"blocko", MakeBlock({1.00, 0.52, 0.10}, 6u)},
        {"blockdb", MakeBlock({0.14, 0.20, 0.72}, 7u)},
        {"blkgrey", MakeBlock({0.58, 0.58, 0.62}, 8u)},
        {"border", MakeBorder()},
        {"water", MakeWater()},
        {"font", Picture{}},
        {"boxt2", MakeNebula()},
        {"boxte", MakeEnvironment()},
        {"boxt3", MakeGlow()},
        {"light", MakeLightBlob()},
        {"checker", MakeChecker()},
    };
    failure = MakeFont(pictures[10].picture);
    return pictures;
}

const NamedSound sounds[] = {{"drop", MakeDrop},       {"linedone", MakeLineDone},
                             {"levelup", MakeLevelUp}, {"explode", MakeExplode},
                             {"boing", MakeBoing}};

int Fail(const std::string& message)
{
    std::fprintf(stderr, "make_assets: %s\n", message.c_str());
    return 1;
}

int Usage()
{
    std::fprintf(stderr, "usage: make_assets [output-folder] [--sheet picture.bmp]\n"
                         "  writes the game's images and sounds (default folder: data)\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string folder = "data", sheet;
    bool have_folder = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--sheet" && i + 1 < argc) sheet = argv[++i];
        else if (arg.empty() || arg[0] == '-' || have_folder) return Usage();
        else folder = arg, have_folder = true;
    }
    if (mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST)
        return Fail("cannot create folder " + folder + ": " + std::strerror(errno));

    std::string failure;
    std::vector<NamedPicture> pictures = MakePictures(failure);
    if (!failure.empty()) return Fail(failure);
    for (const NamedPicture& p : pictures) {
        std::string path = folder + "/" + p.name + ".bmp";
        if (!WriteBmp(path, p.picture)) return Fail("cannot write " + path + ": " + std::strerror(errno));
    }
    for (const NamedSound& s : sounds) {
        std::string path = folder + "/" + s.name + ".wav";
        if (!WriteWav(path, s.make())) return Fail("cannot write " + path + ": " + std::strerror(errno));
    }
    if (!sheet.empty() && !WriteBmp(sheet, MakeContactSheet(pictures)))
        return Fail("cannot write " + sheet + ": " + std::strerror(errno));
    return 0;
}
