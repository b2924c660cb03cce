#include "schema/text.h"

#include <algorithm>
#include <numeric>
#include <vector>

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

size_t EditDistance(std::string_view a, std::string_view b, size_t max) {
    // The distance is at least the difference in length.
    if ((a.size() > b.size() ? a.size() - b.size() : b.size() - a.size()) > max) return max + 1;
    std::vector<size_t> row(b.size() + 1);
    std::iota(row.begin(), row.end(), size_t{0});
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        size_t best = row[0];
        for (size_t j = 1; j <= b.size(); ++j) {
            const size_t above = row[j];
            row[j] = std::min(std::min(row[j], row[j - 1]) + 1, diagonal + (a[i - 1] != b[j - 1]));
            diagonal = above;
            best = std::min(best, row[j]);
        }
        // No later row is below this one's least.
        if (best > max) return max + 1;
    }
    return std::min(row[b.size()], max + 1);
}

}  // namespace bq
