// Message boxes over SDL, with stderr standing in where no box can be shown.
#include "shell/message_box.h"

#include <SDL.h>
#include <cstdio>
#include <cstring>

static SDL_Window* message_owner;

void SetMessageOwner(SDL_Window* window)
{
    message_owner = window;
}

// The offscreen and dummy drivers have no way to show a box; X11 without a
// display fails by itself. Asking SDL in those cases could also pop a box on
// a display the game is not using, so don't.
static bool CanShowBox()
{
    const char* driver = SDL_GetCurrentVideoDriver();
    if (!driver) driver = SDL_getenv("SDL_VIDEODRIVER");
    return !(driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0));
}

static Uint32 BoxFlags(MessageKind kind)
{
    switch (kind) {
    case MESSAGE_ERROR: return SDL_MESSAGEBOX_ERROR;
    case MESSAGE_WARNING: return SDL_MESSAGEBOX_WARNING;
    default: return SDL_MESSAGEBOX_INFORMATION;
    }
}

static bool ShowBox(const char* text, const char* caption, MessageKind kind, bool owned_by_window)
{
    SDL_Window* owner = owned_by_window ? message_owner : nullptr;
    return CanShowBox() && SDL_ShowSimpleMessageBox(BoxFlags(kind), caption, text, owner) == 0;
}

void ShowMessage(const char* text, const char* caption, MessageKind kind, bool owned_by_window)
{
    if (!ShowBox(text, caption, kind, owned_by_window))
        std::fprintf(stderr, "%s: %s\n", caption, text);
}

void ShowFileMessage(const char* text, const char* file_name, const char* caption, MessageKind kind,
                     bool owned_by_window)
{
    std::fprintf(stderr, "%s: %s: %.*s\n", caption, file_name, int(std::strcspn(text, "\n")), text);
    ShowBox(text, caption, kind, owned_by_window);
}

bool AskYesNo(const char* text, const char* caption, bool no_box_answer)
{
    enum { ANSWER_NO = 0, ANSWER_YES = 1 };
    const SDL_MessageBoxButtonData buttons[] = {
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, ANSWER_NO, "No"},
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, ANSWER_YES, "Yes"},
    };
    const SDL_MessageBoxData box = {
        SDL_MESSAGEBOX_WARNING, nullptr, caption, text, 2, buttons, nullptr,
    };
    int answer = ANSWER_NO;
    if (CanShowBox() && SDL_ShowMessageBox(&box, &answer) == 0)
        return answer == ANSWER_YES;
    std::fprintf(stderr, "%s: %s\n%s: no box can be shown; taking %s\n", caption, text, caption,
                 no_box_answer ? "Yes" : "No");
    return no_box_answer;
}
