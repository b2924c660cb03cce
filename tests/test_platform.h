// What the tests need to know of the operating system: the system's texts
// for the file errors they provoke, and a scratch user registry so that a
// test never touches the real TextDirectory value.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#endif

namespace bq {

#ifdef _WIN32
// The system's text for a Win32 error code, without its line break, as
// the file layer quotes it.
inline std::string SystemText(DWORD code) {
    char* buffer = nullptr;
    const DWORD n = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text = n ? std::string(buffer, n) : "System error " + std::to_string(code);
    LocalFree(buffer);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
    return text;
}
// Opening a missing file, and opening or replacing a folder as if it were a file.
inline std::string MissingFileText() { return SystemText(ERROR_FILE_NOT_FOUND); }
inline std::string FolderAsFileText() { return SystemText(ERROR_ACCESS_DENIED); }
#else
inline std::string MissingFileText() { return std::strerror(ENOENT); }
inline std::string FolderAsFileText() { return std::strerror(EISDIR); }
#endif

// Whether this process holds `path` open. On Windows: whether another
// program could not rename it now (it is renamed and put back); on POSIX,
// where a rename always works: whether one of the process's descriptors is the file.
inline bool HeldOpen(const std::filesystem::path& path) {
#ifdef _WIN32
    const std::string from = path.string(), to = from + ".renamed";
    if (!MoveFileA(from.c_str(), to.c_str())) return true;
    MoveFileA(to.c_str(), from.c_str());
    return false;
#else
    std::error_code ec;
    for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd", ec)) {
        std::error_code ignored;
        if (std::filesystem::equivalent(fd.path(), path, ignored)) return true;
    }
    return false;
#endif
}

// The user registry of OpenUserRegistry() while the object lives. On POSIX
// the store goes to `folder` (as XDG_CONFIG_HOME); on Windows a scratch key,
// removed again at the end, stands in for HKEY_CURRENT_USER in this process.
class ScratchUserRegistry {
  public:
    explicit ScratchUserRegistry(const std::filesystem::path& folder) {
#ifdef _WIN32
        (void)folder;
        name_ = "Software\\BQ2018DM tests\\" + std::to_string(GetCurrentProcessId());
        if (RegCreateKeyExA(HKEY_CURRENT_USER, name_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                            nullptr) != ERROR_SUCCESS ||
            RegOverridePredefKey(HKEY_CURRENT_USER, key_) != ERROR_SUCCESS)
            ADD_FAILURE() << "cannot redirect HKEY_CURRENT_USER to " << name_;
#else
        ::setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
#endif
    }
    ScratchUserRegistry(const ScratchUserRegistry&) = delete;
    ScratchUserRegistry& operator=(const ScratchUserRegistry&) = delete;
    ~ScratchUserRegistry() {
#ifdef _WIN32
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        if (key_) RegCloseKey(key_);
        RegDeleteTreeA(HKEY_CURRENT_USER, name_.c_str());
#else
        ::unsetenv("XDG_CONFIG_HOME");
#endif
    }

#ifdef _WIN32
    struct Value {
        DWORD type;
        std::string bytes;  // as stored, a string's terminating NUL included
    };
    // The stored TextDirectory value, if any.
    std::optional<Value> TextDirectory() const {
        HKEY import = nullptr;
        if (RegOpenKeyExA(key_, "BRISQUILL\\Import\\BQ2018", 0, KEY_QUERY_VALUE, &import) != ERROR_SUCCESS)
            return std::nullopt;
        Value value{REG_NONE, std::string(4096, '\0')};
        DWORD size = static_cast<DWORD>(value.bytes.size());
        const LONG rc = RegQueryValueExA(import, "TextDirectory", nullptr, &value.type,
                                         reinterpret_cast<BYTE*>(value.bytes.data()), &size);
        RegCloseKey(import);
        if (rc != ERROR_SUCCESS) return std::nullopt;
        value.bytes.resize(size);
        return value;
    }

  private:
    std::string name_;
    HKEY key_ = nullptr;
#endif
};

}  // namespace bq
