// POSIX side of the path helpers.
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/paths.h"

namespace bq {

std::string_view ExecutableSuffix() { return ""; }

std::string_view PathSeparators() { return "/"; }

bool IsLeadByte(char) { return false; }

std::string AbsolutePath(const std::string& path) {
    if (path.empty() || path.front() == '/') return path;
    std::string folder(256, '\0');
    while (::getcwd(folder.data(), folder.size()) == nullptr) {
        if (errno != ERANGE) return path;
        folder.resize(folder.size() * 2);
    }
    folder.resize(folder.find('\0'));
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder + path;
}

}  // namespace bq
