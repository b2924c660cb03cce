#include <signal.h>
#include <unistd.h>

#include "platform/terminal.h"

namespace bq {

bool StderrIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

void IgnoreBrokenPipe() { ::signal(SIGPIPE, SIG_IGN); }

}  // namespace bq
