// What bqdm asks of the terminal.
#pragma once

namespace bq {

// True when stderr is a terminal (progress is drawn only there).
bool StderrIsTerminal();

}  // namespace bq
