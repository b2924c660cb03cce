// bqdm against real failures of the file system: the built binary runs as a
// child process, as an unprivileged user where permissions must bite (root
// ignores them). Every failure must give its exact message and status 3,
// leave the previous output as it was and leave no temporary file behind.
// POSIX only: fork, exec, signals and permissions.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "tests/bqdm_fixture.h"
#include "tests/samples.h"

extern char** environ;

namespace bq {
namespace {

namespace fs = std::filesystem;

// Writes `bytes` to the file `p`, wherever it lies.
void WriteBytes(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }

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
    // environment, XDG_CONFIG_HOME included, and no core dump on a signal
    // that would leave one; returns its pid.
    pid_t Start(const std::vector<std::string>& argv) {
        std::vector<char*> args;
        for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        const std::string out = (dir / "stdout").string(), err = (dir / "stderr").string();
        const pid_t pid = ::fork();
        if (pid == 0) {
            const rlimit noCore{0, 0};
            ::setrlimit(RLIMIT_CORE, &noCore);
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

    static inline const std::string kExtract = test::k1098ESample;
    static constexpr std::string_view kNewOutput = test::k1098ESampleRow;
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

TEST_F(FaultInjection, AFolderThatCanBeWrittenButNotListedTakesTheOutput) {
    std::vector<std::string> prefix;
    REQUIRE_UNPRIVILEGED(prefix);
    // A drop box: its files can be opened by name, made and renamed, not listed.
    fs::permissions(dir / "data", fs::perms{0333});  // -wx-wx-wx
    const Outcome r = BqdmChild({"merge", extract}, prefix);
    fs::permissions(dir / "data", fs::perms::all);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Read(output), kNewOutput);
    EXPECT_EQ(Entries(dir / "data"), kDataFiles);
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
    // Gone, it is refused when bqdm comes to read it; replaced by a folder,
    // it is a folder of extracts, here none.
    fs::remove(extract);
    Outcome r = BqdmChild({"merge", extract});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err, "Cannot open file \"" + extract + "\". No such file or directory.\n");
    fs::create_directory(extract);
    r = BqdmChild({"merge", extract});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "0 extracts: 0 valid, 0 rejected, 0 could not be read; 0 skipped\n");
    EXPECT_EQ(Read(output), "old output\r\n");
    fs::remove(extract);
    EXPECT_EQ(Entries(dir / "data"), std::vector<std::string>{"2018DM_x.txt"});
}

TEST_F(FaultInjection, ExtractReplacedWhileMergingGivesTheOutputOfOneVersion) {
    // The outside application replaces the extract atomically, over and over,
    // while merges run: each merge converts one whole version, never a mix.
    const std::string one = kExtract;
    std::string two = test::k1098EHead;
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
    // The system's message, and below it why.
    EXPECT_EQ(r.err, "Failed to create key Import\\BQ2018.\n" + (dir / "config" / "BRISQUILL").string() +
                         ": Not a directory.\n");
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
    std::string big = test::k1098EHead;
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
        // The output and the store are written unnamed: a kill leaves no part of them.
        EXPECT_EQ(Entries(dir / "data"), kDataFiles) << "round " << round;
        if (fs::exists(dir / "config" / "BRISQUILL")) {
            for (const std::string& name : Entries(dir / "config" / "BRISQUILL"))
                EXPECT_TRUE(name == "HKCU.reg" || name == "HKCU.reg.lock") << name << ", round " << round;
        }
    }
    EXPECT_GT(killedWhileRunning, 0);

    // A killed writer cannot clean up after itself; later runs remove only
    // what they made themselves, never another writer's file.
    std::vector<std::string> expectedEntries = Entries(dir / "data");
    const std::string foreign = ".~bqabcdefghij.tmp";
    WriteBytes(dir / "data" / foreign, "partial");
    expectedEntries.push_back(foreign);
    std::sort(expectedEntries.begin(), expectedEntries.end());
    const Outcome r = BqdmChild({"merge", extract});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(Read(output), expected);
    EXPECT_EQ(Entries(dir / "data"), expectedEntries);
}

TEST_F(FaultInjection, InterruptedOrTerminatedMergeRemovesItsTemporaryFile) {
    std::string big = test::k1098EHead;
    for (int i = 0; i < 100000; ++i)
        big += "RECIPIENT NUMBER " + std::to_string(i) + "\r\n123-45-6789\r\n1.00\r\n";
    WriteBytes(extract, big + "{END DATA}\r\n");
    auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(BqdmChild({"merge", extract}).status, 0);
    const auto whole = std::chrono::steady_clock::now() - started;
    const std::string complete = Read(output);

    std::mt19937 random(777);
    int signalled = 0;
    // Ctrl+C, kill, a closed terminal and Ctrl+Backslash.
    constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};
    for (int round = 0; round < 12; ++round) {
        WriteBytes(output, "old output\r\n");
        const pid_t pid = Start({BQDM_PATH, "merge", extract});
        std::uniform_int_distribution<long long> moment(
            0, std::chrono::duration_cast<std::chrono::microseconds>(whole).count());
        std::this_thread::sleep_for(std::chrono::microseconds(moment(random)));
        ::kill(pid, kSignals[round % 4]);
        signalled += Finish(pid).status == -1;
        const std::string after = Read(output);
        ASSERT_TRUE(after == "old output\r\n" || after == complete) << "round " << round;
        EXPECT_EQ(Entries(dir / "data"), kDataFiles) << "round " << round;
    }
    EXPECT_GT(signalled, 0);
}

// AddressSanitizer reserves terabytes of address space at start: no build
// of it runs under an address-space limit.
#ifdef __SANITIZE_ADDRESS__
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif

// Runs what follows it under an address-space limit of `kilobytes`.
std::vector<std::string> MemoryLimit(int kilobytes) {
    return {"/bin/sh", "-c", "ulimit -v " + std::to_string(kilobytes) + " && exec \"$0\" \"$@\""};
}

TEST_F(FaultInjection, ParallelMergesLoseNoKeyOfAnotherWriter) {
    // Another writer keeps adding keys under the store's lock while merges run.
    const fs::path key = dir / "config" / "BRISQUILL";
    fs::create_directories(key);
    const std::string store = (key / "HKCU.reg").string();
    std::vector<pid_t> merges;
    for (int i = 0; i < 8; ++i) merges.push_back(Start({BQDM_PATH, "merge", extract}));
    for (int k = 0; k < 100; ++k) {
        const int lock = ::open((store + ".lock").c_str(), O_RDWR | O_CREAT, 0600);
        ASSERT_EQ(::flock(lock, LOCK_EX), 0);
        const std::string before = fs::exists(store) ? Read(store) : "REGEDIT4\n";
        WriteBytes(store + ".new", before + "\n[HKEY_CURRENT_USER\\Other\\K" + std::to_string(k) + "]\n");
        fs::rename(store + ".new", store);
        ::close(lock);
    }
    for (pid_t pid : merges) EXPECT_EQ(Finish(pid).status, 0);
    const std::string after = Read(store);
    for (int k = 0; k < 100; ++k)
        EXPECT_NE(after.find("[HKEY_CURRENT_USER\\Other\\K" + std::to_string(k) + "]\n"), std::string::npos)
            << k;
    EXPECT_NE(after.find("\"TextDirectory\"=\"" + (dir / "data").string() + "/\""), std::string::npos);
}

TEST_F(FaultInjection, AStoreEmptiedByAnotherProgramsRewriteKeepsWhatThatProgramWrites) {
    // A program that takes no lock rewrites the store in place: it empties
    // the file, is held up, then writes. Its keys must survive the merge.
    const fs::path key = dir / "config" / "BRISQUILL";
    fs::create_directories(key);
    const std::string store = (key / "HKCU.reg").string();
    const std::string other = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Other]\n\"A\"=\"1\"\n";
    WriteBytes(store, other);
    const int rewrite = ::open(store.c_str(), O_WRONLY | O_TRUNC);
    ASSERT_GE(rewrite, 0);
    const pid_t merge = Start({BQDM_PATH, "merge", extract});
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    ASSERT_EQ(::write(rewrite, other.data(), other.size()), static_cast<ssize_t>(other.size()));
    ::close(rewrite);
    const Outcome r = Finish(merge);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Read(store), other + "\n[HKEY_CURRENT_USER\\BRISQUILL\\Import\\BQ2018]\n\"TextDirectory\"=\"" +
                               (dir / "data").string() + "/\"\n");
}

TEST_F(FaultInjection, AStoreLockHeldByAHungProgramFailsTheValueNotTheRun) {
    // A writer stopped while it holds the lock would otherwise hang every merge after it.
    const fs::path key = dir / "config" / "BRISQUILL";
    fs::create_directories(key);
    const std::string store = (key / "HKCU.reg").string();
    WriteBytes(store, "REGEDIT4\n\n[HKEY_CURRENT_USER\\Other]\n");
    const int lock = ::open((store + ".lock").c_str(), O_RDWR | O_CREAT, 0600);
    ASSERT_EQ(::flock(lock, LOCK_EX), 0);
    const Outcome r = BqdmChild({"merge", extract});
    ::close(lock);
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err, "Failed to set data for 'TextDirectory'\n");
    EXPECT_EQ(Read(output), kNewOutput);
    EXPECT_EQ(Read(store), "REGEDIT4\n\n[HKEY_CURRENT_USER\\Other]\n");
}

TEST_F(FaultInjection, Utf16StoreIsRefusedAndLeftByteForByte) {
    const fs::path key = dir / "config" / "BRISQUILL";
    fs::create_directories(key);
    std::string utf16 = "\xFF\xFE";
    for (char c : std::string("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Other]\r\n"))
        utf16 += std::string{c, '\0'};
    WriteBytes(key / "HKCU.reg", utf16);
    const Outcome r = BqdmChild({"merge", extract});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err, "Failed to create key Import\\BQ2018.\n" + (key / "HKCU.reg").string() +
                         " is UTF-16 text, not a REGEDIT4 export.\n");
    EXPECT_EQ(Read(key / "HKCU.reg"), utf16);
    EXPECT_EQ(Read(output), kNewOutput);
}

// A store bqdm must not touch is left byte for byte, and bqdm says why
// below the system's message: one its owner made read-only, a file that is
// no REGEDIT4 export; and with no folder for the store at all, that.
TEST_F(FaultInjection, StoresThatMustNotBeTouchedAreRefusedWithTheirReason) {
    const fs::path key = dir / "config" / "BRISQUILL";
    fs::create_directories(key);
    const fs::path store = key / "HKCU.reg";
    const std::string regedit = "REGEDIT4\n\n[HKEY_CURRENT_USER\\Other]\n\"A\"=\"1\"\n";
    WriteBytes(store, regedit);
    fs::permissions(store, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    Outcome r = BqdmChild({"merge", extract});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err, "Failed to set data for 'TextDirectory'\n" + store.string() + " is read-only.\n");
    EXPECT_EQ(Read(store), regedit);

    fs::permissions(store, fs::perms::owner_read | fs::perms::owner_write);
    WriteBytes(store, "not a registry export\n");
    r = BqdmChild({"merge", extract});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err,
              "Failed to set data for 'TextDirectory'\n" + store.string() + " is not a REGEDIT4 export.\n");
    EXPECT_EQ(Read(store), "not a registry export\n");

    r = BqdmChild({"merge", extract}, {"/usr/bin/env", "-u", "HOME", "-u", "XDG_CONFIG_HOME"});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err, "Failed to create key Import\\BQ2018.\nHOME and XDG_CONFIG_HOME are not set.\n");
    EXPECT_EQ(Read(output), kNewOutput);
}

TEST_F(FaultInjection, LinkedStoreIsUpdatedAtItsTargetWithItsMode) {
    const fs::path key = dir / "config" / "BRISQUILL";
    fs::create_directories(key);
    WriteBytes(dir / "real.reg", "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Other]\r\n\"A\"=\"1\"\r\n");
    fs::permissions(dir / "real.reg", fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink(dir / "real.reg", key / "HKCU.reg");
    EXPECT_EQ(BqdmChild({"merge", extract}).status, 0);
    EXPECT_TRUE(fs::is_symlink(key / "HKCU.reg"));
    EXPECT_EQ(Read(dir / "real.reg"),
              "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Other]\r\n\"A\"=\"1\"\r\n\r\n"
              "[HKEY_CURRENT_USER\\BRISQUILL\\Import\\BQ2018]\r\n\"TextDirectory\"=\"" +
                  (dir / "data").string() + "/\"\r\n");
    EXPECT_EQ(fs::status(dir / "real.reg").permissions(), fs::perms::owner_read | fs::perms::owner_write);
}

TEST_F(FaultInjection, ModesNeverWiden) {
    const mode_t old = ::umask(022);
    // A new output is no more open than its extract; a replaced one keeps its mode.
    fs::remove(output);
    fs::permissions(extract, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(BqdmChild({"merge", extract}).status, 0);
    EXPECT_EQ(fs::status(output).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    fs::permissions(extract, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                 fs::perms::others_read);
    EXPECT_EQ(BqdmChild({"merge", extract}).status, 0);
    EXPECT_EQ(fs::status(output).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    const fs::path store = dir / "config" / "BRISQUILL" / "HKCU.reg";
    fs::permissions(store, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(BqdmChild({"merge", extract}).status, 0);
    EXPECT_EQ(fs::status(store).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    ::umask(old);
}

TEST_F(FaultInjection, TheLongestLegalOutputNameWorks) {
    const std::string name(255 - 7, 'n');  // "2018DM_" + name is 255 bytes
    WriteBytes(dir / "data" / name, kExtract);
    const Outcome r = BqdmChild({"merge", (dir / "data" / name).string()});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Read(dir / "data" / ("2018DM_" + name)), kNewOutput);
}

// Without --force, of concurrent runs into one new file exactly one writes
// it; the check and the write are one step, so no run replaces another's.
TEST_F(FaultInjection, WithoutForceExactlyOneOfConcurrentRunsCreatesTheFile) {
    const std::string csv = Write("data/a.csv", "Name line 1\r\nALPHA\r\n");
    const std::string target = (dir / "data" / "t.txt").string();
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"extract", "1099-MISC", "--from", csv, "-o", target},
          std::vector<std::string>{"template", "1099-MISC", "--fields", "0", "--csv", "-o", target}}) {
        fs::remove(target);
        std::vector<pid_t> runs;
        std::vector<std::string> errs;
        for (int i = 0; i < 20; ++i) {
            std::vector<std::string> argv{
                "/bin/sh", "-c",
                std::string("exec \"$0\" \"$@\" 2>") + (dir / ("err" + std::to_string(i))).string(),
                BQDM_PATH};
            argv.insert(argv.end(), command.begin(), command.end());
            runs.push_back(Start(argv));
        }
        int created = 0, refused = 0;
        for (size_t i = 0; i < runs.size(); ++i) {
            const Outcome r = Finish(runs[i]);
            const std::string err = Read(dir / ("err" + std::to_string(i)));
            if (r.status == 0) ++created;
            if (r.status == 3 &&
                err == "Cannot create file \"" + target + "\". It exists; --force replaces it.\n")
                ++refused;
        }
        EXPECT_EQ(created, 1) << command[0];
        EXPECT_EQ(refused, 19) << command[0];
    }
}

// Root's bqdm follows no link that another user planted: not at the store's
// folder, not at an output named by -o. Its own links it follows.
TEST_F(FaultInjection, LinksOfAnotherUserAreNotFollowed) {
    if (::geteuid() != 0) GTEST_SKIP() << "making another user's link needs root";
    const fs::path secret = dir / "secret";
    fs::create_directory(secret);
    fs::permissions(secret, fs::perms::owner_all);
    const fs::path planted = dir / "config" / "BRISQUILL";
    fs::create_symlink(secret, planted);
    ASSERT_EQ(::lchown(planted.c_str(), 65534, 65534), 0);
    Outcome r = BqdmChild({"merge", extract});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err, "Cannot create file \"" + planted.string() +
                         "\". It is a symbolic link that belongs to another user.\n");
    EXPECT_EQ(Entries(secret), std::vector<std::string>{});

    const fs::path victim = dir / "victim.txt";
    WriteBytes(victim, "root's own\n");
    const fs::path link = dir / "data" / "t.txt";
    fs::create_symlink(victim, link);
    ASSERT_EQ(::lchown(link.c_str(), 65534, 65534), 0);
    const std::string csv = Write("data/a.csv", "Name line 1\r\nALPHA\r\n");
    r = BqdmChild({"extract", "1099-MISC", "--from", csv, "-o", link.string(), "--force"});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err, "Cannot create file \"" + link.string() +
                         "\". It is a symbolic link that belongs to another user.\n");
    EXPECT_EQ(Read(victim), "root's own\n");
}

TEST_F(FaultInjection, ReadingEndsAtTheFirstNulByte) {
    if (kAddressSanitizer) GTEST_SKIP() << "no address-space limit under AddressSanitizer";
    // Gigabytes of NULs after the header are never read, so a small memory limit is no obstacle.
    { std::ofstream(extract, std::ios::binary) << "FORM 1098-E\r\n"; }
    fs::resize_file(extract, std::uintmax_t{3} << 30);
    const Outcome r = BqdmChild({"check", extract}, MemoryLimit(400000));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "KEY segment not found.\n\nEXTRACT = " + extract + ".\n");
}

TEST_F(FaultInjection, RunningOutOfMemoryIsAClearFailure) {
    if (kAddressSanitizer) GTEST_SKIP() << "no address-space limit under AddressSanitizer";
    // One value is one line, held whole: a line larger than the memory left cannot be verified.
    WriteBytes(extract, "FORM 1098-E\r\nKEY 0191000000000000000000\r\n{BEGIN DATA}\r\n" +
                            std::string(200 << 20, 'x') + "\r\n{END DATA}\r\n");
    const Outcome r = BqdmChild({"merge", extract}, MemoryLimit(150000));
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err, "Not enough memory to finish this work; nothing was written.\n");
    EXPECT_EQ(Read(output), "old output\r\n");
    EXPECT_EQ(Entries(dir / "data"), kDataFiles);
}

TEST_F(FaultInjection, MemoryRunningOutAtTheRegistryValueKeepsTheOutputAndSaysSo) {
    if (kAddressSanitizer) GTEST_SKIP() << "no address-space limit under AddressSanitizer";
    // The output is written first; the message must not claim that nothing was.
    const fs::path key = dir / "config" / "BRISQUILL";
    fs::create_directories(key);
    const std::string store =
        "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Other]\r\n\"A\"=\"" + std::string(200 << 20, 'a') + "\"\r\n";
    WriteBytes(key / "HKCU.reg", store);
    const Outcome r = BqdmChild({"merge", extract}, MemoryLimit(150000));
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err, "Failed to set data for 'TextDirectory'\n");
    EXPECT_EQ(Read(output), kNewOutput);
    EXPECT_TRUE(SameBytes(Read(key / "HKCU.reg"), store));
}

TEST_F(FaultInjection, ProblemsBeyondMemoryAfterTheExtractIsWrittenAreToldAsSuch) {
    if (kAddressSanitizer) GTEST_SKIP() << "no address-space limit under AddressSanitizer";
    // Every problem of a CSV is held until all are sorted by row.
    std::string csv = "Name line 1,Taxpayer id,Rents\n";
    for (int i = 0; i < 600000; ++i) csv += "A,123-45-6789,xx\n";
    WriteBytes(dir / "data" / "bad.csv", csv);
    const std::string written = (dir / "data" / "bad.txt").string();
    const Outcome r =
        BqdmChild({"extract", "1099-MISC", "--from", (dir / "data" / "bad.csv").string(), "-o", written},
                  MemoryLimit(150000));
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err, "Not enough memory to report the problems of \"" + written +
                         "\"; it was written all the same.\n");
    EXPECT_EQ(Read(written).substr(0, 16), "FORM 1099-MISC\r\n");
}

TEST_F(FaultInjection, MemoryStaysTheSameWhateverTheRecordCount) {
    if (kAddressSanitizer) GTEST_SKIP() << "no address-space limit under AddressSanitizer";
    // Forty million records verified in a memory that held a tenth of the extract before.
    std::string many = "FORM 1098-E\r\nKEY 0191000000000000000000\r\n{BEGIN DATA}\r\n";
    many += std::string(40 << 20, '\n');
    WriteBytes(extract, many + "{END DATA}\r\n");
    const Outcome r = BqdmChild({"check", extract, "--max-problems", "1"}, MemoryLimit(150000));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "1098-E: 41943040 records, valid\n");
    // Every record is empty: warned about, in runs.
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')),
              extract + ":4: warning: record 1: every value of the record is empty [empty-record]");
}

TEST_F(FaultInjection, StandardInputIsNeverHeldWhole) {
    if (kAddressSanitizer) GTEST_SKIP() << "no address-space limit under AddressSanitizer";
    // More bytes than the memory the run is given, through a pipe.
    std::string big = "FORM 1098-E\r\nKEY 0191000000000000000000\r\n{BEGIN DATA}\r\n";
    const std::string line = std::string(1023, 'x') + "\n";
    big.reserve(big.size() + (160 << 20));
    for (int i = 0; i < (160 << 10); ++i) big += line;
    WriteBytes(extract, big + "{END DATA}\r\n");
    // One malloc arena: a worker thread's own arena reserves 64 MB of
    // address space, and whether one is made depends on the threads' timing.
    const Outcome r =
        Finish(Start({"/bin/sh", "-c", "ulimit -v 150000 && cat \"$0\" | MALLOC_ARENA_MAX=1 \"$1\" check -",
                      extract, BQDM_PATH}));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "1098-E: 163840 records, valid\n");
}

TEST_F(FaultInjection, AClosedStandardInputIsReportedNotReadAsAnEmptyExtract) {
    // Without care the spooled copy of standard input took descriptor 0 and
    // was read back as standard input: an empty extract.
    const Outcome r = BqdmChild({"check", "-"}, {"/bin/sh", "-c", "exec \"$0\" \"$@\" <&-"});
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err, "bqdm: standard input could not be read\n");
}

TEST_F(FaultInjection, ClosedStandardOutputIsReportedAndTheOutputKept) {
    int pipe[2];
    ASSERT_EQ(::pipe(pipe), 0);
    const std::string err = (dir / "stderr").string();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(pipe[0]);
        ::dup2(pipe[1], STDOUT_FILENO);
        const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ::dup2(e, STDERR_FILENO);
        ::execl(BQDM_PATH, BQDM_PATH, "merge", extract.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(pipe[0]);
    ::close(pipe[1]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 3);
    EXPECT_EQ(Read(err),
              "bqdm: standard output could not be written: Broken pipe; files already written are kept\n");
    EXPECT_EQ(Read(output), kNewOutput);
}

TEST_F(FaultInjection, FullStandardOutputIsReportedByEveryCommand) {
    const std::vector<std::string> toFull = {"/bin/sh", "-c", "exec \"$0\" \"$@\" >/dev/full"};
    const std::vector<std::vector<std::string>> commands = {{"forms"},
                                                            {"fields", "W-2C"},
                                                            {"types"},
                                                            {"--help"},
                                                            {"help", "check"},
                                                            {"--version"},
                                                            {"template", "W-2C", "--fields", "all"},
                                                            {"check", extract},
                                                            {"check", "--json", extract},
                                                            {"merge", extract}};
    for (const std::vector<std::string>& args : commands) {
        const Outcome r = BqdmChild(args, toFull);
        EXPECT_EQ(r.status, 3) << args[0];
        EXPECT_EQ(
            r.err,
            "bqdm: standard output could not be written: No space left on device; files already written "
            "are kept\n")
            << args[0];
    }
}

}  // namespace
}  // namespace bq
