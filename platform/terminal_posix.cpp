#include <langinfo.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <clocale>
#include <string>
#include <string_view>

#include "platform/terminal.h"

namespace bq {

bool IsTerminal(StandardStream stream) {
    return ::isatty(stream == StandardStream::Output ? STDOUT_FILENO : STDERR_FILENO) == 1;
}

bool TerminalWantsUtf8() {
    // The user's locale is looked at and put back at once: nothing else in
    // the program may depend on a locale.
    const std::string previous = std::setlocale(LC_CTYPE, nullptr);
    if (!std::setlocale(LC_CTYPE, "")) return false;
    const std::string_view codeset = ::nl_langinfo(CODESET);
    const bool utf8 = codeset == "UTF-8" || codeset == "utf8";
    std::setlocale(LC_CTYPE, previous.c_str());
    return utf8;
}

int StderrColumns() {
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
    return 80;
}

void IgnoreBrokenPipe() { ::signal(SIGPIPE, SIG_IGN); }

// POSIX reads bytes as they are.
void UseBinaryStandardInput() {}

}  // namespace bq
