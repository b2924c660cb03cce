#include "shell/command_line.h"

namespace bq::shell {
namespace {

// Takes the next argument off the front of `rest`.
std::string NextArgument(std::string_view& rest) {
    size_t at = 0;
    while (at < rest.size() && (rest[at] == ' ' || rest[at] == '\t')) ++at;
    std::string argument;
    bool quoted = false;
    for (; at < rest.size(); ++at) {
        const char c = rest[at];
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && (c == ' ' || c == '\t'))
            break;
        else
            argument += c;
    }
    rest.remove_prefix(at);
    return argument;
}

}  // namespace

std::string FirstArgument(std::string_view commandLine) {
    NextArgument(commandLine);  // the program
    return NextArgument(commandLine);
}

}  // namespace bq::shell
