// libFuzzer target for the BMP reader. Each input is decoded twice: from an
// exactly-sized block in memory (so AddressSanitizer sees any read past the
// end) and from a real file through the mapping; both must agree, a refusal
// must show exactly one of the reader's messages, and an image must be whole.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "gfx/bmp_reader.h"
#include "gfx/dib_convert.h"

extern int fuzz_message_count;
extern char fuzz_last_message[512];

namespace {

char input_path[64];

void RemoveInputFile() { unlink(input_path); }

void Require(bool condition, const char* what)
{
    if (condition)
        return;
    std::fprintf(stderr, "bmp_reader_fuzz: %s\n", what);
    std::abort();
}

bool KnownMessage(const char* text)
{
    return std::strcmp(text, "Out of memory.") == 0 || std::strcmp(text, "Unknown DIB file format.") == 0 ||
           std::strcmp(text, "Image file conversion error.") == 0 ||
           std::strncmp(text, "Failed to open DIB file ", 24) == 0;
}

// Reads every byte, so a picture shorter than it claims trips the sanitizer.
unsigned Checksum(const RgbImage* image)
{
    Require(image->width > 0 && image->height > 0, "image without pixels");
    Require(image->width <= DIB_MAX_SIDE && image->height <= DIB_MAX_SIDE, "image beyond the size limits");
    unsigned sum = 0;
    for (size_t i = 0; i < size_t(image->width) * size_t(image->height) * 3; i++)
        sum = sum * 31 + image->data[i];
    return sum;
}

bool WriteInput(const uint8_t* data, size_t size)
{
    FILE* file = std::fopen(input_path, "wb");
    if (!file)
        return false;
    bool written = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    const char* folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    std::snprintf(input_path, sizeof input_path, "%s/bmp-fuzz-XXXXXX", folder);
    int fd = mkstemp(input_path);
    Require(fd >= 0, "cannot make the input file");
    close(fd);
    std::atexit(RemoveInputFile);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const char* failure = nullptr;
    RgbImage* in_memory = DecodeBmpBytes(data, size, &failure);
    Require((in_memory == nullptr) == (failure != nullptr), "image and failure disagree");
    Require(!failure || KnownMessage(failure), "unknown failure text");

    Require(WriteInput(data, size), "cannot write the input file");
    fuzz_message_count = 0;
    fuzz_last_message[0] = 0;
    RgbImage* from_file = LoadBmpImage(input_path);
    Require(fuzz_message_count == (from_file ? 0 : 1), "a refusal must show exactly one message");
    Require(from_file || KnownMessage(fuzz_last_message), "unknown message");
    // An empty file cannot be mapped: the only case where the two paths differ.
    if (size > 0) {
        Require((in_memory == nullptr) == (from_file == nullptr), "memory and file results differ");
        Require(!failure || std::strcmp(failure, fuzz_last_message) == 0, "memory and file messages differ");
    }
    if (in_memory && from_file) {
        Require(in_memory->width == from_file->width && in_memory->height == from_file->height, "sizes differ");
        Require(Checksum(in_memory) == Checksum(from_file), "pixels differ");
    }
    FreeRgbImage(in_memory);
    FreeRgbImage(from_file);
    return 0;
}
