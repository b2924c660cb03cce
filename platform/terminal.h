// What bqdm asks of the terminal and of its standard streams.
#pragma once

namespace bq {

enum class StandardStream { Output, Error };

// True when `stream` is a terminal.
bool IsTerminal(StandardStream stream);

// True when the terminal shows UTF-8 (the locale's codeset on POSIX, the
// console's code page on Windows) and the program's text is Windows-1252.
bool TerminalWantsUtf8();

// The width of the terminal on stderr in columns; 80 when it cannot be told.
int StderrColumns();

// Gives each standard stream the program was started without a descriptor
// on which every read and write fails, so that no file it opens takes the
// stream's number: the stream stays closed, the file stays the file.
void HoldClosedStandardStreams();

// Makes writing to a closed pipe a failed write instead of the end of the process.
void IgnoreBrokenPipe();

// Makes standard input read as bytes, its line breaks and any ^Z untouched.
void UseBinaryStandardInput();

}  // namespace bq
