// DIB pixels of 1, 4 or 8 bits through the colour table, 16 or 32 bits
// through colour masks, 24 bits, and run-length encoded 4- and 8-bit data,
// all to packed red-green-blue rows. Nothing is read outside the source.
#include "gfx/dib_convert.h"

#include <algorithm>

namespace {

// One colour mask as a shift and a width; the field is scaled to 8 bits.
struct MaskField {
    uint32_t mask;
    int shift;
    int bits;
};

MaskField FieldOf(uint32_t mask)
{
    MaskField field = {mask, 0, 0};
    if (mask == 0)
        return field;
    while (!((mask >> field.shift) & 1)) field.shift++;
    while (field.shift + field.bits < 32 && ((mask >> (field.shift + field.bits)) & 1)) field.bits++;
    return field;
}

bool IsContiguous(uint32_t mask)
{
    MaskField field = FieldOf(mask);
    uint32_t span = field.bits == 32 ? ~0u : ((1u << field.bits) - 1) << field.shift;
    return span == mask;
}

// Short fields repeat their bits downwards, so that a full field gives 255.
uint8_t ScaleField(uint32_t pixel, const MaskField& field)
{
    if (field.bits == 0)
        return 0;
    uint32_t value = (pixel & field.mask) >> field.shift;
    if (field.bits >= 8)
        return uint8_t(value >> (field.bits - 8));
    uint32_t scaled = value << (8 - field.bits);
    for (int filled = field.bits; filled < 8; filled += field.bits)
        scaled |= scaled >> field.bits;
    return uint8_t(scaled);
}

int32_t RowCount(const DibSource& source)
{
    return source.height < 0 ? -source.height : source.height;
}

uint64_t StoredRowBytes(const DibSource& source)
{
    return (uint64_t(source.width) * source.bit_count + 31) / 32 * 4;
}

void PutIndex(const DibSource& source, uint32_t index, uint8_t* out)
{
    // An index past the colour table has no colour: black.
    if (index >= source.colour_count) {
        out[0] = out[1] = out[2] = 0;
        return;
    }
    const uint8_t* entry = source.colour_table + 4 * index;
    out[0] = entry[2];
    out[1] = entry[1];
    out[2] = entry[0];
}

bool CompressionFits(const DibSource& source)
{
    switch (source.compression) {
    case DIB_RGB:
        return source.bit_count == 1 || source.bit_count == 4 || source.bit_count == 8 ||
               source.bit_count == 16 || source.bit_count == 24 || source.bit_count == 32;
    case DIB_RLE8:
        return source.bit_count == 8 && source.height > 0;  // run-length data is bottom-up only
    case DIB_RLE4:
        return source.bit_count == 4 && source.height > 0;
    case DIB_BITFIELDS:
        return (source.bit_count == 16 || source.bit_count == 32) && IsContiguous(source.masks[0]) &&
               IsContiguous(source.masks[1]) && IsContiguous(source.masks[2]);
    default:
        return false;
    }
}

void ConvertDirectRow(const DibSource& source, const MaskField fields[3], const uint8_t* in, uint8_t* out)
{
    for (int32_t x = 0; x < source.width; x++, out += 3) {
        uint32_t pixel;
        switch (source.bit_count) {
        case 24:
            out[0] = in[3 * x + 2];
            out[1] = in[3 * x + 1];
            out[2] = in[3 * x];
            continue;
        case 16:
            pixel = uint32_t(in[2 * x]) | uint32_t(in[2 * x + 1]) << 8;
            break;
        default:
            pixel = uint32_t(in[4 * x]) | uint32_t(in[4 * x + 1]) << 8 | uint32_t(in[4 * x + 2]) << 16 |
                    uint32_t(in[4 * x + 3]) << 24;
            break;
        }
        for (int c = 0; c < 3; c++)
            out[c] = ScaleField(pixel, fields[c]);
    }
}

void ConvertIndexedRow(const DibSource& source, const uint8_t* in, uint8_t* out)
{
    int bits = source.bit_count;
    for (int32_t x = 0; x < source.width; x++, out += 3) {
        uint64_t bit = uint64_t(x) * bits;
        int shift = 8 - bits - int(bit % 8);  // the leftmost pixel sits in the high bits
        PutIndex(source, (in[bit / 8] >> shift) & ((1u << bits) - 1), out);
    }
}

int32_t ConvertUncompressed(const DibSource& source, uint8_t* rgb)
{
    // Bit-field masks, or the fixed layouts of plain 16- and 32-bit pixels.
    uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
    if (source.bit_count == 32) {
        masks[0] = 0xFF0000;
        masks[1] = 0x00FF00;
        masks[2] = 0x0000FF;
    }
    if (source.compression == DIB_BITFIELDS)
        std::copy(source.masks, source.masks + 3, masks);
    const MaskField fields[3] = {FieldOf(masks[0]), FieldOf(masks[1]), FieldOf(masks[2])};
    int32_t rows = RowCount(source);
    size_t stride = size_t(StoredRowBytes(source));
    size_t out_stride = size_t(source.width) * 3;
    for (int32_t row = 0; row < rows; row++) {
        int32_t out_row = source.height < 0 ? rows - 1 - row : row;
        const uint8_t* in = source.pixels + stride * size_t(row);
        uint8_t* out = rgb + out_stride * size_t(out_row);
        if (source.bit_count <= 8)
            ConvertIndexedRow(source, in, out);
        else
            ConvertDirectRow(source, fields, in, out);
    }
    return rows;
}

// Run-length position; x stops at the width so that long runs cannot overflow it.
struct RunCursor {
    int32_t x, y;
};

void PutRunPixel(const DibSource& source, RunCursor* at, uint32_t index, uint8_t* rgb)
{
    if (at->x >= source.width)
        return;  // runs past the row's end are clipped
    PutIndex(source, index, rgb + (size_t(at->y) * size_t(source.width) + size_t(at->x)) * 3);
    at->x++;
}

// Absolute mode: count indices follow, padded to a 16-bit boundary.
bool PutAbsoluteRun(const DibSource& source, const uint8_t* in, size_t length, size_t* pos, int count,
                    RunCursor* at, uint8_t* rgb)
{
    bool nibbles = source.compression == DIB_RLE4;
    size_t bytes = nibbles ? size_t(count + 1) / 2 : size_t(count);
    if (length - *pos < bytes)
        return false;
    for (int i = 0; i < count; i++) {
        uint8_t byte = in[*pos + (nibbles ? size_t(i / 2) : size_t(i))];
        PutRunPixel(source, at, nibbles ? (i % 2 ? byte & 15 : byte >> 4) : byte, rgb);
    }
    *pos += bytes + (bytes & 1);
    return true;
}

// Ends at end-of-bitmap or once every row is passed; a stream that runs out
// before either is a truncated file.
bool DecodeRunLengths(const DibSource& source, uint8_t* rgb)
{
    const uint8_t* in = source.pixels;
    size_t length = source.pixel_bytes;
    if (source.size_image != 0)
        length = std::min(length, size_t(source.size_image));
    int32_t rows = RowCount(source);
    bool nibbles = source.compression == DIB_RLE4;
    RunCursor at = {0, 0};
    size_t pos = 0;
    while (at.y < rows) {
        if (pos > length || length - pos < 2)
            return false;
        uint8_t count = in[pos], value = in[pos + 1];
        pos += 2;
        if (count > 0) {
            for (int i = 0; i < count; i++)
                PutRunPixel(source, &at, nibbles ? (i % 2 ? value & 15 : value >> 4) : value, rgb);
        } else if (value == 0) {
            at = {0, at.y + 1};
        } else if (value == 1) {
            return true;
        } else if (value == 2) {
            if (length - pos < 2)
                return false;
            at.x = std::min(at.x + in[pos], source.width);
            at.y += in[pos + 1];
            pos += 2;
        } else if (!PutAbsoluteRun(source, in, length, &pos, value, &at, rgb)) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool DibIsConvertible(const DibSource& source)
{
    if (source.width < 1 || source.width > DIB_MAX_SIDE || source.height == 0 ||
        source.height < -DIB_MAX_SIDE || source.height > DIB_MAX_SIDE)
        return false;
    if (int64_t(source.width) * RowCount(source) > DIB_MAX_PIXELS || !CompressionFits(source))
        return false;
    if (source.bit_count <= 8 && source.colour_count > 0 && !source.colour_table)
        return false;
    if (source.compression == DIB_RLE8 || source.compression == DIB_RLE4)
        return true;  // their length is only known while decoding
    return StoredRowBytes(source) * uint64_t(RowCount(source)) <= source.pixel_bytes;
}

int32_t ConvertDibToRgb(const DibSource& source, uint8_t* rgb)
{
    if (!DibIsConvertible(source))
        return 0;
    if (source.compression == DIB_RLE8 || source.compression == DIB_RLE4)
        return DecodeRunLengths(source, rgb) ? RowCount(source) : 0;
    return ConvertUncompressed(source, rgb);
}
