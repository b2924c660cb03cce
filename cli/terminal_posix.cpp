#include <unistd.h>

#include "cli/commands.h"

namespace bq::cli {

bool StderrIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

}  // namespace bq::cli
