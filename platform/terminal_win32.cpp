#include <io.h>
#include <stdio.h>

#include "platform/terminal.h"

namespace bq {

bool StderrIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

}  // namespace bq
