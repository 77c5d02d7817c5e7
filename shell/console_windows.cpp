// A GUI program joins the console of the program that started it, where there is one,
// and prints there; streams already sent to a file or a pipe stay where they were sent.
#include "shell/console.h"

#include <cstdio>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

static bool IsSentSomewhere(DWORD stream)
{
    HANDLE handle = GetStdHandle(stream);
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

void AttachParentConsole()
{
    const bool output_sent = IsSentSomewhere(STD_OUTPUT_HANDLE), error_sent = IsSentSomewhere(STD_ERROR_HANDLE);
    if ((output_sent && error_sent) || !AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    if (!output_sent)
        std::freopen("CONOUT$", "w", stdout);
    if (!error_sent)
        std::freopen("CONOUT$", "w", stderr);
}
