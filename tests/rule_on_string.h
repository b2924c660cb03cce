// A value rule applied to a value held in a string, for tests that compare
// whole texts: `value` is rewritten to what is written and `tinType`
// receives the TIN type (empty for other codes).
#pragma once

#include <string>
#include <string_view>

#include "verify/value_rules.h"

namespace bq::test {

inline Verdict ApplyRule(char typeCode, std::string& value, std::string& tinType, int currentYear) {
    std::string buffer;
    std::string_view written, type;
    const Verdict verdict =
        bq::ApplyRule(typeCode, std::string_view(value), buffer, written, type, currentYear);
    tinType.assign(type);
    // A copy first: the result may be a view of `value` itself.
    value = std::string(written);
    return verdict;
}

}  // namespace bq::test
