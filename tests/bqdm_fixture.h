// What the bqdm tests share: running the command in-process, comparing
// outputs too large to print, and on POSIX a scratch folder that holds the
// registry store as well.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli.h"
#include "tests/same_bytes.h"
#include "tests/temp_folder.h"
#include "tests/test_platform.h"

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

}  // namespace test

#ifndef _WIN32
// The registry store goes to dir/config for the length of the test.
class BqdmFolder : public test::TempFolder {
  protected:
    void SetUp() override {
        TempFolder::SetUp();
        std::filesystem::create_directories(dir / "config");
        registry_.emplace(dir / "config");
    }
    void TearDown() override {
        registry_.reset();
        TempFolder::TearDown();
    }

  private:
    std::optional<ScratchUserRegistry> registry_;
};
#endif

}  // namespace bq
