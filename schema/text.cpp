#include "schema/text.h"

namespace bq {

std::string UpperCaseAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) c = ToUpperAscii(c);
    return out;
}

std::string ZeroPad(int n, std::string_view s) {
    if (n <= 0) return {};
    const size_t width = static_cast<size_t>(n);
    if (s.size() >= width) return std::string(s.substr(s.size() - width));
    return std::string(width - s.size(), '0').append(s);
}

}  // namespace bq
