// Printing for a program started from a console. The Windows game is a GUI program, so
// that no console window opens behind it; it then has no console of its own, and joins
// the one it was started from, so that --help, --version and the messages on stderr
// reach it. Elsewhere the standard streams are the terminal's already.
#pragma once

void AttachParentConsole();  // main, before anything is printed
