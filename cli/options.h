// bqdm's command-line options: "--name value" and "--name=value" alike, a
// one-letter alias such as "-o FILE", and "--" ending the options so that
// every argument after it is an operand.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace bq::cli {

// One option a command takes.
struct Option {
    std::string_view name;   // the long name without its dashes: "fields"
    char alias;              // the one-letter alias ('o' for -o), or 0
    std::string_view value;  // what its value is called ("LIST"); empty for a flag
    std::string_view help;   // its line in COMMAND --help; "\n" starts another line
};

// -h and --help, which every command takes.
inline constexpr Option kHelpOption{"help", 'h', "", "show this help"};

// A command line split into options and operands.
struct Arguments {
    std::vector<std::pair<std::string_view, std::string>> options;  // name and value, as given
    std::vector<std::string> operands;

    bool Has(std::string_view name) const;
    // The value given last for `name`; nullopt when the option was not given.
    std::optional<std::string> Value(std::string_view name) const;
};

// Splits `args` by the options a command takes (and kHelpOption). Throws
// UsageError for an unknown option, a missing value, a value given to a
// flag, or an operand beyond the first `maxOperands`.
Arguments ParseArguments(const std::vector<std::string>& args, std::span<const Option> options,
                         size_t maxOperands);

}  // namespace bq::cli
