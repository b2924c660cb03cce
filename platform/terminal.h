// What bqdm asks of the terminal.
#pragma once

namespace bq {

// True when stderr is a terminal (progress is drawn only there).
bool StderrIsTerminal();

// Makes writing to a closed pipe a failed write instead of the end of the process.
void IgnoreBrokenPipe();

}  // namespace bq
