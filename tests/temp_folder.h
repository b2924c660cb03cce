// A scratch folder per test, removed afterwards, with helpers to put bytes
// in, read them back and list what a folder holds.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <process.h>
#else
#include <unistd.h>
#endif

namespace bq::test {

class TempFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        // The process id keeps apart two runs of the same test at the same time.
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = std::filesystem::temp_directory_path() /
              ("bq_" + std::to_string(ProcessId()) + "_" + test->test_suite_name() + "_" + test->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
    }
    // A test may have taken permissions away anywhere below the folder: the
    // owner gets them back first, or the folder could not be removed.
    void TearDown() override {
        namespace fs = std::filesystem;
        std::error_code ec;
        fs::permissions(dir, fs::perms::owner_all, fs::perm_options::add, ec);
        for (fs::recursive_directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
            std::error_code ignored;
            if (it->is_directory(ignored))
                fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        }
        fs::remove_all(dir, ec);
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
    // The names in `folder`, sorted, so that a left-over temporary file shows.
    static std::vector<std::string> Entries(const std::filesystem::path& folder) {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(folder))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    static int ProcessId() {
#ifdef _WIN32
        return ::_getpid();
#else
        return static_cast<int>(::getpid());
#endif
    }

    std::filesystem::path dir;
};

}  // namespace bq::test
