#include "cli/options.h"

#include "cli/commands.h"

namespace bq::cli {
namespace {

const Option* FindOption(std::span<const Option> options, std::string_view name, bool alias) {
    const auto matches = [&](const Option& o) {
        return alias ? name.size() == 1 && o.alias == name[0] : o.name == name;
    };
    if (matches(kHelpOption)) return &kHelpOption;
    for (const Option& o : options)
        if (matches(o)) return &o;
    return nullptr;
}

UsageError UnknownOption(const std::string& given, std::string_view name, bool isLong,
                         std::span<const Option> options) {
    std::vector<std::string_view> names{kHelpOption.name};
    for (const Option& o : options) names.push_back(o.name);
    std::string message = "unknown option '" + given + "'";
    if (isLong) message += DidYouMean(name, names, "--");
    return UsageError(message + " (a file name that begins with - goes after --)");
}

// Adds the option args[i] to `parsed` with its value, given after '=' or
// as the next argument; the index of the last argument taken.
size_t AddOption(Arguments& parsed, const std::vector<std::string>& args, size_t i,
                 std::span<const Option> options) {
    const std::string& a = args[i];
    const bool isLong = a[1] == '-';
    const std::string_view body = std::string_view(a).substr(isLong ? 2 : 1);
    const size_t equals = isLong ? body.find('=') : std::string_view::npos;
    const Option* option = FindOption(options, body.substr(0, equals), !isLong);
    if (!option) throw UnknownOption(a, body.substr(0, equals), isLong, options);
    const std::string shown = "--" + std::string(option->name);
    if (option->value.empty()) {
        if (equals != std::string_view::npos) throw UsageError(shown + " takes no value");
        parsed.options.emplace_back(option->name, "");
    } else if (equals != std::string_view::npos) {
        parsed.options.emplace_back(option->name, std::string(body.substr(equals + 1)));
    } else {
        if (i + 1 >= args.size())
            throw UsageError(shown + " needs a value (" + std::string(option->value) + ")");
        parsed.options.emplace_back(option->name, args[++i]);
    }
    return i;
}

}  // namespace

bool Arguments::Has(std::string_view name) const { return Value(name).has_value(); }

std::optional<std::string> Arguments::Value(std::string_view name) const {
    std::optional<std::string> value;
    for (const auto& [given, text] : options)
        if (given == name) value = text;
    return value;
}

Arguments ParseArguments(const std::vector<std::string>& args, std::span<const Option> options,
                         size_t maxOperands) {
    Arguments parsed;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        // A lone "-" is an operand: standard input, where a command takes it.
        if (optionsEnded || a.size() < 2 || a[0] != '-') {
            if (parsed.operands.size() == maxOperands) throw UsageError("unexpected argument '" + a + "'");
            parsed.operands.push_back(a);
        } else if (a == "--") {
            optionsEnded = true;
        } else {
            i = AddOption(parsed, args, i, options);
        }
    }
    return parsed;
}

}  // namespace bq::cli
