// Win32 side of the file system layer. Paths are ANSI code-page bytes, the
// same bytes the extract and the command line carry.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "platform/files.h"
#include "platform/paths.h"

namespace bq {
namespace {

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
    // Gives up ownership of the handle.
    HANDLE Release() { return std::exchange(h_, INVALID_HANDLE_VALUE); }

  private:
    HANDLE h_;
};

// A temporary name nobody can guess beside `path`; a name already taken
// just means another draw. It is no longer than the name it stands in for
// (down to 4 random characters), so that wherever a path to the target
// fits within the ANSI functions' MAX_PATH, the path to it fits too.
std::string TemporaryNameFor(const std::string& path) {
    static std::random_device random;
    static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz012345";
    static constexpr size_t kDecoration = 7;  // "~bq" and ".tmp"
    const size_t length = FileNamePart(path).size();
    const size_t drawn = std::clamp<size_t>(length > kDecoration ? length - kDecoration : 0, 4, 10);
    std::string name = FolderPart(path) + "~bq";
    for (size_t i = 0; i < drawn; ++i) name += kAlphabet[random() % 32];
    return name + ".tmp";
}

// The extract belongs to the application that wrote it: while it is read,
// that application may still delete, rename or replace it.
HANDLE OpenForReading(const std::string& path) {
    return CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
}

// Whether a replace that failed with `error` may succeed in a moment: the
// target is held open by a process that does not share deletion (a reader,
// a virus scanner, the search indexer), or another process is replacing it
// at the same time, which Windows reports as access denied.
bool IsPassing(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED || error == ERROR_LOCK_VIOLATION;
}

// Renames `from` over `to`, waiting up to about ten seconds while the
// failure is passing.
BOOL ReplaceWaiting(const std::string& from, const std::string& to) {
    constexpr DWORD kPatience = 10000;
    const ULONGLONG start = GetTickCount64();
    for (DWORD pause = 1;; pause = std::min<DWORD>(pause * 2, 100)) {
        if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return TRUE;
        const DWORD error = GetLastError();
        if (!IsPassing(error) || GetTickCount64() - start > kPatience) {
            SetLastError(error);
            return FALSE;
        }
        Sleep(pause);
    }
}

// Writes all of `bytes` to `file`; 0, or the error of the write that failed.
DWORD WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 30));
        DWORD wrote = 0;
        if (!WriteFile(file, bytes.data(), want, &wrote, nullptr)) return GetLastError();
        bytes.remove_prefix(wrote);
    }
    return 0;
}

// The temporary files being written, so that pressing Ctrl+C or Ctrl+Break
// or closing the console removes them before the process ends. The console
// runs its handlers on a thread of their own, hence the lock; the files are
// opened to share deletion, so that they can go while still being written.
class PendingFiles {
  public:
    static PendingFiles& Instance() {
        // Never destroyed: the handler may run while the process ends.
        static PendingFiles* const pending = new PendingFiles;
        return *pending;
    }
    void Add(const std::string& name) {
        const std::lock_guard<std::mutex> hold(lock_);
        names_.push_back(name);
    }
    void Remove(const std::string& name) {
        const std::lock_guard<std::mutex> hold(lock_);
        const auto at = std::find(names_.begin(), names_.end(), name);
        if (at != names_.end()) names_.erase(at);
    }
    void RemoveAll() {
        const std::lock_guard<std::mutex> hold(lock_);
        for (const std::string& name : names_) DeleteFileA(name.c_str());
    }

  private:
    // A program without a console never calls the handler; nothing is lost
    // when it cannot be installed but this clean-up.
    PendingFiles() { SetConsoleCtrlHandler(&RemoveAllAndEnd, TRUE); }
    static BOOL WINAPI RemoveAllAndEnd(DWORD) {
        Instance().RemoveAll();
        return FALSE;  // the next handler ends the process as the event asks
    }

    std::mutex lock_;
    std::vector<std::string> names_;
};

}  // namespace

// Windows' links need a privilege to make; nobody else's are in the way.
void RefuseForeignLinks(const std::string&) {}

void RemoveUnfinishedFiles() { PendingFiles::Instance().RemoveAll(); }

// The folder is opened without sharing deletion, so that it cannot be
// renamed or removed while it is held. Files are reached by path here, so a
// folder that exists but cannot be held (a device's or a pipe's) is no
// obstacle; one that does not exist is, as nothing in it can be read.
Folder::Folder(const std::string& path) : path_(FolderPart(path)) {
    const HANDLE h = CreateFileA(path_.empty() ? "." : path_.c_str(), FILE_LIST_DIRECTORY,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    const DWORD error = GetLastError();
    if (h == INVALID_HANDLE_VALUE && (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND))
        throw CannotOpenFile(path, SystemErrorText(error));
    handle_ = reinterpret_cast<std::intptr_t>(h);
}

Folder::~Folder() {
    if (reinterpret_cast<HANDLE>(handle_) != INVALID_HANDLE_VALUE)
        CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

InputFile::InputFile(const std::string& path, const Folder* folder) : path_(path) {
    Handle file(OpenForReading(folder ? folder->Path() + FileNamePart(path) : path));
    if (file.get() == INVALID_HANDLE_VALUE) throw CannotOpenFile(path, SystemErrorText(GetLastError()));
    if (GetFileType(file.get()) != FILE_TYPE_DISK) throw CannotOpenFile(path, "Not a regular file");
    handle_ = reinterpret_cast<std::intptr_t>(file.Release());
}

InputFile::~InputFile() { CloseHandle(reinterpret_cast<HANDLE>(handle_)); }

size_t InputFile::ReadAt(std::uint64_t offset, char* out, size_t size) const {
    size_t done = 0;
    while (done < size) {
        // An explicit offset per read, so that threads never share a file position.
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>((offset + done) & 0xFFFFFFFFu);
        at.OffsetHigh = static_cast<DWORD>((offset + done) >> 32);
        const DWORD want = static_cast<DWORD>(std::min<size_t>(size - done, 1u << 30));
        DWORD got = 0;
        if (!ReadFile(reinterpret_cast<HANDLE>(handle_), out + done, want, &got, &at)) {
            const DWORD error = GetLastError();
            if (error == ERROR_HANDLE_EOF) break;
            throw CannotOpenFile(path_, SystemErrorText(error));
        }
        if (got == 0) break;
        done += got;
    }
    return done;
}

SpoolFile::SpoolFile() {
    char folder[MAX_PATH + 1];
    const DWORD length = GetTempPathA(sizeof folder, folder);
    if (length == 0 || length > MAX_PATH) throw CannotCreateFile("%TEMP%", SystemErrorText(GetLastError()));
    folder_ = folder;
    char path[MAX_PATH + 1];
    if (!GetTempFileNameA(folder, "~bq", 0, path))
        throw CannotCreateFile(folder_, SystemErrorText(GetLastError()));
    // The name goes when the handle is closed, however the process ends.
    const HANDLE file = CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        DeleteFileA(path);
        throw CannotCreateFile(folder_, SystemErrorText(error));
    }
    handle_ = reinterpret_cast<std::intptr_t>(file);
}

SpoolFile::~SpoolFile() {
    if (reinterpret_cast<HANDLE>(handle_) != INVALID_HANDLE_VALUE)
        CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

void SpoolFile::Append(std::string_view bytes) {
    if (const DWORD error = WriteAll(reinterpret_cast<HANDLE>(handle_), bytes))
        throw CannotCreateFile(folder_, SystemErrorText(error));
    size_ += bytes.size();
}

std::unique_ptr<InputFile> SpoolFile::Read(std::string name) {
    const auto handle = std::exchange(handle_, reinterpret_cast<std::intptr_t>(INVALID_HANDLE_VALUE));
    return std::unique_ptr<InputFile>(new InputFile(handle, std::move(name)));
}

std::unique_ptr<InputFile> InputFile::Spooled(const std::function<size_t(char*, size_t)>& read,
                                              const std::string& name) {
    SpoolFile spool;
    constexpr size_t kPiece = size_t{1} << 20;
    const std::unique_ptr<char[]> piece(new char[kPiece]);
    while (const size_t got = read(piece.get(), kPiece)) spool.Append({piece.get(), got});
    return spool.Read(name);
}

unsigned FileMode(const Folder&, const std::string&) { return 0666; }

bool RegularFileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool EntryExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> EntryNames(const std::string& folder) {
    std::vector<std::string> names;
    std::string pattern = folder.empty() ? std::string(".") : folder;
    if (pattern.back() != '\\' && pattern.back() != '/') pattern += '\\';
    pattern += '*';
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string_view name = found.cFileName;
        if (name != "." && name != "..") names.emplace_back(name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
}

struct OutputFile::State {
    std::string path;       // as given, for the messages
    std::string target;     // what the temporary file replaces
    std::string temporary;  // its name
    HANDLE file = INVALID_HANDLE_VALUE;
    bool finished = false, committed = false;
    bool replace = true;  // false: an existing file is never replaced

    [[noreturn]] void Fail(DWORD error) const { throw CannotCreateFile(path, SystemErrorText(error)); }
};

OutputFile::OutputFile(const std::string& path, const WriteOptions& options)
    : state_(std::make_unique<State>()) {
    State& s = *state_;
    s.path = path;
    s.replace = options.existing == Existing::Replace;
    if (!options.folder) {
        // A device (NUL, CON, a port) or a pipe is written into as it is,
        // never replaced; opening a disk file without writing changes nothing.
        Handle existing(CreateFileA(path.c_str(), GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (existing.get() != INVALID_HANDLE_VALUE && GetFileType(existing.get()) != FILE_TYPE_DISK) {
            s.file = existing.Release();
            return;
        }
    }
    // Through a held folder, the file goes where the folder is now.
    s.target = options.folder ? options.folder->Path() + FileNamePart(path) : path;
    const DWORD attributes = GetFileAttributesA(s.target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        s.Fail(ERROR_DIRECTORY);
    for (int attempt = 0; s.file == INVALID_HANDLE_VALUE; ++attempt) {
        // Registered before it exists, so that no moment is left in which it
        // could be stranded; nobody else can have a file of that name.
        s.temporary = TemporaryNameFor(s.target);
        PendingFiles::Instance().Add(s.temporary);
        s.file = CreateFileA(s.temporary.c_str(), GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
        const DWORD error = GetLastError();
        if (s.file != INVALID_HANDLE_VALUE) break;
        PendingFiles::Instance().Remove(s.temporary);
        s.temporary.clear();
        if ((error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) || attempt > 100) s.Fail(error);
    }
}

OutputFile::~OutputFile() {
    State& s = *state_;
    if (s.file != INVALID_HANDLE_VALUE) CloseHandle(s.file);
    if (s.temporary.empty()) return;
    if (!s.committed) DeleteFileA(s.temporary.c_str());
    PendingFiles::Instance().Remove(s.temporary);
}

void OutputFile::Write(std::string_view bytes) {
    State& s = *state_;
    if (const DWORD error = WriteAll(s.file, bytes)) s.Fail(error);
}

void OutputFile::Finish() {
    State& s = *state_;
    if (s.finished) return;
    if (!s.temporary.empty() && !FlushFileBuffers(s.file)) s.Fail(GetLastError());
    const HANDLE file = std::exchange(s.file, INVALID_HANDLE_VALUE);
    if (!CloseHandle(file)) s.Fail(GetLastError());
    s.finished = true;
}

void OutputFile::Commit() {
    Finish();
    State& s = *state_;
    if (s.committed || s.temporary.empty()) return;
    if (!s.replace) {
        // Takes the name only if nobody has it, in one step.
        if (!MoveFileExA(s.temporary.c_str(), s.target.c_str(), MOVEFILE_WRITE_THROUGH)) {
            const DWORD error = GetLastError();
            if (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS) throw FileExists(s.path);
            s.Fail(error);
        }
    } else if (!ReplaceWaiting(s.temporary, s.target)) {
        s.Fail(GetLastError());
    }
    s.committed = true;
}

}  // namespace bq
