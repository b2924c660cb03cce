#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli.h"
#include "cli/console_buffer.h"
#include "platform/terminal.h"

namespace {

// How text goes to `stream`: converted only for a terminal that shows UTF-8,
// never into files or pipes, whose readers expect the extract's own bytes.
bq::cli::Encoding EncodingFor(bq::StandardStream stream, bool utf8Terminal) {
    return utf8Terminal && bq::IsTerminal(stream) ? bq::cli::Encoding::Utf8From1252 : bq::cli::Encoding::AsIs;
}

// What a terminal shows of control characters from outside: escapes.
bq::cli::Controls ControlsFor(bq::StandardStream stream) {
    return bq::IsTerminal(stream) ? bq::cli::Controls::Escaped : bq::cli::Controls::Kept;
}

// The progress bar's columns on stderr: none unless it is a terminal that
// can return to its line's start, which TERM=dumb cannot.
int ProgressColumns() {
    const char* term = std::getenv("TERM");
    if (!bq::IsTerminal(bq::StandardStream::Error) || (term && std::string_view(term) == "dumb")) return 0;
    return bq::StderrColumns();
}

}  // namespace

int main(int argc, char** argv) {
    bq::HoldClosedStandardStreams();
    std::ios::sync_with_stdio(false);
    // A closed standard output is reported below, not a silent death.
    bq::IgnoreBrokenPipe();
    bq::UseBinaryStandardInput();
    const bool utf8Terminal = bq::TerminalWantsUtf8();
    bq::cli::ConsoleBuffer outBuffer(stdout, EncodingFor(bq::StandardStream::Output, utf8Terminal),
                                     ControlsFor(bq::StandardStream::Output));
    bq::cli::ConsoleBuffer errBuffer(stderr, EncodingFor(bq::StandardStream::Error, utf8Terminal),
                                     ControlsFor(bq::StandardStream::Error));
    std::ostream out(&outBuffer), err(&errBuffer), bar(&errBuffer.Raw());
    const std::vector<std::string> args(argv + 1, argv + argc);
    bq::cli::Console console;
    console.progressColumns = ProgressColumns();
    console.bar = &bar;
    console.outIsTerminal = bq::IsTerminal(bq::StandardStream::Output);
    const int status = bq::cli::Run(args, std::cin, out, err, console);
    out.flush();
    if (!outBuffer.Failed()) return status;
    const int error = outBuffer.Error();
    err << "bqdm: standard output could not be written" << (error ? ": " : "")
        << (error ? std::strerror(error) : "") << "; files already written are kept\n";
    return bq::cli::kIoFailure;
}
