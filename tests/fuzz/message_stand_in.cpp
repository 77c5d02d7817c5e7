// The fuzz build has no SDL: the reader's messages go to stderr, and are
// counted and kept so the fuzz target can check that each failure says one thing.
#include <cstdio>
#include <cstring>

#include "shell/message_box.h"

int fuzz_message_count;
char fuzz_last_message[512];

void ShowMessage(const char* text, const char* caption, MessageKind, bool)
{
    fuzz_message_count++;
    std::snprintf(fuzz_last_message, sizeof fuzz_last_message, "%s", text);
    std::fprintf(stderr, "%s: %s\n", caption, text);
}
