// The folder/file split under a double-byte code page (932): the folder
// part ends at a separator that is a character of its own, never at the
// second byte of a double-byte character, and the two parts make the path.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "platform/paths.h"

namespace {

bool IsCp932LeadByte(char c) {
    const auto b = static_cast<unsigned char>(c);
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

[[noreturn]] void Fail(const char* what, std::string_view path) {
    std::fprintf(stderr, "%s: [%.*s]\n", what, static_cast<int>(path.size()), path.data());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view path(reinterpret_cast<const char*>(data), size);
    constexpr std::string_view kSeparators = "\\/:";
    const size_t folder = bq::FolderLength(path, kSeparators, IsCp932LeadByte);
    if (folder > path.size()) Fail("folder longer than the path", path);
    // The characters of the path, read from the front as the code page reads them.
    std::vector<size_t> starts;
    for (size_t i = 0; i < path.size(); i += IsCp932LeadByte(path[i]) && i + 1 < path.size() ? 2 : 1)
        starts.push_back(i);
    size_t expected = 0;
    for (size_t start : starts)
        if (kSeparators.find(path[start]) != std::string_view::npos) expected = start + 1;
    if (folder != expected) Fail("the folder part ends elsewhere than at the last separator character", path);
    // Without double-byte characters the split is the plain one.
    if (bq::FolderLength(path, kSeparators, [](char) { return false; }) !=
        (path.find_last_of(kSeparators) == std::string_view::npos ? 0 : path.find_last_of(kSeparators) + 1))
        Fail("the plain split differs", path);
    return 0;
}
