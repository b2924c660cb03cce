// The program's command line as Windows hands it over, one string.
#pragma once

#include <string>
#include <string_view>

namespace bq::shell {

// The first argument after the program name of `commandLine`: arguments
// are separated by blanks, and a double-quoted stretch may hold blanks and
// loses its quotes. Empty when there is none.
std::string FirstArgument(std::string_view commandLine);

}  // namespace bq::shell
