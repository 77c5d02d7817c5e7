// The BMP reader: maps the file, normalises its header (core or info header,
// with or without the "BM" file header) and converts its pixels to packed
// red-green-blue rows. Every offset and size in the file is checked against
// the file's length before anything is read through it.
#include "gfx/bmp_reader.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "gfx/dib_convert.h"
#include "gfx/file_map.h"

namespace {

const char out_of_memory[] = "Out of memory.";
const char unknown_format[] = "Unknown DIB file format.";
const char conversion_error[] = "Image file conversion error.";

enum { FILE_HEADER_BYTES = 14, CORE_HEADER_BYTES = 12, INFO_HEADER_BYTES = 40, MASK_BYTES = 12 };
enum { NAME_BYTES = 4096, SHOWN_NAME_BYTES = 400 };

uint16_t Read16(const uint8_t* at) { return uint16_t(at[0] | at[1] << 8); }
uint32_t Read32(const uint8_t* at) { return uint32_t(at[0]) | uint32_t(at[1]) << 8 | uint32_t(at[2]) << 16 | uint32_t(at[3]) << 24; }

// The DIB header as found in the file, and where its pixels start when the
// file header says so.
struct DibLocation {
    const uint8_t* header;
    size_t room;            // bytes from header to the end of the file
    bool has_pixel_offset;
    uint32_t pixel_offset;  // from the start of the file
};

const char* LocateHeader(const uint8_t* bytes, size_t size, DibLocation* where)
{
    bool file_header = size >= 2 && bytes[0] == 'B' && bytes[1] == 'M';
    size_t start = file_header ? FILE_HEADER_BYTES : 0;
    if (size < start + 4)
        return unknown_format;
    *where = {bytes + start, size - start, file_header, file_header ? Read32(bytes + 10) : 0};
    uint32_t header_size = Read32(where->header);
    if (header_size != CORE_HEADER_BYTES && header_size != INFO_HEADER_BYTES)
        return unknown_format;
    return where->room < header_size ? unknown_format : nullptr;  // a header cut short is no header
}

// The 3-byte colour entries become 4-byte ones; the table sits after the header.
const char* ReadCoreHeader(const DibLocation& where, uint16_t count, uint8_t core_table[256 * 4],
                           DibSource* source, size_t* table_end)
{
    const uint8_t* header = where.header;
    source->width = Read16(header + 4);
    source->height = Read16(header + 6);
    source->bit_count = Read16(header + 10);
    source->compression = DIB_RGB;
    *table_end = CORE_HEADER_BYTES + 3 * size_t(count);
    if (where.room < *table_end)
        return conversion_error;
    for (size_t i = 0; i < count; i++) {
        const uint8_t* entry = header + CORE_HEADER_BYTES + 3 * i;
        uint8_t* wide = core_table + 4 * i;
        wide[0] = entry[0];
        wide[1] = entry[1];
        wide[2] = entry[2];
        wide[3] = 0;
    }
    source->colour_table = core_table;
    return nullptr;
}

// Bit-field masks, when present, sit between the header and the colour table.
const char* ReadInfoHeader(const DibLocation& where, uint16_t count, DibSource* source, size_t* table_end)
{
    const uint8_t* header = where.header;
    source->width = int32_t(Read32(header + 4));
    source->height = int32_t(Read32(header + 8));
    source->bit_count = Read16(header + 14);
    source->compression = Read32(header + 16);
    source->size_image = Read32(header + 20);
    size_t table_start = INFO_HEADER_BYTES;
    if (source->compression == DIB_BITFIELDS) {
        if (where.room < INFO_HEADER_BYTES + MASK_BYTES)
            return conversion_error;
        for (int c = 0; c < 3; c++)
            source->masks[c] = Read32(header + INFO_HEADER_BYTES + 4 * c);
        table_start += MASK_BYTES;
    }
    *table_end = table_start + 4 * size_t(count);
    if (where.room < *table_end)
        return conversion_error;
    source->colour_table = header + table_start;
    return nullptr;
}

// Run-length data is bounded by the image size; unset, it is the unpadded size.
void DefaultImageSize(DibSource* source)
{
    if (source->size_image != 0 || source->width <= 0 || source->height <= 0)
        return;  // run-length pictures of no or negative size are refused anyway
    uint64_t row = (uint64_t(source->width) * source->bit_count + 7) / 8;
    uint64_t height = uint64_t(source->height);
    source->size_image = row > UINT32_MAX / height ? UINT32_MAX : uint32_t(row * height);
}

const char* PlacePixels(const uint8_t* bytes, size_t size, const DibLocation& where, size_t table_end,
                        DibSource* source)
{
    size_t offset = where.has_pixel_offset ? where.pixel_offset : size_t(where.header - bytes) + table_end;
    if (offset > size)
        return conversion_error;
    source->pixels = bytes + offset;
    source->pixel_bytes = size - offset;
    return nullptr;
}

const char* ConvertToImage(const DibSource& source, RgbImage** image)
{
    if (!DibIsConvertible(source))
        return conversion_error;
    int32_t rows = source.height < 0 ? -source.height : source.height;
    auto* data = static_cast<uint8_t*>(std::calloc(size_t(source.width) * size_t(rows), 3));
    if (!data)
        return out_of_memory;
    if (ConvertDibToRgb(source, data) == 0) {
        std::free(data);
        return conversion_error;
    }
    *image = static_cast<RgbImage*>(std::malloc(sizeof(RgbImage)));
    if (!*image) {
        std::free(data);
        return out_of_memory;
    }
    **image = {source.width, rows, data};
    return nullptr;
}

// UTF-16 (surrogate pairs joined, stray halves as U+FFFD) to UTF-8; false when it does not fit.
bool WideNameToUtf8(const char16_t* wide, char* out, size_t room)
{
    size_t used = 0;
    for (; *wide; wide++) {
        uint32_t code = *wide;
        if (code >= 0xD800 && code < 0xDC00 && wide[1] >= 0xDC00 && wide[1] < 0xE000)
            code = 0x10000 + ((code - 0xD800) << 10) + (*++wide - 0xDC00);
        else if (code >= 0xD800 && code < 0xE000)
            code = 0xFFFD;
        int extra = code < 0x80 ? 0 : code < 0x800 ? 1 : code < 0x10000 ? 2 : 3;
        if (used + extra + 2 > room) {
            out[used] = '\0';
            return false;
        }
        static const uint8_t lead[4] = {0x00, 0xC0, 0xE0, 0xF0};
        out[used++] = char(lead[extra] | (code >> (6 * extra)));
        for (int i = extra - 1; i >= 0; i--)
            out[used++] = char(0x80 | ((code >> (6 * i)) & 0x3F));
    }
    out[used] = '\0';
    return true;
}

// One line, the message's own line break left out.
void PrintFailure(const char* message, const char* file_name)
{
    std::fprintf(stderr, "%s: %.*s\n", file_name, int(std::strcspn(message, "\n")), message);
}

ReaderFailureReport failure_report = PrintFailure;

void ReportFailure(const char* message, const char* file_name)
{
    failure_report(message, file_name);
}

}  // namespace

void SetReaderFailureReport(ReaderFailureReport report)
{
    failure_report = report ? report : PrintFailure;
}

uint16_t PaletteEntryCount(const uint8_t* header)
{
    uint32_t bit_count;
    if (Read32(header) == CORE_HEADER_BYTES) {
        bit_count = Read16(header + 10);
    } else {
        uint32_t colours_used = Read32(header + 32);
        if (colours_used != 0)
            return uint16_t(colours_used);
        bit_count = Read16(header + 14);
    }
    return bit_count == 1 ? 2 : bit_count == 4 ? 16 : bit_count == 8 ? 256 : 0;
}

RgbImage* DecodeBmpBytes(const uint8_t* bytes, size_t size, const char** failure)
{
    DibLocation where;
    *failure = LocateHeader(bytes, size, &where);
    if (*failure)
        return nullptr;
    uint16_t count = PaletteEntryCount(where.header);
    DibSource source = {};
    uint8_t core_table[256 * 4];
    size_t table_end = 0;
    if (Read32(where.header) == CORE_HEADER_BYTES)
        *failure = ReadCoreHeader(where, count, core_table, &source, &table_end);
    else
        *failure = ReadInfoHeader(where, count, &source, &table_end);
    if (*failure)
        return nullptr;
    source.colour_count = count;
    DefaultImageSize(&source);
    *failure = PlacePixels(bytes, size, where, table_end, &source);
    RgbImage* image = nullptr;
    if (!*failure)
        *failure = ConvertToImage(source, &image);
    return image;
}

static void ReportOpenFailure(const char* name)
{
    char message[SHOWN_NAME_BYTES + 64];
    std::snprintf(message, sizeof message, "Failed to open DIB file %.*s.\n", int(SHOWN_NAME_BYTES), name);
    ReportFailure(message, name);
}

// The file is opened once, by the mapping, which also tells a missing file from
// one that is there and cannot be read.
static RgbImage* LoadMappedFile(const char* name, bool silent_when_missing)
{
    FileMap map;
    const MapResult mapped = MapFileReadOnly(name, &map);
    if (mapped == FILE_MISSING && silent_when_missing)
        return nullptr;
    if (mapped != FILE_MAPPED) {
        ReportOpenFailure(name);
        return nullptr;
    }
    const char* failure = nullptr;
    RgbImage* image = DecodeBmpBytes(map.bytes, map.size, &failure);
    UnmapFile(&map);
    if (failure)
        ReportFailure(failure, name);
    return image;
}

RgbImage* LoadDibAsRgb(const void* file_name, bool wide_name)
{
    char converted[NAME_BYTES] = "";
    const char* name = static_cast<const char*>(file_name);
    bool name_fits = true;
    if (file_name && wide_name) {
        name_fits = WideNameToUtf8(static_cast<const char16_t*>(file_name), converted, sizeof converted);
        name = converted;
    }
    if (!name || !name_fits) {
        ReportOpenFailure(name ? name : "");
        return nullptr;
    }
    return LoadMappedFile(name, false);
}

RgbImage* LoadBmpImage(const char* file_name)
{
    return LoadDibAsRgb(file_name, false);
}

RgbImage* LoadBmpImageIfPresent(const char* file_name)
{
    return file_name ? LoadMappedFile(file_name, true) : nullptr;
}

void FreeRgbImage(RgbImage* image)
{
    if (!image)
        return;
    std::free(image->data);
    std::free(image);
}
