// Comparing outputs too large to print: a failure shows sizes and where
// the bytes first differ, not megabytes of text.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string_view>

namespace bq::test {

// `actual` is one of `allowed`, byte for byte. A failure shows sizes and the
// first difference from each candidate, not megabytes of text.
inline ::testing::AssertionResult IsOneOf(std::string_view actual,
                                          std::initializer_list<std::string_view> allowed) {
    auto failure = ::testing::AssertionFailure() << actual.size() << " bytes";
    for (std::string_view expected : allowed) {
        if (actual == expected) return ::testing::AssertionSuccess();
        const size_t common = std::min(actual.size(), expected.size());
        const size_t at = static_cast<size_t>(
            std::mismatch(actual.begin(), actual.begin() + static_cast<std::ptrdiff_t>(common),
                          expected.begin())
                .first -
            actual.begin());
        const size_t from = at < 20 ? 0 : at - 20;
        failure << "; against " << expected.size() << " bytes expected, from byte " << from << " \""
                << actual.substr(from, 60) << "\" instead of \"" << expected.substr(from, 60) << "\"";
    }
    return failure;
}

// `actual` is `expected`, byte for byte, without printing either in full.
inline ::testing::AssertionResult SameBytes(std::string_view actual, std::string_view expected) {
    return IsOneOf(actual, {expected});
}

}  // namespace bq::test
