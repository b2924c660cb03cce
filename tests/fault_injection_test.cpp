// bqdm against real failures of the file system: the built binary runs as a
// child process, as an unprivileged user where permissions must bite (root
// ignores them). Every failure must give its exact message and status 3,
// leave the previous output as it was and leave no temporary file behind.
// POSIX only: fork, exec, signals and permissions.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "tests/bqdm_fixture.h"

extern char** environ;

namespace bq {
namespace {

namespace fs = std::filesystem;

using test::IsOneOf;
using test::SameBytes;

constexpr const char* kSetpriv = "/usr/bin/setpriv";

struct Outcome {
    int status = -1;  // exit status, or -1 when killed
    std::string out, err;
};

// The extract x.txt and its previous output in dir/data, the registry store
// in dir/config; every folder open to the unprivileged user.
class FaultInjection : public BqdmFolder {
  protected:
    void SetUp() override {
        BqdmFolder::SetUp();
        fs::create_directories(dir / "data");
        for (const fs::path& p : {dir, dir / "data", dir / "config"}) fs::permissions(p, fs::perms::all);
        extract = Write("data/x.txt", kExtract);
        output = Write("data/2018DM_x.txt", "old output\r\n");
    }

    // The prefix that runs a command without root's privileges, or false when
    // permissions cannot be made to bite here.
    bool Unprivileged(std::vector<std::string>& prefix) const {
        if (::geteuid() != 0) return true;
        if (::access(kSetpriv, X_OK) != 0) return false;
        prefix = {kSetpriv, "--reuid=65534", "--regid=65534", "--clear-groups"};
        return true;
    }

    // Starts `argv` with stdout and stderr to files and this process's
    // environment, XDG_CONFIG_HOME included; returns its pid.
    pid_t Start(const std::vector<std::string>& argv) {
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        const std::string out = (dir / "stdout").string(), err = (dir / "stderr").string();
        const pid_t pid = ::fork();
        if (pid == 0) {
            const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(o, STDOUT_FILENO);
            ::dup2(e, STDERR_FILENO);
            ::execve(args[0], args.data(), environ);
            ::_exit(127);
        }
        return pid;
    }

    // Waits for `pid`; a child that has not ended within a minute is killed
    // and fails the test, so a hang cannot stall the suite.
    Outcome Finish(pid_t pid) {
        Outcome r;
        int status = 0;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
        while (::waitpid(pid, &status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                ::kill(pid, SIGKILL);
                ::waitpid(pid, &status, 0);
                ADD_FAILURE() << "bqdm hung";
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        if (WIFEXITED(status)) r.status = WEXITSTATUS(status);
        r.out = Read(dir / "stdout");
        r.err = Read(dir / "stderr");
        return r;
    }

    // Runs the built bqdm as a child process.
    Outcome BqdmChild(const std::vector<std::string>& args, const std::vector<std::string>& prefix = {}) {
        std::vector<std::string> argv = prefix;
        argv.push_back(BQDM_PATH);
        argv.insert(argv.end(), args.begin(), args.end());
        return Finish(Start(argv));
    }

    static constexpr const char* kExtract =
        "FORM 1098-E\r\nKEY 0191000000000010010000\r\n{BEGIN DATA}\r\nONE\r\n000000001\r\n125.00\r\n{END "
        "DATA}\r\n";
    static constexpr const char* kNewOutput = "ONE,,,,,,,,,,N/A,000000001,,,125.00,,,,\r\n";
    const std::vector<std::string> kDataFiles = {"2018DM_x.txt", "x.txt"};

    std::string extract, output;
};

#define REQUIRE_UNPRIVILEGED(prefix) \
    if (!Unprivileged(prefix)) GTEST_SKIP() << "running as root without " << kSetpriv

TEST_F(FaultInjection, OutputFolderNotWritableKeepsThePreviousOutput) {
    std::vector<std::string> prefix;
    REQUIRE_UNPRIVILEGED(prefix);
    fs::permissions(dir / "data", fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                      fs::perms::group_exec | fs::perms::others_read |
                                      fs::perms::others_exec);
    const Outcome r = BqdmChild({"merge", extract}, prefix);
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err, "Cannot create file \"" + output + "\". Permission denied.\n");
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(Read(output), "old output\r\n");
    EXPECT_EQ(Entries(dir / "data"), kDataFiles);
    EXPECT_EQ(Entries(dir / "config"), std::vector<std::string>{});
}

TEST_F(FaultInjection, OutputPathTakenByAFolder) {
    fs::remove(output);
    fs::create_directory(output);
    const Outcome r = BqdmChild({"merge", extract});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err, "Cannot create file \"" + output + "\". Is a directory.\n");
    EXPECT_TRUE(fs::is_directory(output));
    EXPECT_EQ(Entries(dir / "data"), kDataFiles);
    EXPECT_EQ(Entries(output), std::vector<std::string>{});
}

TEST_F(FaultInjection, UnreadableExtractIsAnIoFailure) {
    std::vector<std::string> prefix;
    REQUIRE_UNPRIVILEGED(prefix);
    fs::permissions(extract, fs::perms::none);
    for (const char* command : {"merge", "check"}) {
        const Outcome r = BqdmChild({command, extract}, prefix);
        EXPECT_EQ(r.status, 3) << command;
        EXPECT_EQ(r.err, "Cannot open file \"" + extract + "\". Permission denied.\n") << command;
    }
    EXPECT_EQ(Read(output), "old output\r\n");
    EXPECT_EQ(Entries(dir / "data"), kDataFiles);
}

TEST_F(FaultInjection, ExtractReplacedBeforeItIsRead) {
    // Replaced by a folder, or gone: each is refused when bqdm comes to read it.
    fs::remove(extract);
    fs::create_directory(extract);
    Outcome r = BqdmChild({"merge", extract});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err, "Cannot open file \"" + extract + "\". Is a directory.\n");
    fs::remove(extract);
    r = BqdmChild({"merge", extract});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err, "Cannot open file \"" + extract + "\". No such file or directory.\n");
    EXPECT_EQ(Read(output), "old output\r\n");
    EXPECT_EQ(Entries(dir / "data"), std::vector<std::string>{"2018DM_x.txt"});
}

TEST_F(FaultInjection, ExtractReplacedWhileMergingGivesTheOutputOfOneVersion) {
    // The outside application replaces the extract atomically, over and over,
    // while merges run: each merge converts one whole version, never a mix.
    const std::string one = kExtract;
    std::string two = "FORM 1098-E\r\nKEY 0191000000000010010000\r\n{BEGIN DATA}\r\n";
    for (int i = 0; i < 500; ++i) two += "TWO\r\n12-3456789\r\n7\r\n";
    two += "{END DATA}\r\n";
    std::string twoOutput;
    for (int i = 0; i < 500; ++i) twoOutput += "TWO,,,,,,,,,,EIN,123456789,,,7,,,,\r\n";
    Write("one", one);
    Write("two", two);
    std::atomic<bool> stop{false};
    std::thread replacer([&] {
        for (unsigned i = 0; !stop; ++i) {
            fs::copy_file(dir / (i % 2 ? "one" : "two"), dir / "next", fs::copy_options::overwrite_existing);
            fs::rename(dir / "next", extract);
        }
    });
    for (int run = 0; run < 40; ++run) {
        const BqdmResult r = Bqdm({"merge", extract});
        ASSERT_EQ(r.status, 0) << r.err;
        const std::string written = Read(output);
        ASSERT_TRUE(IsOneOf(written, {kNewOutput, twoOutput}));
    }
    stop = true;
    replacer.join();
    EXPECT_EQ(Entries(dir / "data"), kDataFiles);
}

TEST_F(FaultInjection, RegistryFolderThatIsAFileFailsAfterTheOutput) {
    Write("config/BRISQUILL", "a file");
    const Outcome r = BqdmChild({"merge", extract});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err, "Failed to create key Import\\BQ2018.\n");
    EXPECT_EQ(r.out, "");
    // The output is written before the registry value, as the filing product's steps expect.
    EXPECT_EQ(Read(output), kNewOutput);
    EXPECT_EQ(Read(dir / "config" / "BRISQUILL"), "a file");
    EXPECT_EQ(Entries(dir / "config"), std::vector<std::string>{"BRISQUILL"});
}

TEST_F(FaultInjection, UnwritableRegistryStoreKeepsItsContent) {
    std::vector<std::string> prefix;
    REQUIRE_UNPRIVILEGED(prefix);
    const fs::path key = dir / "config" / "BRISQUILL";
    fs::create_directory(key);
    const std::string store = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Other]\n\"A\"=\"1\"\n";
    Write("config/BRISQUILL/HKCU.reg", store);
    fs::permissions(key, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read |
                             fs::perms::others_exec | fs::perms::group_read | fs::perms::group_exec);
    Outcome r = BqdmChild({"merge", extract}, prefix);
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err, "Failed to set data for 'TextDirectory'\n");
    EXPECT_EQ(Read(key / "HKCU.reg"), store);
    EXPECT_EQ(Entries(key), std::vector<std::string>{"HKCU.reg"});

    // Without a store yet, the key itself cannot be made.
    fs::permissions(key, fs::perms::owner_write, fs::perm_options::add);
    fs::remove(key / "HKCU.reg");
    fs::permissions(key, fs::perms::owner_write, fs::perm_options::remove);
    r = BqdmChild({"merge", extract}, prefix);
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err, "Failed to create key Import\\BQ2018.\n");
    EXPECT_EQ(Entries(key), std::vector<std::string>{});
    EXPECT_EQ(Read(output), kNewOutput);
    EXPECT_EQ(Entries(dir / "data"), kDataFiles);
}

TEST_F(FaultInjection, KillDuringWriteLeavesTheOldOrTheWholeNewOutput) {
    // A large extract, so that a kill at a random moment often lands while
    // the output is being written.
    std::string big = "FORM 1098-E\r\nKEY 0191000000000010010000\r\n{BEGIN DATA}\r\n";
    std::string expected;
    for (int i = 0; i < 100000; ++i) {
        big += "RECIPIENT NUMBER " + std::to_string(i) + "\r\n123-45-6789\r\n1,234.56\r\n";
        expected += "\"RECIPIENT NUMBER " + std::to_string(i) + "\",,,,,,,,,,SSN,123456789,,,1234.56,,,,\r\n";
    }
    Write("data/x.txt", big + "{END DATA}\r\n");

    // How long a whole merge takes here sets the range of kill moments.
    auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(BqdmChild({"merge", extract}).status, 0);
    const auto whole = std::chrono::steady_clock::now() - started;
    ASSERT_TRUE(SameBytes(Read(output), expected));

    std::mt19937 random(12345);
    int killedWhileRunning = 0;
    for (int round = 0; round < 10; ++round) {
        Write("data/2018DM_x.txt", "old output\r\n");
        const pid_t pid = Start({BQDM_PATH, "merge", extract});
        std::uniform_int_distribution<long long> moment(
            0, std::chrono::duration_cast<std::chrono::microseconds>(whole).count());
        std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
        ::kill(pid, SIGKILL);
        killedWhileRunning += Finish(pid).status == -1;
        const std::string after = Read(output);
        ASSERT_TRUE(IsOneOf(after, {"old output\r\n", expected})) << "round " << round;
    }
    EXPECT_GT(killedWhileRunning, 0);

    // The next successful merge removes what killed writers left behind, and
    // only that: a temporary file of a writer still running stays.
    const pid_t gone = Start({"/bin/true"});
    Finish(gone);
    const std::string stale = ".~2018DM_x.txt." + std::to_string(gone) + ".0.tmp";
    const std::string live = ".~2018DM_x.txt." + std::to_string(::getpid()) + ".0.tmp";
    Write("data/" + stale, "partial");
    Write("data/" + live, "partial");
    const Outcome r = BqdmChild({"merge", extract});
    EXPECT_EQ(r.status, 0);
    EXPECT_TRUE(SameBytes(Read(output), expected));
    EXPECT_EQ(Entries(dir / "data"), (std::vector<std::string>{live, "2018DM_x.txt", "x.txt"}));
}

}  // namespace
}  // namespace bq
