// Win32 side of the path helpers. Paths are ANSI code-page bytes, the same
// bytes the extract and the command line carry, so only the ...A calls see them.
#include <windows.h>

#include <string>

#include "platform/paths.h"

namespace bq {

std::string_view ExecutableSuffix() { return ".exe"; }

std::string_view PathSeparators() { return "\\/:"; }

bool IsLeadByte(char c) { return IsDBCSLeadByte(static_cast<BYTE>(c)) != 0; }

std::string AbsolutePath(const std::string& path) {
    if (path.empty()) return path;
    std::string full(MAX_PATH, '\0');
    for (;;) {
        const DWORD n = GetFullPathNameA(path.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
        if (n == 0) return path;
        if (n < full.size()) {
            full.resize(n);
            return full;
        }
        full.resize(n);
    }
}

}  // namespace bq
