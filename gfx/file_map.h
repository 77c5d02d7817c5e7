// Read-only memory mapping of a whole file: the reader takes colour tables and
// pixels straight from the mapped bytes instead of copying the file.
#pragma once
#include <cstddef>
#include <cstdint>

struct FileMap {
    const uint8_t* bytes;  // the file's contents, read-only
    size_t size;           // bytes that may be read from `bytes`
};

enum MapResult {
    FILE_MAPPED,      // the whole file is mapped
    FILE_MISSING,     // nothing to read there: no such file, not allowed, or no regular file (a directory)
    FILE_UNMAPPABLE,  // a regular file that cannot be mapped: empty, or the mapping refused
};

// bmp_reader, per image: opens the path once and maps a regular, non-empty file;
// anything else leaves the map cleared.
MapResult MapFileReadOnly(const char* path, FileMap* map);
// bmp_reader, after the image is decoded or refused: unmaps and clears; a cleared map is a no-op.
void UnmapFile(FileMap* map);
