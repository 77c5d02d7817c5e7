// Read-only mapping of a whole file through POSIX mmap; paths are UTF-8 bytes as given.
#include "gfx/file_map.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

MapResult MapFileReadOnly(const char* path, FileMap* map)
{
    map->bytes = nullptr;
    map->size = 0;
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return FILE_MISSING;
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        close(fd);
        return FILE_MISSING;  // a directory or device is no bitmap
    }
    void* view = info.st_size > 0 ? mmap(nullptr, size_t(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0) : MAP_FAILED;
    close(fd);  // the mapping outlives the descriptor
    if (view == MAP_FAILED)
        return FILE_UNMAPPABLE;
    map->bytes = static_cast<const uint8_t*>(view);
    map->size = size_t(info.st_size);
    return FILE_MAPPED;
}

void UnmapFile(FileMap* map)
{
    if (map->bytes)
        munmap(const_cast<uint8_t*>(map->bytes), map->size);
    map->bytes = nullptr;
    map->size = 0;
}
