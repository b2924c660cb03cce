// The platform layer: files written atomically and read whole, paths, and
// the registry store kept as a REGEDIT4 text on platforms without a registry.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <string_view>

#ifndef _WIN32
#include <grp.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "platform/error.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "platform/registry_file.h"
#include "tests/error_text.h"
#include "tests/temp_folder.h"
#include "tests/test_platform.h"

namespace bq {
namespace {

namespace fs = std::filesystem;

using test::ErrorText;

class Files : public test::TempFolder {};

TEST_F(Files, FailedWriteKeepsThePreviousOutputAndLeavesNoTemporary) {
    const std::string out = Write("out.txt", "old");
    // A write that fails half-way, as a full disk makes it fail.
    EXPECT_EQ(ErrorText([&] {
                  OutputFile file(out);
                  file.Write("partial");
                  throw Error("Cannot create file \"x\". No space left on device");
              }),
              "Cannot create file \"x\". No space left on device");
    EXPECT_EQ(Read(out), "old");
    EXPECT_EQ(Entries(dir), std::vector<std::string>{"out.txt"});
}

TEST(RegistryFile, SetsTheOneValueAndKeepsEverythingElse) {
    const std::string section = ImportSection();
    EXPECT_EQ(*WithRegString("", section, "TextDirectory", "/d/"),
              "REGEDIT4\n\n[" + section + "]\n\"TextDirectory\"=\"/d/\"\n");
    // A CR LF store stays CR LF.
    const std::string other = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Other]\r\n\"A\"=\"1\"\r\n";
    EXPECT_EQ(*WithRegString(other, section, "TextDirectory", "C:\\x\""),
              other + "\r\n[" + section + "]\r\n\"TextDirectory\"=\"C:\\\\x\\\"\"\r\n");
    const std::string existing =
        "REGEDIT4\n\n[" + section + "]\n\"Keep\"=\"k\"\n\"textdirectory\"=\"old\"\n[Next]\nx\n";
    EXPECT_EQ(*WithRegString(existing, section, "TextDirectory", "new"),
              "REGEDIT4\n\n[" + section + "]\n\"Keep\"=\"k\"\n\"TextDirectory\"=\"new\"\n[Next]\nx\n");
    const std::string hex = "[" + section + "]\n\"TextDirectory\"=hex:2f,\\\n  61,2f\n\"B\"=\"2\"\n";
    EXPECT_EQ(*WithRegString(hex, section, "TextDirectory", "/d/"),
              "[" + section + "]\n\"TextDirectory\"=\"/d/\"\n\"B\"=\"2\"\n");
    const std::string stray = "[" + section + "]\n\"TextDirectory\"=hex:2f,\\\n[Next]\n\"C\"=\"3\"\n";
    EXPECT_EQ(*WithRegString(stray, section, "TextDirectory", "/d/"),
              "[" + section + "]\n\"TextDirectory\"=\"/d/\"\n[Next]\n\"C\"=\"3\"\n");
    // Every section of the name gets the value: none keeps a stale one.
    const std::string twice =
        "[" + section + "]\n\"TextDirectory\"=\"old\"\n[Other]\n[" + section + "]\n\"A\"=\"1\"\n";
    EXPECT_EQ(*WithRegString(twice, section, "TextDirectory", "/d/"),
              "[" + section + "]\n\"TextDirectory\"=\"/d/\"\n[Other]\n[" + section +
                  "]\n\"TextDirectory\"=\"/d/\"\n\"A\"=\"1\"\n");
    // A CR at the very end is a break whose LF is missing: completed, not doubled.
    EXPECT_EQ(*WithRegString("x\r\n[" + section + "]\r", section, "TextDirectory", "/d/"),
              "x\r\n[" + section + "]\r\n\"TextDirectory\"=\"/d/\"\r\n");
    EXPECT_EQ(*WithRegString("REGEDIT4\r", section, "TextDirectory", "/d/"),
              "REGEDIT4\r\n\n[" + section + "]\n\"TextDirectory\"=\"/d/\"\n");
    EXPECT_EQ(WithRegString("", section, "TextDirectory", "a\nb"), std::nullopt);
}

#ifndef _WIN32
// The reasons below are the C library's texts; Windows words its own.

TEST_F(Files, WriteOverAFolderFailsAndLeavesNoTemporary) {
    fs::create_directory(dir / "taken");
    const std::string taken = (dir / "taken").string();
    EXPECT_EQ(ErrorText([&] { WriteFileAtomically(taken, "x"); }),
              "Cannot create file \"" + taken + "\". Is a directory");
    EXPECT_EQ(Entries(dir), std::vector<std::string>{"taken"});
    EXPECT_EQ(Entries(taken), std::vector<std::string>{});
}

TEST_F(Files, ReadingRefusesWhatIsNoRegularFile) {
    const std::string missing = (dir / "none.txt").string();
    EXPECT_EQ(ErrorText([&] { ReadWholeFile(missing); }),
              "Cannot open file \"" + missing + "\". No such file or directory");
    EXPECT_EQ(ErrorText([&] { ReadWholeFile(dir.string()); }),
              "Cannot open file \"" + dir.string() + "\". Is a directory");
    // Named with a separator at its end, a folder is no missing file either.
    const std::string slashed = dir.string() + "/";
    const Folder folder(slashed);
    EXPECT_EQ(ErrorText([&] { ReadWholeFile(slashed, &folder); }),
              "Cannot open file \"" + slashed + "\". Is a directory");
    if (fs::exists("/dev/zero")) {
        EXPECT_EQ(ErrorText([] { ReadWholeFile("/dev/zero"); }),
                  "Cannot open file \"/dev/zero\". Not a regular file");
    }
}

TEST_F(Files, AWriteRemovesNothingItDidNotMake) {
    // Names a writer of another user, another process or another pid namespace might use.
    const pid_t gone = ::fork();
    if (gone == 0) ::_exit(0);
    ::waitpid(gone, nullptr, 0);
    const std::vector<std::string> others = {
        ".~bqaaaaaaaaaa.tmp", ".~out.txt." + std::to_string(gone) + ".3.tmp", "~out.txt.1.0.tmp"};
    for (const std::string& name : others) Write(name, "partial");
    WriteFileAtomically((dir / "out.txt").string(), "new");
    for (const std::string& name : others) EXPECT_EQ(Read(dir / name), "partial") << name;
    EXPECT_EQ(Entries(dir), (std::vector<std::string>{others[0], others[1], "out.txt", others[2]}));
    EXPECT_EQ(Read(dir / "out.txt"), "new");
}

TEST_F(Files, FileSizeLimitMidWriteKeepsThePreviousOutput) {
    const std::string out = Write("out.txt", "old");
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const std::string message = ErrorText([&] { WriteFileAtomically(out, std::string(100000, 'x')); });
    ::setrlimit(RLIMIT_FSIZE, &saved);
    EXPECT_EQ(message, "Cannot create file \"" + out + "\". File too large");
    EXPECT_EQ(Read(out), "old");
    EXPECT_EQ(Entries(dir), std::vector<std::string>{"out.txt"});
}

TEST_F(Files, AReplacedFileKeepsItsOwnerOrLosesWhatWasMeantForAnother) {
    if (::geteuid() != 0) GTEST_SKIP() << "giving files away takes root";
    constexpr uid_t kUser = 65534;
    constexpr gid_t kGroup = 65534;
    const auto ownerOf = [](const std::string& path) {
        struct stat st {};
        ::stat(path.c_str(), &st);
        std::ostringstream text;
        text << st.st_uid << ':' << st.st_gid << ' ' << std::oct << (st.st_mode & 07777);
        return text.str();
    };
    const auto replace = [](const std::string& path, uid_t owner, gid_t group, mode_t mode,
                            unsigned newFileMode = 0666) {
        std::ofstream(path, std::ios::binary) << "old";
        ::chown(path.c_str(), owner, group);
        ::chmod(path.c_str(), mode);
        WriteFileAtomically(path, "new", WriteOptions{newFileMode});
    };
    // Root replacing a file of the user's own folder gives it back to the
    // user and group with its mode.
    fs::create_directory(dir / "user");
    ASSERT_EQ(::chown((dir / "user").c_str(), kUser, kGroup), 0);
    const std::string mine = (dir / "user" / "out.txt").string();
    replace(mine, kUser, kGroup, 0640);
    EXPECT_EQ(ownerOf(mine), "65534:65534 640");
    EXPECT_EQ(Read(mine), "new");

    // A file the user put in root's folder does not make the user the owner
    // of what replaces it, nor open it up beyond what a new file would get.
    const std::string planted = (dir / "planted.txt").string();
    replace(planted, kUser, kGroup, 0664);
    EXPECT_EQ(ownerOf(planted), "0:0 604");
    replace(planted, kUser, kGroup, 0666, 0600);
    EXPECT_EQ(ownerOf(planted), "0:0 600");

    // A user who may not give the file a group of root's keeps nothing of the
    // group's permissions: they would pass to the user's own group.
    ::chown(mine.c_str(), kUser, 0);
    ::chmod(mine.c_str(), 0660);
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(kGroup) != 0 || ::setuid(kUser) != 0) ::_exit(1);
        try {
            WriteFileAtomically(mine, "by the user");
        } catch (const Error&) {
            ::_exit(2);
        }
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(ownerOf(mine), "65534:65534 600");
    EXPECT_EQ(Read(mine), "by the user");
}

TEST(Paths, RelativeNamesAreMadeAbsoluteAgainstTheCurrentFolder) {
    std::string cwd = fs::current_path().string();
    if (cwd.back() != '/') cwd += '/';
    EXPECT_EQ(AbsolutePath("x.txt"), cwd + "x.txt");
    EXPECT_EQ(AbsolutePath("./-x\n.txt"), cwd + "./-x\n.txt");
    EXPECT_EQ(AbsolutePath("/d/x.txt"), "/d/x.txt");
    EXPECT_EQ(AbsolutePath(""), "");
}

#ifndef _WIN32
// Names that are not UTF-8 exist only where names are bytes.
TEST_F(Files, ANameSpoiledByALossyConversionIsFoundAgainInItsFolder) {
    const auto lossy = [](std::string_view name) {
        std::string text(name);
        for (char& c : text)
            if (static_cast<unsigned char>(c) >= 0x80) c = '?';
        return text;
    };
    fs::create_directory(dir / "caf\xE9");
    Write("caf\xE9/r\xE9sum\xE9.txt", "");
    Write("twin\xE0.txt", "");
    Write("twin\xE8.txt", "");
    const auto at = [this](const std::string& tail) { return dir.string() + "/" + tail; };
    EXPECT_EQ(RecoverPath(at("caf\xE9/r\xE9sum\xE9.txt"), lossy), at("caf\xE9/r\xE9sum\xE9.txt"));
    EXPECT_EQ(RecoverPath(at("caf?/r?sum?.txt"), lossy), at("caf\xE9/r\xE9sum\xE9.txt"));
    // A new file's name is kept; its folder is still found.
    EXPECT_EQ(RecoverPath(at("caf?/new?.txt"), lossy), at("caf\xE9/new?.txt"));
    // Two entries could be meant: neither is guessed.
    EXPECT_EQ(RecoverPath(at("twin?.txt"), lossy), at("twin?.txt"));
    EXPECT_EQ(RecoverPath("caf?", lossy), "caf?");
}
#endif

class RegistryStore : public test::TempFolder {};

TEST_F(RegistryStore, ReportsAFolderThatIsAFileAndAValueItCannotHold) {
    Write("BRISQUILL", "not a folder");
    const ScratchUserRegistry registry(dir);
    EXPECT_EQ(ErrorText([] { OpenUserRegistry()->SetTextDirectory("/d/"); }),
              "Failed to create key Import\\BQ2018");
    fs::remove(dir / "BRISQUILL");
    OpenUserRegistry()->SetTextDirectory("/d/");
    const std::string stored =
        "REGEDIT4\n\n[HKEY_CURRENT_USER\\BRISQUILL\\Import\\BQ2018]\n\"TextDirectory\"=\"/d/\"\n";
    EXPECT_EQ(Read(dir / "BRISQUILL" / "HKCU.reg"), stored);
    EXPECT_EQ(ErrorText([] { OpenUserRegistry()->SetTextDirectory("/a\nb/"); }),
              "Failed to set data for 'TextDirectory'");
    EXPECT_EQ(Read(dir / "BRISQUILL" / "HKCU.reg"), stored);
}
#endif

TEST(Paths, TheFolderEndsAtASeparatorCharacterNotATrailByte) {
    // In code page 932, 0x83 0x5C is one character whose second byte is a backslash.
    const auto cp932 = [](char c) {
        const auto b = static_cast<unsigned char>(c);
        return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    };
    const std::string path = "C:\\Data\\\x83\x5C\\x.txt";
    EXPECT_EQ(path.substr(0, FolderLength(path, "\\/:", cp932)), "C:\\Data\\\x83\x5C\\");
    EXPECT_EQ(path.substr(0, FolderLength("C:\\\x83\x5Cx.txt", "\\/:", cp932)), "C:\\");
    EXPECT_EQ(FolderLength("\x83\x5C", "\\/:", cp932), 0u);
    EXPECT_EQ(FolderLength("a\\\x83", "\\/:", cp932), 2u);  // a lead byte at the end stands alone
    EXPECT_EQ(FolderLength("C:\\M\xfcller\\x.txt", "\\/:", [](char) { return false; }), 10u);
}

}  // namespace
}  // namespace bq
