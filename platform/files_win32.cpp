// Win32 side of the file system layer. Paths are ANSI code-page bytes, the
// same bytes the extract and the command line carry.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>

#include "platform/files.h"
#include "platform/paths.h"

namespace bq {
namespace {

// What is read first of a text that a NUL byte may end early.
constexpr size_t kFirstBlock = size_t{16} << 20;

std::string SystemErrorText(DWORD code) {
    char* buffer = nullptr;
    const DWORD n = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        code, 0, reinterpret_cast<char*>(&buffer), 0, nullptr);
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

// A temporary name nobody can guess beside `path`; a name already taken
// (process ids and counters repeat) just means another draw.
std::string TemporaryNameFor(const std::string& path) {
    static std::random_device random;
    static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz012345";
    std::string name = FolderPart(path) + "~bq";
    for (int i = 0; i < 10; ++i) name += kAlphabet[random() % 32];
    return name + ".tmp";
}

std::string ReadOpenFile(HANDLE file, const std::string& path, ReadUntil until) {
    if (GetFileType(file) != FILE_TYPE_DISK) throw CannotOpenFile(path, "Not a regular file");
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size)) throw CannotOpenFile(path, SystemErrorText(GetLastError()));
    const size_t whole = static_cast<size_t>(size.QuadPart) + 1;
    std::string text(until == ReadUntil::FirstNul ? std::min(whole, kFirstBlock) : whole, '\0');
    size_t used = 0;
    for (;;) {
        if (used == text.size()) text.resize(text.size() * 2);
        const DWORD want = static_cast<DWORD>(std::min<size_t>(text.size() - used, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(file, text.data() + used, want, &got, nullptr))
            throw CannotOpenFile(path, SystemErrorText(GetLastError()));
        if (got == 0) break;
        if (until == ReadUntil::FirstNul) {
            if (const void* nul = std::memchr(text.data() + used, '\0', got)) {
                used = static_cast<size_t>(static_cast<const char*>(nul) - text.data());
                break;
            }
        }
        used += got;
    }
    text.resize(used);
    return text;
}

HANDLE OpenForReading(const std::string& path) {
    return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                       FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

}  // namespace

// The folder is opened without sharing deletion, so that it cannot be
// renamed or removed while it is held. Files are reached by path here, so a
// folder that cannot be held (a device's or a pipe's) is no obstacle.
Folder::Folder(const std::string& path) : path_(FolderPart(path)) {
    const HANDLE h = CreateFileA(path_.empty() ? "." : path_.c_str(), FILE_LIST_DIRECTORY,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    handle_ = reinterpret_cast<std::intptr_t>(h);
}

Folder::~Folder() {
    if (reinterpret_cast<HANDLE>(handle_) != INVALID_HANDLE_VALUE)
        CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

std::string ReadWholeFile(const std::string& path, ReadUntil until) {
    Handle file(OpenForReading(path));
    if (file.get() == INVALID_HANDLE_VALUE) throw CannotOpenFile(path, SystemErrorText(GetLastError()));
    return ReadOpenFile(file.get(), path, until);
}

std::string ReadWholeFile(const Folder& folder, const std::string& path, ReadUntil until) {
    Handle file(OpenForReading(folder.Path() + FileNamePart(path)));
    if (file.get() == INVALID_HANDLE_VALUE) throw CannotOpenFile(path, SystemErrorText(GetLastError()));
    return ReadOpenFile(file.get(), path, until);
}

unsigned FileMode(const Folder&, const std::string&) { return 0666; }

bool RegularFileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void WriteFileAtomically(const std::string& path, const std::function<void(const ByteSink&)>& produce,
                         const WriteOptions& options) {
    // Through a held folder, the file goes where the folder is now.
    const std::string target = options.folder ? options.folder->Path() + FileNamePart(path) : path;
    const DWORD attributes = GetFileAttributesA(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        throw CannotCreateFile(path, SystemErrorText(ERROR_DIRECTORY));
    std::string temp;
    HANDLE created = INVALID_HANDLE_VALUE;
    for (int attempt = 0; created == INVALID_HANDLE_VALUE; ++attempt) {
        temp = TemporaryNameFor(target);
        created =
            CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        const DWORD error = GetLastError();
        if (created == INVALID_HANDLE_VALUE &&
            ((error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) || attempt > 100))
            throw CannotCreateFile(path, SystemErrorText(error));
    }
    Handle file(created);
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
        if (!MoveFileExA(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            throw CannotCreateFile(path, SystemErrorText(GetLastError()));
    } catch (...) {
        if (file.get() != INVALID_HANDLE_VALUE) file.Close();
        DeleteFileA(temp.c_str());
        throw;
    }
}

}  // namespace bq
