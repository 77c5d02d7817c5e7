// A POSIX program's standard streams are the ones it was started with: nothing to do.
#include "shell/console.h"

void AttachParentConsole() {}
