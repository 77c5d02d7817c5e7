// Read-only mapping of a whole file through Windows' file mapping. The path is UTF-8:
// it is opened through the wide-character calls, so that any name in any folder works.
#include "gfx/file_map.h"

#include <string>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

// Empty when the path is not valid UTF-8, which no file can be named.
static std::wstring WidePath(const char* path)
{
    const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, nullptr, 0);
    std::wstring wide(length > 0 ? size_t(length) : 0, L'\0');
    if (length <= 0 || MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, path, -1, &wide[0], length) != length)
        return std::wstring();
    wide.pop_back();  // the terminator the count included
    return wide;
}

MapResult MapFileReadOnly(const char* path, FileMap* map)
{
    map->bytes = nullptr;
    map->size = 0;
    const std::wstring wide = WidePath(path);
    // A folder cannot be opened this way (that needs backup semantics): it reads as missing.
    HANDLE file = wide.empty() ? INVALID_HANDLE_VALUE
                               : CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return FILE_MISSING;
    LARGE_INTEGER size;
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileSizeEx(file, &size)) {
        CloseHandle(file);
        return FILE_MISSING;  // a device or pipe is no bitmap
    }
    HANDLE mapping = size.QuadPart > 0 ? CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr) : nullptr;
    CloseHandle(file);  // the mapping keeps the file open
    const void* view = mapping ? MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0) : nullptr;
    if (mapping)
        CloseHandle(mapping);  // the view keeps the mapping
    if (!view)
        return FILE_UNMAPPABLE;
    map->bytes = static_cast<const uint8_t*>(view);
    map->size = size_t(size.QuadPart);
    return FILE_MAPPED;
}

void UnmapFile(FileMap* map)
{
    if (map->bytes)
        UnmapViewOfFile(map->bytes);
    map->bytes = nullptr;
    map->size = 0;
}
