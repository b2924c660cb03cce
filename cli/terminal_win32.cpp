#include <io.h>
#include <stdio.h>

#include "cli/commands.h"

namespace bq::cli {

bool StderrIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

}  // namespace bq::cli
