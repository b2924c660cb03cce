#include <io.h>
#include <stdio.h>

#include "platform/terminal.h"

namespace bq {

bool StderrIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

// Windows has no SIGPIPE: a write to a closed pipe already fails.
void IgnoreBrokenPipe() {}

}  // namespace bq
