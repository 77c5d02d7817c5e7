// The BMP reader: a Windows bitmap file of any common depth becomes one
// uniform picture of packed red-green-blue rows, bottom row first.
#pragma once
#include <cstddef>
#include <cstdint>

struct RgbImage {
    int32_t width;
    int32_t height;  // always positive: top-down files are turned bottom-up
    uint8_t* data;   // width x height x 3 bytes, no row padding, bottom row first
};

// LoadDibAsRgb(file_name, false). The reader's named entry for a narrow name: the
// game loads through LoadBmpImageIfPresent, the data and reader tests through this.
RgbImage* LoadBmpImage(const char* file_name);
// Texture set, per slot: the same, but where there is no file to read (none, not
// allowed, a directory) nullptr comes back without a message.
RgbImage* LoadBmpImageIfPresent(const char* file_name);
// The reader proper. wide_name: file_name is a null-terminated UTF-16 string
// (char16_t). Returns nullptr after one failure report on any failure.
RgbImage* LoadDibAsRgb(const void* file_name, bool wide_name);

// How a failure reaches the player: the reader's own message text, and the file it
// concerns (UTF-8). The reader knows nothing of windows; whoever runs it chooses.
typedef void (*ReaderFailureReport)(const char* message, const char* file_name);
// main, at start-up: the shell's box. Until then, and after nullptr, one line on
// stderr, "<file>: <message>" (tests, tools, the fuzz target).
void SetReaderFailureReport(ReaderFailureReport report);
// LoadDibAsRgb and tests: colour-table entries of a whole 12- or 40-byte DIB header.
uint16_t PaletteEntryCount(const uint8_t* header);
// LoadDibAsRgb after mapping, and the fuzz target: decodes a bitmap held in memory;
// on failure sets *failure to the message text (reported by nobody) and returns nullptr.
RgbImage* DecodeBmpBytes(const uint8_t* bytes, size_t size, const char** failure);
// Every owner of an image, once it is used: frees the pixels, then the record.
void FreeRgbImage(RgbImage* image);
