// A picture of every generated texture and of text printed with the font the
// way the game prints it, for a person to look at; never part of data/.
#pragma once
#include <string>
#include <vector>

#include "tools/asset_files.h"

struct NamedPicture {
    std::string name;  // file stem, as in data/
    Picture picture;
};

// Lays out all pictures (in data/ order, font included) with labels and
// samples of the board and the texts; called by main for --sheet.
Picture MakeContactSheet(const std::vector<NamedPicture>& pictures);
