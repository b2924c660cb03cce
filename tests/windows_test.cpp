// What only Windows has: the ANSI code page, the Win32 registry, drive
// letters and backslashes, named pipes and devices.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>

#include "platform/error.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "tests/bqdm_fixture.h"
#include "tests/samples.h"
#include "tests/test_platform.h"
#include "verify/merge_output.h"

namespace bq {
namespace {

namespace fs = std::filesystem;

using Result = BqdmResult;

// A scratch folder, and a scratch key standing in for HKEY_CURRENT_USER.
class WindowsBqdm : public test::TempFolder {
  protected:
    void SetUp() override {
        TempFolder::SetUp();
        registry = std::make_unique<ScratchUserRegistry>(dir);
    }
    void TearDown() override {
        registry.reset();
        TempFolder::TearDown();
    }
    std::unique_ptr<ScratchUserRegistry> registry;
};

const std::string k1098E = test::k1098EHead + "A\r\n000000001\r\n1\r\n{END DATA}\r\n";
const std::string kRow = "A,,,,,,,,,,N/A,000000001,,,1,,,,\r\n";

// The runner states the code page it set up (tests/wine/); a wrong one would
// quietly run every test in the wrong code page.
TEST(CodePage, IsTheOneTheRunnerSetUp) {
    const UINT acp = GetACP();
    std::printf("ANSI code page %u, OEM code page %u\n", acp, GetOEMCP());
    RecordProperty("ansi_code_page", static_cast<int>(acp));
    const char* expected = std::getenv("BQ_EXPECTED_ACP");
    if (!expected) GTEST_SKIP() << "BQ_EXPECTED_ACP not set; the code page is " << acp;
    EXPECT_EQ(acp, static_cast<UINT>(std::atoi(expected)));
}

TEST_F(WindowsBqdm, TextDirectoryIsAStringWithItsTerminatingNul) {
    OpenUserRegistry()->SetTextDirectory("C:\\Long folder name\\data\\");
    OpenUserRegistry()->SetTextDirectory("D:\\x\\");
    const auto value = registry->TextDirectory();
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(value->bytes, std::string("D:\\x\\", 6));  // the shorter value leaves nothing of the longer
}

TEST(WindowsPaths, OutputSitsNextToTheExtractAfterAnySeparatorOrDrive) {
    EXPECT_EQ(OutputFileName("C:\\data\\w2.txt"), "C:\\data\\2018DM_w2.txt");
    EXPECT_EQ(OutputFileName("C:/data/w2.txt"), "C:/data/2018DM_w2.txt");
    EXPECT_EQ(OutputFileName("C:w2.txt"), "C:2018DM_w2.txt");
    EXPECT_EQ(OutputFileName("\\\\server\\share\\w2.txt"), "\\\\server\\share\\2018DM_w2.txt");
    EXPECT_EQ(ExecutableSuffix(), ".exe");
}

TEST_F(WindowsBqdm, RelativeNamesBecomeAbsoluteWithBackslashes) {
    fs::create_directory(dir / "sub");
    Write("sub\\x.txt", k1098E);
    const fs::path cwd = fs::current_path();
    fs::current_path(dir);
    const Result backslash = Bqdm({"merge", "sub\\x.txt"});
    fs::current_path(cwd);
    EXPECT_EQ(backslash.status, 0) << backslash.err;
    EXPECT_EQ(Read(dir / "sub" / "2018DM_x.txt"), kRow);
    const auto value = registry->TextDirectory();
    ASSERT_TRUE(value);
    EXPECT_EQ(value->bytes, (dir / "sub" / "").string() + '\0');
    EXPECT_NE(backslash.out.find("FOLDER:  " + (dir / "sub" / "").string() + "\n"), std::string::npos)
        << backslash.out;
}

// A named pipe and the NUL device are no extracts: refused at once, never read.
TEST(WindowsFiles, PipesAndDevicesAreRefusedWithoutWaiting) {
    const std::string pipe = "\\\\.\\pipe\\bq_" + std::to_string(GetCurrentProcessId());
    HANDLE server = CreateNamedPipeA(pipe.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE,
                                     PIPE_UNLIMITED_INSTANCES, 0, 0, 0, nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    for (const std::string& path : {pipe, std::string("NUL")}) {
        try {
            ReadWholeFile(path);
            ADD_FAILURE() << path << " was read";
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()), "Cannot open file \"" + path + "\". Not a regular file");
        }
    }
    CloseHandle(server);
}

TEST_F(WindowsBqdm, DevicesAreRefusedUnderTheirFullName) {
    for (const char* command : {"merge", "check"}) {
        const Result r = Bqdm({command, "NUL"});
        EXPECT_EQ(r.status, 3);
        EXPECT_EQ(r.err, "Cannot open file \"\\\\.\\NUL\". Not a regular file.\n");
    }
}

TEST_F(WindowsBqdm, PipeNamesReachTheFileLayerUnchanged) {
    const std::string pipe = "\\\\.\\pipe\\bq_" + std::to_string(GetCurrentProcessId());
    HANDLE server = CreateNamedPipeA(pipe.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE,
                                     PIPE_UNLIMITED_INSTANCES, 0, 0, 0, nullptr);
    ASSERT_NE(server, INVALID_HANDLE_VALUE);
    const Result r = Bqdm({"check", pipe});
    CloseHandle(server);
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.err, "Cannot open file \"" + pipe + "\". Not a regular file.\n");
}

// The ANSI functions take paths of up to MAX_PATH - 1 characters; the
// temporary file beside the output must fit wherever the output fits.
TEST_F(WindowsBqdm, AnOutputPathOfTheLongestLegalLengthWorks) {
    const std::string output = "2018DM_x.txt";
    std::string folder = dir.string();
    while (folder.size() < MAX_PATH - 1 - 1 - output.size()) {
        folder += '\\' + std::string(
                             std::min<size_t>(20, MAX_PATH - 1 - 1 - output.size() - folder.size() - 1), 'd');
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
    }
    const std::string extract = folder + "\\x.txt";
    std::ofstream(extract, std::ios::binary) << k1098E;
    ASSERT_EQ((folder + "\\" + output).size(), size_t{MAX_PATH - 1});
    const Result r = Bqdm({"merge", extract});
    EXPECT_EQ(r.status, 0) << r.err;
    std::ifstream out(folder + "\\" + output, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(out), {}), kRow);
}

// Letters beyond ASCII in the ANSI code page in force.
std::string AnsiLetters() { return GetACP() == 932 ? "\x93\xfa\x96\x7b" : "Jos\xe9 Mu\xf1oz"; }

TEST_F(WindowsBqdm, AnsiFileNamesAreTakenAsGiven) {
    const std::string folder = (dir / "").string();
    const std::string name = "-x 'q' " + AnsiLetters() + ".txt";
    std::ofstream(folder + name, std::ios::binary) << k1098E;
    const Result r = Bqdm({"merge", folder + name});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find("\nFOLDER:")),
              "Data Extract \"" + name + "\" has been saved as\n\nFILE:  2018DM_" + name);
    std::ifstream out(folder + "2018DM_" + name, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(out), {}), kRow);
}

// In code page 932, 0x5C is the second byte of many characters, not a backslash.
TEST_F(WindowsBqdm, DoubleByteNamesWithA5CByteStayWhole) {
    if (GetACP() != 932) GTEST_SKIP() << "needs code page 932; in this one 0x5C is always a backslash";
    const std::string folder = (dir / "").string();
    const std::string name = "\x95\x5c\x8e\xa6.txt";  // two kanji, the first ending in 0x5C
    std::ofstream(folder + name, std::ios::binary) << k1098E;
    const Result r = Bqdm({"merge", folder + name});
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string shown = "FILE:  2018DM_" + name + "\nFOLDER:  " + folder + "\n";
    EXPECT_EQ(r.out.substr(r.out.find("FILE:"), shown.size()), shown);
    std::ifstream out(folder + "2018DM_" + name, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(out), {}), kRow);
    const auto value = registry->TextDirectory();
    ASSERT_TRUE(value);
    EXPECT_EQ(value->bytes, folder + '\0');
}

}  // namespace
}  // namespace bq
