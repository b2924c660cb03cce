#include <fcntl.h>
#include <langinfo.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
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

void HoldClosedStandardStreams() {
    for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
        // Opened the other way round from the stream's use; the lowest free
        // number is `fd`, as the ones below it are open by now.
        const int held = ::open("/dev/null", fd == STDIN_FILENO ? O_WRONLY : O_RDONLY);
        if (held != fd && held >= 0) ::close(held);
    }
}

void IgnoreBrokenPipe() { ::signal(SIGPIPE, SIG_IGN); }

// POSIX reads bytes as they are.
void UseBinaryStandardInput() {}

}  // namespace bq
