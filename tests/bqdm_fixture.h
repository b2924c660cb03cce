// What the bqdm tests share: running the command in-process, comparing
// outputs too large to print, and on POSIX a scratch folder that holds the
// registry store as well.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#ifndef _WIN32
#include <stdlib.h>
#endif

#include "cli/cli.h"
#include "tests/temp_folder.h"

namespace bq {

struct BqdmResult {
    int status;
    std::string out, err;
};

// Runs bqdm in-process with `input` as its standard input.
inline BqdmResult Bqdm(const std::vector<std::string>& args, const std::string& input = "") {
    std::istringstream in(input);
    std::ostringstream out, err;
    const int status = cli::Run(args, in, out, err);
    return {status, out.str(), err.str()};
}

namespace test {

// `text` with its CR LF line breaks as bqdm prints them: LF.
inline std::string LfLines(std::string text) {
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at))
        text.erase(at, 1);
    return text;
}

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

}  // namespace test

#ifndef _WIN32
// The registry store goes to dir/config for the length of the test.
class BqdmFolder : public test::TempFolder {
  protected:
    void SetUp() override {
        TempFolder::SetUp();
        std::filesystem::create_directories(dir / "config");
        ::setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    }
    void TearDown() override {
        ::unsetenv("XDG_CONFIG_HOME");
        TempFolder::TearDown();
    }
};
#endif

}  // namespace bq
