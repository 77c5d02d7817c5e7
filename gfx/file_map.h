// Read-only memory mapping of a whole file: the reader takes colour tables and
// pixels straight from the mapped bytes instead of copying the file.
#pragma once
#include <cstddef>
#include <cstdint>

struct FileMap {
    const uint8_t* bytes;  // the file's contents, read-only
    size_t size;           // bytes that may be read from `bytes`
};

// bmp_reader, per image: maps a regular, non-empty file; false (map cleared) when it cannot.
bool MapFileReadOnly(const char* path, FileMap* map);
// bmp_reader, after the image is decoded or refused: unmaps and clears; a cleared map is a no-op.
void UnmapFile(FileMap* map);
