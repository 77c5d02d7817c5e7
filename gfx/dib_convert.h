// Converts the pixels of a device-independent bitmap of any supported depth or
// compression into packed 24-bit rows: the work a graphics interface would do.
#pragma once
#include <cstddef>
#include <cstdint>

// Compression codes of the bitmap info header.
enum DibCompression : uint32_t { DIB_RGB = 0, DIB_RLE8 = 1, DIB_RLE4 = 2, DIB_BITFIELDS = 3 };

// Largest side and largest picture accepted, so that sizes never overflow and
// a tiny damaged file cannot ask for gigabytes.
enum : int32_t { DIB_MAX_SIDE = 16384, DIB_MAX_PIXELS = 1 << 26 };

// A DIB as the converter takes it: the info-header fields that matter and
// pointers into the mapped file, each with the number of bytes it may read.
struct DibSource {
    int32_t width;
    int32_t height;               // negative: rows stored top row first
    uint16_t bit_count;           // 1, 4, 8, 16, 24 or 32
    uint32_t compression;         // a DibCompression
    uint32_t size_image;          // bytes of run-length data; bounds what RLE may read
    uint32_t masks[3];            // red, green, blue; read with DIB_BITFIELDS only
    const uint8_t* colour_table;  // colour_count entries of blue, green, red, unused
    uint32_t colour_count;
    const uint8_t* pixels;
    size_t pixel_bytes;           // readable bytes from `pixels` to the end of the file
};

// bmp_reader, before allocating: true when the source is a depth, compression,
// size and mask set that ConvertDibToRgb handles, and uncompressed rows fit.
bool DibIsConvertible(const DibSource& source);
// bmp_reader, per image: writes width x |height| red-green-blue pixels, bottom
// row first, into rgb (zero-filled by the caller; pixels that run-length data
// skips stay black). Returns the rows converted: |height|, or 0 when refused.
int32_t ConvertDibToRgb(const DibSource& source, uint8_t* rgb);
