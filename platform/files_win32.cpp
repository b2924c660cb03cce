// Win32 side of the file system layer. Paths are ANSI code-page bytes, the
// same bytes the extract and the command line carry.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>

#include "platform/files.h"
#include "platform/paths.h"

namespace bq {
namespace {

std::string SystemErrorText(DWORD code) {
    char* buffer = nullptr;
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
    std::string text = n ? std::string(buffer, n) : "System error " + std::to_string(code);
    LocalFree(buffer);
    while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
    return text;
}

class Handle {
public:
    explicit Handle(HANDLE h) : h_(h) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() {
        if (h_ != INVALID_HANDLE_VALUE) CloseHandle(h_);
    }
    HANDLE get() const { return h_; }
    BOOL Close() {
        const BOOL ok = CloseHandle(h_);
        h_ = INVALID_HANDLE_VALUE;
        return ok;
    }

private:
    HANDLE h_;
};

std::string TemporaryNameFor(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    return FolderPart(path) + "~" + FileNamePart(path) + "." + std::to_string(GetCurrentProcessId()) + "." +
           std::to_string(counter++) + ".tmp";
}

}  // namespace

std::string ReadWholeFile(const std::string& path) {
    Handle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) throw CannotOpenFile(path, SystemErrorText(GetLastError()));
    if (GetFileType(file.get()) != FILE_TYPE_DISK) throw CannotOpenFile(path, "Not a regular file");
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size)) throw CannotOpenFile(path, SystemErrorText(GetLastError()));
    std::string text(static_cast<size_t>(size.QuadPart) + 1, '\0');
    size_t used = 0;
    for (;;) {
        if (used == text.size()) text.resize(text.size() * 2);
        const DWORD want = static_cast<DWORD>(std::min<size_t>(text.size() - used, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(file.get(), text.data() + used, want, &got, nullptr))
            throw CannotOpenFile(path, SystemErrorText(GetLastError()));
        if (got == 0) break;
        used += got;
    }
    text.resize(used);
    return text;
}

bool RegularFileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void WriteFileAtomically(const std::string& path, const std::function<void(const ByteSink&)>& produce) {
    const std::string temp = TemporaryNameFor(path);
    Handle file(CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.get() == INVALID_HANDLE_VALUE) throw CannotCreateFile(path, SystemErrorText(GetLastError()));
    try {
        produce([&](std::string_view bytes) {
            while (!bytes.empty()) {
                const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 30));
                DWORD wrote = 0;
                if (!WriteFile(file.get(), bytes.data(), want, &wrote, nullptr))
                    throw CannotCreateFile(path, SystemErrorText(GetLastError()));
                bytes.remove_prefix(wrote);
            }
        });
        if (!FlushFileBuffers(file.get()) || !file.Close())
            throw CannotCreateFile(path, SystemErrorText(GetLastError()));
        if (!MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            throw CannotCreateFile(path, SystemErrorText(GetLastError()));
    } catch (...) {
        if (file.get() != INVALID_HANDLE_VALUE) file.Close();
        DeleteFileA(temp.c_str());
        throw;
    }
}

}  // namespace bq
