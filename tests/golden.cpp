// Golden-frame comparison over libpng's simplified interface.
#include "tests/golden.h"

#include <SDL.h>
#include <png.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "tests/gl_fixture.h"

namespace {

const int frame_width = 640, frame_height = 480;
const int channel_tolerance = 16;
const double differing_fraction_allowed = 0.005;

std::string ReferencePath(const std::string& name)
{
    return "tests/golden/" + name + ".png";
}

// Where a mismatching frame is left for inspection.
std::string MismatchPath(const std::string& name)
{
    std::filesystem::path dir = std::filesystem::temp_directory_path() / "blockfall-golden";
    std::error_code ignored;
    std::filesystem::create_directories(dir, ignored);
    return (dir / (name + ".png")).string();
}

bool UpdateRequested()
{
    const char* update = std::getenv("BLOCKFALL_UPDATE_GOLDEN");
    return update && std::strcmp(update, "1") == 0;
}

int CountDifferingPixels(const uint8_t* frame, const std::vector<uint8_t>& reference)
{
    int differing = 0;
    for (int p = 0; p < frame_width * frame_height; p++)
        for (int c = 0; c < 3; c++)
            if (std::abs(frame[p * 3 + c] - reference[p * 3 + c]) > channel_tolerance) {
                differing++;
                break;
            }
    return differing;
}

}  // namespace

bool WriteRgbPng(const std::string& path, const uint8_t* rgb, int width, int height)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = width;
    image.height = height;
    image.format = PNG_FORMAT_RGB;
    return png_image_write_to_file(&image, path.c_str(), 0, rgb, 0, nullptr) != 0;
}

bool ReadRgbPng(const std::string& path, std::vector<uint8_t>& rgb, int& width, int& height)
{
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str()))
        return false;
    image.format = PNG_FORMAT_RGB;
    rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) {
        png_image_free(&image);
        return false;
    }
    width = image.width;
    height = image.height;
    return true;
}

::testing::AssertionResult MatchesGolden(const std::string& name)
{
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver || std::strcmp(driver, "offscreen") != 0)
        return ::testing::AssertionFailure() << "golden frames are made and compared with SDL_VIDEODRIVER=offscreen";
    const uint8_t* frame = ReadFrame();
    std::string reference_path = ReferencePath(name);
    if (UpdateRequested()) {
        if (!WriteRgbPng(reference_path, frame, frame_width, frame_height))
            return ::testing::AssertionFailure() << "could not write " << reference_path;
        return ::testing::AssertionSuccess() << "rewrote " << reference_path;
    }
    std::vector<uint8_t> reference;
    int width = 0, height = 0;
    if (!ReadRgbPng(reference_path, reference, width, height))
        return ::testing::AssertionFailure() << "no readable reference " << reference_path
                                             << " (make it with scripts/update-golden)";
    if (width != frame_width || height != frame_height)
        return ::testing::AssertionFailure() << reference_path << " is " << width << "x" << height << ", not 640x480";
    int differing = CountDifferingPixels(frame, reference);
    if (differing <= differing_fraction_allowed * frame_width * frame_height)
        return ::testing::AssertionSuccess();
    std::string mismatch_path = MismatchPath(name);
    WriteRgbPng(mismatch_path, frame, frame_width, frame_height);
    return ::testing::AssertionFailure() << differing << " pixels differ from " << reference_path
                                         << "; the frame is in " << mismatch_path;
}
