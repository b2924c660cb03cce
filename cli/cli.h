// bqdm, the headless tool: the module's conversion and its catalogue on the
// command line. Exit status: 0 done, 1 extract rejected, 2 usage error,
// 3 a file, the registry value or standard output could not be read or written.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace bq::cli {

enum ExitStatus { kOk = 0, kRejected = 1, kUsage = 2, kIoFailure = 3 };

// What bqdm knows of the terminal it writes to. main() reads the process's
// once; any other caller, a test among them, has no terminal unless it says so.
struct Console {
    // The columns the progress bar may use on `err`: 0 when `err` is no
    // terminal, or one that cannot go back to its line's start.
    int progressColumns = 0;
    // Where the bar is drawn, its carriage returns unescaped; `err` when null.
    std::ostream* bar = nullptr;
    // `out` is a terminal: a file name's own line breaks are shown escaped
    // there, so that they cannot forge lines of what bqdm prints.
    bool outIsTerminal = false;
};

// Runs bqdm with `args` (without the program name), reading standard input
// from `in` and writing to `out` and `err`.
int Run(const std::vector<std::string>& args, std::istream& in, std::ostream& out, std::ostream& err,
        const Console& console = {});

}  // namespace bq::cli
