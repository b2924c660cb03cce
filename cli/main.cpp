#include <cerrno>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "platform/terminal.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    // A closed standard output is reported below, not a silent death.
    bq::IgnoreBrokenPipe();
    const std::vector<std::string> args(argv + 1, argv + argc);
    const int status = bq::cli::Run(args, std::cin, std::cout, std::cerr);
    errno = 0;
    std::cout.flush();
    if (std::cout) return status;
    const int error = errno;
    std::cerr << "bqdm: standard output could not be written" << (error ? ": " : "")
              << (error ? std::strerror(error) : "") << "; files already written are kept\n";
    return bq::cli::kIoFailure;
}
