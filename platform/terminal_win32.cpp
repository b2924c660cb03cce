#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <stdio.h>

#include "platform/terminal.h"

namespace bq {

bool IsTerminal(StandardStream stream) {
    return _isatty(_fileno(stream == StandardStream::Output ? stdout : stderr)) != 0;
}

// Only a console switched to UTF-8 (chcp 65001) wants it, and only text in
// Windows-1252 is known how to convert.
bool TerminalWantsUtf8() { return GetConsoleOutputCP() == CP_UTF8 && GetACP() == 1252; }

int StderrColumns() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (GetConsoleScreenBufferInfo(GetStdHandle(STD_ERROR_HANDLE), &info))
        return info.srWindow.Right - info.srWindow.Left + 1;
    return 80;
}

// Windows has no SIGPIPE: a write to a closed pipe already fails.
void IgnoreBrokenPipe() {}

// Windows does not hand a closed stream's handle to the next file opened.
void HoldClosedStandardStreams() {}

void UseBinaryStandardInput() { _setmode(_fileno(stdin), _O_BINARY); }

}  // namespace bq
