// The POSIX registry store on an existing HKCU.reg of arbitrary bytes, a
// REGEDIT4 or REGEDIT5 text with LF or CR LF breaks or a UTF-16 export. It
// must never crash, must leave no temporary file, must refuse a UTF-16 store
// and leave it byte for byte, and must keep every byte it does not own:
// between the file before and after, only the TextDirectory entry of the
// import section (and what it takes to add that section, in the file's own
// line breaks) may differ, and the entry must read back with the folder.
//
// The first input byte gives the length of the folder value (mod 16), the
// next bytes are the folder, the rest is the file's previous content.
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "platform/error.h"
#include "platform/registry.h"
#include "platform/registry_file.h"

namespace fs = std::filesystem;

namespace {

fs::path gStore;

[[noreturn]] void Fail(const char* what, std::string_view detail) {
    std::fprintf(stderr, "%s: [%.*s]\n", what, static_cast<int>(detail.size()), detail.data());
    std::abort();
}

std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Lines with their '\n'; the last may lack it.
std::vector<std::string_view> LinesOf(std::string_view s) {
    std::vector<std::string_view> lines;
    while (!s.empty()) {
        const size_t nl = s.find('\n');
        const size_t n = nl == std::string_view::npos ? s.size() : nl + 1;
        lines.push_back(s.substr(0, n));
        s.remove_prefix(n);
    }
    return lines;
}

// A line without its '\n' and one CR before it.
std::string_view Text(std::string_view line) {
    if (!line.empty() && line.back() == '\n') line.remove_suffix(1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    return line;
}

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto up = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
        if (up(a[i]) != up(b[i])) return false;
    }
    return true;
}

bool IsHeader(std::string_view text) { return text.size() >= 2 && text.front() == '[' && text.back() == ']'; }

bool IsImportHeader(std::string_view text) {
    return IsHeader(text) && SameIgnoringCase(text.substr(1, text.size() - 2), bq::ImportSection());
}

bool IsTextDirectoryLine(std::string_view text) {
    constexpr std::string_view kName = "\"TextDirectory\"=";
    return text.size() >= kName.size() && SameIgnoringCase(text.substr(0, kName.size()), kName);
}

std::string Quoted(std::string_view v) {
    std::string q = "\"";
    for (char c : v) {
        if (c == '\\' || c == '"') q += '\\';
        q += c;
    }
    return q + "\"";
}

// The value of TextDirectory as a reader of the file would find it: the
// first such line in the first import section.
std::string_view ReadBack(std::string_view content) {
    bool inSection = false;
    for (std::string_view line : LinesOf(content)) {
        const std::string_view text = Text(line);
        if (IsHeader(text)) {
            if (inSection) return {};
            inSection = IsImportHeader(text);
        } else if (inSection && IsTextDirectoryLine(text)) {
            return text;
        }
    }
    return {};
}

void CheckOnlyTheEntryChanged(std::string_view before, std::string_view after, const std::string& entry,
                              const std::string& nl) {
    const std::vector<std::string_view> a = LinesOf(before), b = LinesOf(after);
    size_t p = 0;
    while (p < a.size() && p < b.size() && a[p] == b[p]) ++p;
    size_t s = 0;
    while (s + p < a.size() && s + p < b.size() && a[a.size() - 1 - s] == b[b.size() - 1 - s]) ++s;
    const bool lastLacksBreak = !before.empty() && before.back() != '\n';
    // Removed lines: an old TextDirectory entry and the lines continuing it
    // (after a line ending in '\'). A last line without a line break may
    // also come back with one.
    bool continuing = false, lastRemovable = false;
    std::string_view brokenLast;
    for (size_t i = p; i < a.size() - s; ++i) {
        const std::string_view text = Text(a[i]);
        const bool removable = continuing || IsTextDirectoryLine(text);
        if (continuing && IsHeader(text)) Fail("a section header was taken as a continuation", after);
        if (lastLacksBreak && i == a.size() - 1) {
            brokenLast = a[i];
            lastRemovable = removable;
        } else if (!removable) {
            Fail("a line it does not own was removed or changed", after);
        }
        continuing = !text.empty() && text.back() == '\\';
    }
    int entries = 0;
    for (size_t i = p; i < b.size() - s; ++i) {
        const std::string_view line = b[i];
        // The old last line given its line break is matched first: it may
        // equal the entry of a section that is not the import section.
        // A last line ending in CR only lacks the LF of its break.
        const std::string completed = std::string(brokenLast) + (brokenLast.ends_with('\r') ? "\n" : nl);
        if (!brokenLast.empty() && line == completed)
            brokenLast = {};
        else if (line == entry)
            ++entries;
        else if (line != nl && line != "REGEDIT4" + nl && line != "[" + bq::ImportSection() + "]" + nl)
            Fail("a line was added that is not the entry", after);
    }
    // The entry may also have been matched with an equal line of the old
    // content at either end of the changed lines; ReadBack has found it.
    if (entries > 1) Fail("the entry was written twice", after);
    if (!brokenLast.empty() && !lastRemovable) Fail("the last line was lost", after);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    const char* tmp = std::getenv("TMPDIR");
    std::string folder = fs::exists("/dev/shm") ? "/dev/shm" : tmp && *tmp ? tmp : "/tmp";
    folder += "/bq_registry_fuzz.XXXXXX";
    if (!::mkdtemp(folder.data())) Fail("no scratch folder", folder);
    ::setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
    fs::create_directories(fs::path(folder) / "BRISQUILL");
    gStore = fs::path(folder) / "BRISQUILL" / "HKCU.reg";
    std::atexit([] { fs::remove_all(gStore.parent_path().parent_path()); });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const size_t folderLength = std::min<size_t>(data[0] % 16, size - 1);
    const std::string folder(reinterpret_cast<const char*>(data) + 1, folderLength);
    const std::string before(reinterpret_cast<const char*>(data) + 1 + folderLength, size - 1 - folderLength);
    // No content is no store: an empty store is waited on for a second, as
    // a writer that empties it to rewrite it in place may be held up.
    if (before.empty()) {
        fs::remove(gStore);
    } else {
        std::ofstream out(gStore, std::ios::binary | std::ios::trunc);
        out << before;
    }
    std::string failure;
    try {
        bq::OpenUserRegistry()->SetTextDirectory(folder);
    } catch (const bq::Error& e) {
        failure = e.what();
    }
    const std::string after = Read(gStore);
    for (const auto& e : fs::directory_iterator(gStore.parent_path()))
        if (e.path() != gStore && e.path().filename() != "HKCU.reg.lock")
            Fail("a temporary file was left", after);

    if (before.find('\0') != std::string::npos) {
        if (failure != "Failed to create key Import\\BQ2018") Fail("a UTF-16 store was not refused", failure);
        if (after != before) Fail("a refused store changed", after);
        return 0;
    }
    if (folder.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) {
        if (failure != "Failed to set data for 'TextDirectory'") Fail("a folder with a line break", failure);
        if (after != before) Fail("a refused value changed the file", after);
        return 0;
    }
    if (!before.empty() && !before.starts_with("REGEDIT4") &&
        !before.starts_with("Windows Registry Editor")) {
        if (failure != "Failed to set data for 'TextDirectory'")
            Fail("a file that is no export was not refused", failure);
        if (after != before) Fail("a refused file changed", after);
        return 0;
    }
    if (!failure.empty()) Fail("setting the value failed", failure);
    // New lines end as the file's first line does.
    const size_t firstBreak = before.find('\n');
    const std::string nl =
        firstBreak != std::string::npos && firstBreak > 0 && before[firstBreak - 1] == '\r' ? "\r\n" : "\n";
    const std::string entry = "\"TextDirectory\"=" + Quoted(folder) + nl;
    if (ReadBack(after) != Text(entry)) Fail("the value does not read back", after);
    // With several import sections every one gets the entry; the line-by-line
    // account below is for the one section a store normally has.
    size_t sections = 0;
    for (std::string_view line : LinesOf(before)) sections += IsImportHeader(Text(line));
    if (sections > 1) return 0;
    CheckOnlyTheEntryChanged(before, after, entry, nl);
    return 0;
}
