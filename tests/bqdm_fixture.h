// What the bqdm tests share: running the command in-process and a scratch
// folder per test, with the user registry redirected away from the real one.
#pragma once

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "tests/test_platform.h"

namespace bq {

struct BqdmResult {
    int status;
    std::string out, err;
};

inline BqdmResult Bqdm(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = cli::Run(args, out, err);
    return {status, out.str(), err.str()};
}

class BqdmFolder : public ::testing::Test {
protected:
    void SetUp() override {
        dir = std::filesystem::temp_directory_path() /
              ("bq_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir / "config");
        registry.emplace(dir / "config");
    }
    void TearDown() override {
        registry.reset();
        std::filesystem::remove_all(dir);
    }
    // Writes `bytes` to `name` in the folder; returns its path.
    std::string Write(const std::string& name, const std::string& bytes) {
        std::ofstream(dir / name, std::ios::binary) << bytes;
        return (dir / name).string();
    }
    static std::string Read(const std::filesystem::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    std::filesystem::path dir;
    std::optional<ScratchUserRegistry> registry;
};

}  // namespace bq
