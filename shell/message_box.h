// The one way the game tells the user something: an SDL message box, or the
// same caption and text on stderr when no box can be shown (no display).
#pragma once

enum MessageKind { MESSAGE_INFORMATION, MESSAGE_WARNING, MESSAGE_ERROR };
struct SDL_Window;

void SetMessageOwner(SDL_Window* window);  // window creation and shutdown: the window boxes may belong to

// Modal box; owned by the game window when owned_by_window and there is one.
void ShowMessage(const char* text, const char* caption, MessageKind kind, bool owned_by_window = false);

// A failure that concerns a file: the box shows text exactly as given, and stderr
// gets one line naming the file, "caption: file: text", box or no box.
void ShowFileMessage(const char* text, const char* file_name, const char* caption, MessageKind kind,
                     bool owned_by_window);

// Yes/No question, no owner. True for Yes. Where no box can be shown (no display
// that can draw one, no fonts) the caller's no_box_answer is taken, and the
// question and that answer go to stderr.
bool AskYesNo(const char* text, const char* caption, bool no_box_answer);
