#include "schema/text.h"

namespace bq {

std::string UpperCaseAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = ToUpperAscii(c);
    return out;
}

std::string RepeatChar(char ch, int n) { return n > 0 ? std::string(static_cast<size_t>(n), ch) : std::string(); }

std::string LeftPart(std::string_view s, int n) {
    if (n <= 0) return {};
    return std::string(s.substr(0, static_cast<size_t>(n)));
}

std::string RightPart(std::string_view s, int n) {
    if (n <= 0) return {};
    const size_t keep = static_cast<size_t>(n);
    return std::string(s.size() <= keep ? s : s.substr(s.size() - keep));
}

std::string MidPart(std::string_view s, int from, int n) {
    if (n <= 0) return {};
    if (from < 1 || s.size() < static_cast<size_t>(from) + static_cast<size_t>(n) - 1) return RepeatChar(' ', n);
    return std::string(s.substr(static_cast<size_t>(from) - 1, static_cast<size_t>(n)));
}

std::string ZeroPad(int n, std::string_view s) { return RightPart(RepeatChar('0', n) + std::string(s), n); }

}  // namespace bq
