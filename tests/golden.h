// Golden frames: the frame in the back buffer compared with a committed
// reference picture, tests/golden/<name>.png. References are made with SDL's
// offscreen driver (depth precision differs between drivers) and rewritten
// instead of compared when BLOCKFALL_UPDATE_GOLDEN=1 (scripts/update-golden).
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

// Use as EXPECT_TRUE(MatchesGolden("level0_frame1")) in a test whose name
// contains "Golden" (scripts/update-golden reruns those). Passes when at most
// 0.5% of the pixels differ by more than 16 in any channel; on a mismatch the
// frame read back is written next to the reason given, for a look.
::testing::AssertionResult MatchesGolden(const std::string& name);

// Tightly packed 8-bit RGB rows, top row first.
bool WriteRgbPng(const std::string& path, const uint8_t* rgb, int width, int height);
bool ReadRgbPng(const std::string& path, std::vector<uint8_t>& rgb, int& width, int& height);
