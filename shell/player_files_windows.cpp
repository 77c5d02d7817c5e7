// The player's files on Windows: WriteFile, FlushFileBuffers, MoveFileExW with
// replacement (the rename that takes the old file's place), LockFileEx. Paths are
// UTF-8 here and wide for the system.
#include "shell/player_files.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

static std::wstring Wide(const std::string& path)
{
    const int length = MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, nullptr, 0);
    std::wstring wide(length > 0 ? size_t(length) : 1, L'\0');
    if (length > 0)
        MultiByteToWideChar(CP_UTF8, 0, path.c_str(), -1, &wide[0], length);
    wide.pop_back();
    return wide;
}

static std::string SystemMessage(DWORD error)
{
    char text[256] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text, sizeof text,
                   nullptr);
    std::string message = text;
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.'))
        message.pop_back();
    return message.empty() ? "error " + std::to_string(error) : message;
}

FileReadResult ReadWholeFile(const std::string& path, size_t max_bytes, std::string* bytes)
{
    bytes->clear();
    HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FILE_ABSENT : FILE_UNREADABLE;
    }
    LARGE_INTEGER size;
    FileReadResult result = FILE_READ;
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileSizeEx(file, &size))
        result = FILE_UNREADABLE;
    else if (uint64_t(size.QuadPart) > max_bytes)
        result = FILE_TOO_LARGE;
    char chunk[4096];
    for (DWORD got = 1; result == FILE_READ && got != 0;) {
        if (!ReadFile(file, chunk, sizeof chunk, &got, nullptr))
            result = FILE_UNREADABLE;
        else if (bytes->size() + got > max_bytes)
            result = FILE_TOO_LARGE;
        else
            bytes->append(chunk, got);
    }
    CloseHandle(file);
    if (result != FILE_READ)
        bytes->clear();
    return result;
}

bool WriteFileWhole(const std::string& path, const std::string& bytes, std::string* why)
{
    const std::wstring temporary = Wide(path + ".tmp." + std::to_string(GetCurrentProcessId()));
    HANDLE file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        *why = SystemMessage(GetLastError());
        return false;
    }
    DWORD wrote = 0;
    bool written = bytes.size() <= MAXDWORD && WriteFile(file, bytes.data(), DWORD(bytes.size()), &wrote, nullptr) &&
                   wrote == bytes.size() && FlushFileBuffers(file);
    DWORD error = written ? 0 : GetLastError();
    CloseHandle(file);
    if (written && !MoveFileExW(temporary.c_str(), Wide(path).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        written = false, error = GetLastError();
    if (!written) {
        DeleteFileW(temporary.c_str());
        *why = SystemMessage(error);
        return false;
    }
    return true;
}

std::string SetFileAside(const std::string& path)
{
    for (int attempt = 0; attempt < 100; attempt++) {
        const std::string aside = path + (attempt ? "." + std::to_string(attempt) : "") + ".bad";
        if (GetFileAttributesW(Wide(aside).c_str()) != INVALID_FILE_ATTRIBUTES)
            continue;  // an older one is kept
        return MoveFileExW(Wide(path).c_str(), Wide(aside).c_str(), MOVEFILE_WRITE_THROUGH) ? aside : "";
    }
    return "";
}

std::string AccountName()
{
    wchar_t name[257];  // UNLEN + 1
    DWORD length = 257;
    if (!GetUserNameW(name, &length))
        return "";
    char utf8[4 * 257];
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, name, -1, utf8, sizeof utf8, nullptr, nullptr);
    return bytes > 0 ? utf8 : "";
}

intptr_t LockPlayerFile(const std::string& lock_path)
{
    HANDLE file = CreateFileW(Wide(lock_path).c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return -1;
    OVERLAPPED whole = {};
    if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole)) {
        CloseHandle(file);
        return -1;
    }
    return intptr_t(file);
}

void UnlockPlayerFile(intptr_t lock)
{
    if (lock != -1)
        CloseHandle(HANDLE(lock));  // closing lets go of the lock
}
