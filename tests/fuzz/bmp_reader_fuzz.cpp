// libFuzzer target: each input is decoded from memory (exactly sized, so that AddressSanitizer
// sees any read past it) and from a file through the mapping; both agree, a refusal shows exactly
// one message, an image is read whole. Built without NDEBUG: the asserts always run.
#include <sys/mman.h>
#include <unistd.h>

#include <cassert>
#include <cstring>
#include <string>

#include "gfx/bmp_reader.h"

static int messages;
static std::string last_message;

static void CountFailure(const char* message, const char*)
{
    messages++;
    last_message = message;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const int fd = memfd_create("bmp-fuzz", 0);  // a file on disk per input is ten times slower
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    SetReaderFailureReport(CountFailure);
    const bool written = ftruncate(fd, 0) == 0 && pwrite(fd, data, size, 0) == ssize_t(size);
    assert(written);
    const char* failure = nullptr;
    RgbImage* image = DecodeBmpBytes(data, size, &failure);
    messages = 0;
    RgbImage* loaded = LoadBmpImage(path.c_str());
    assert((image == nullptr) == (failure != nullptr) && messages == (loaded ? 0 : 1));
    assert(size == 0 || (!image == !loaded && (!failure || last_message == failure)));  // empty: no mapping
    assert(!image || (image->width == loaded->width && image->height == loaded->height &&
                       !std::memcmp(image->data, loaded->data, size_t(image->width) * image->height * 3)));
    FreeRgbImage(image);
    FreeRgbImage(loaded);
    return 0;
}
