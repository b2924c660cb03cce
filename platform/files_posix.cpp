// POSIX side of the file system layer.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <utility>

#include "platform/files.h"
#include "platform/paths.h"

namespace bq {
namespace {

std::string ErrnoText(int error) { return std::strerror(error); }

// Closes a descriptor when it goes out of scope.
class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(Descriptor&& other) noexcept {
        if (this != &other) {
            if (fd_ >= 0) ::close(fd_);
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    // Gives up ownership of the descriptor.
    int Release() { return std::exchange(fd_, -1); }
    // Closes now and reports the error of close, which can carry a failed write-back.
    int Close() {
        const int rc = ::close(fd_);
        fd_ = -1;
        return rc;
    }

  private:
    int fd_;
};

// A file-size limit must surface as a failed write (EFBIG), not kill the process.
void IgnoreFileSizeSignal() {
    static std::once_flag once;
    std::call_once(once, [] { ::signal(SIGXFSZ, SIG_IGN); });
}

// Asks the kernel to start writing `length` bytes at `offset` to disk
// without waiting, so that the fsync at the end finds most of a large file
// already written: its wait then overlaps the writing instead of following
// it. Only Linux offers this; elsewhere the fsync does all of it.
void StartWriteBack(int fd, off_t offset, off_t length) {
#if defined(__linux__)
    ::sync_file_range(fd, offset, length, SYNC_FILE_RANGE_WRITE);
#else
    (void)fd, (void)offset, (void)length;
#endif
}

// Writes all of `bytes` to `fd`; 0, or the errno of the write that failed.
int WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return errno;
        bytes.remove_prefix(static_cast<size_t>(n));
    }
    return 0;
}

// Write-back is started for every this many bytes written.
constexpr off_t kWriteBackBytes = off_t{8} << 20;

// The temporary files being written, so that a terminating signal can
// remove them: a fixed table, as the handler may only make plain calls.
struct Pending {
    std::atomic<int> folder{-1};
    char name[32] = {};
};
std::array<Pending, 8> gPending;

void RemovePendingAndDie(int signal) {
    RemoveUnfinishedFiles();
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

// Installs the clean-up for the signals that end a program, unless the
// program was told to ignore them.
void CatchTerminatingSignals() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) {
            struct sigaction old {};
            if (::sigaction(signal, nullptr, &old) != 0 || old.sa_handler == SIG_IGN) continue;
            struct sigaction action {};
            action.sa_handler = RemovePendingAndDie;
            ::sigemptyset(&action.sa_mask);
            ::sigaction(signal, &action, nullptr);
        }
    });
}

// Registers a temporary file's name for RemovePendingAndDie for as long as it lives.
class PendingName {
  public:
    PendingName(int folder, const std::string& name) {
        CatchTerminatingSignals();
        for (Pending& p : gPending) {
            int free = -1;
            if (p.folder.load() != -1 || !p.folder.compare_exchange_strong(free, -2)) continue;
            std::memcpy(p.name, name.c_str(), name.size() + 1);
            p.folder.store(folder);
            slot_ = &p;
            return;
        }
    }
    PendingName(const PendingName&) = delete;
    PendingName& operator=(const PendingName&) = delete;
    ~PendingName() {
        if (slot_) slot_->folder.store(-1);
    }

  private:
    Pending* slot_ = nullptr;
};

// A name for a temporary file that nobody can guess.
std::string TemporaryName(const std::string& path) {
    unsigned char random[10];
    if (::getentropy(random, sizeof random) != 0) throw CannotCreateFile(path, ErrnoText(errno));
    static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz012345";
    std::string name = ".~bq";
    for (unsigned char r : random) name += kAlphabet[r % 32];
    return name + ".tmp";
}

// `path` with every link resolved when it names an existing link; otherwise `path`.
std::string FollowLinks(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved) return path;
    std::string target(resolved);
    std::free(resolved);
    return target;
}

// Whether a link of `owner` may be followed: the caller's own, and root's,
// which only the system makes; anybody else's may lead where they cannot
// write but the caller can.
bool TrustedLinkOwner(uid_t owner) { return owner == ::geteuid() || owner == 0; }

void RefuseForeignLinksIn(const std::string& path, int depth) {
    if (path.empty() || depth > 40) return;
    std::string prefix = path.front() == '/' ? "/" : "";
    for (size_t at = 0; at <= path.size();) {
        const size_t end = std::min(path.find('/', at), path.size());
        const std::string part = path.substr(at, end - at);
        at = end + 1;
        if (part.empty()) continue;
        if (!prefix.empty() && prefix.back() != '/') prefix += '/';
        prefix += part;
        struct stat st {};
        if (::lstat(prefix.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) continue;
        if (!TrustedLinkOwner(st.st_uid))
            throw CannotCreateFile(prefix, "It is a symbolic link that belongs to another user");
        std::string target(static_cast<size_t>(st.st_size) + 256, '\0');
        const ssize_t n = ::readlink(prefix.c_str(), target.data(), target.size());
        if (n <= 0) continue;
        target.resize(static_cast<size_t>(n));
        if (target.front() != '/') target.insert(0, FolderPart(prefix));
        RefuseForeignLinksIn(target, depth + 1);
    }
}

// The permissions for the file `fd`, which replaces the file `replaced`.
// A file of the folder's owner or of this process gives its owner and group
// as far as this process may (root may give both, anybody a group of their
// own), and its permissions less what was meant for an owner or group not
// kept, so that it passes to no other. A file somebody else put there (in a
// shared folder) gives nothing it has beyond `newFileMode`, and no owner:
// it must not come to own, or open up, what replaces it.
mode_t KeptOwnership(int fd, const struct stat& replaced, bool trusted, mode_t newFileMode) {
    mode_t mode = replaced.st_mode & 07777;
    if (!trusted) mode &= newFileMode;
    struct stat now {};
    if (::fstat(fd, &now) != 0) return mode & ~(S_ISUID | S_ISGID | S_IRWXG);
    const uid_t owner = replaced.st_uid;
    const gid_t group = replaced.st_gid;
    if (trusted && now.st_uid != owner && ::fchown(fd, owner, group) == 0) return mode;
    if (now.st_uid != owner) mode &= ~S_ISUID;
    if (now.st_gid != group && !(trusted && ::fchown(fd, static_cast<uid_t>(-1), group) == 0))
        mode &= ~(S_ISGID | S_IRWXG);
    return mode;
}

// A descriptor of the folder `path` ("." when empty) to reach its entries
// through. Files are only ever opened, made and renamed through it, never
// listed, so a folder that may be searched and written but not read (a
// drop box) serves as well as any: where the system can, it is opened
// without asking for read permission.
int OpenFolder(const std::string& path) {
#if defined(O_PATH)
    constexpr int kAccess = O_PATH;
#elif defined(O_SEARCH)
    constexpr int kAccess = O_SEARCH;
#else
    constexpr int kAccess = O_RDONLY;
#endif
    return ::open(path.empty() ? "." : path.c_str(), kAccess | O_DIRECTORY | O_CLOEXEC);
}

}  // namespace

// Only plain calls: a terminating signal's handler calls it.
void RemoveUnfinishedFiles() {
    for (Pending& p : gPending) {
        const int folder = p.folder.load();
        if (folder >= 0) ::unlinkat(folder, p.name, 0);
    }
}

Folder::Folder(const std::string& path) : path_(FolderPart(path)) {
    handle_ = OpenFolder(path_);
    if (handle_ < 0) throw CannotOpenFile(path, ErrnoText(errno));
}

Folder::~Folder() { ::close(static_cast<int>(handle_)); }

InputFile::InputFile(const std::string& path, const Folder* folder) : path_(path) {
    // O_NONBLOCK keeps the open of a FIFO from waiting for a writer; it is
    // refused as not a regular file.
    constexpr int kFlags = O_RDONLY | O_NONBLOCK | O_CLOEXEC;
    // A path that ends in a separator names its folder, which is then refused as one.
    const std::string name = FileNamePart(path);
    Descriptor fd(
        folder ? ::openat(static_cast<int>(folder->Handle()), name.empty() ? "." : name.c_str(), kFlags)
               : ::open(path.c_str(), kFlags));
    if (fd.get() < 0) throw CannotOpenFile(path, ErrnoText(errno));
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) throw CannotOpenFile(path, ErrnoText(errno));
    if (S_ISDIR(st.st_mode)) throw CannotOpenFile(path, ErrnoText(EISDIR));
    if (!S_ISREG(st.st_mode)) throw CannotOpenFile(path, "Not a regular file");
#if defined(POSIX_FADV_SEQUENTIAL)
    ::posix_fadvise(fd.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
#endif
    handle_ = fd.Release();
}

InputFile::~InputFile() { ::close(static_cast<int>(handle_)); }

size_t InputFile::ReadAt(std::uint64_t offset, char* out, size_t size) const {
    size_t done = 0;
    while (done < size) {
        const ssize_t n =
            ::pread(static_cast<int>(handle_), out + done, size - done, static_cast<off_t>(offset + done));
        if (n < 0) {
            if (errno == EINTR) continue;
            throw CannotOpenFile(path_, ErrnoText(errno));
        }
        if (n == 0) break;
        done += static_cast<size_t>(n);
    }
    return done;
}

SpoolFile::SpoolFile() {
    const char* tmpdir = std::getenv("TMPDIR");
    folder_ = tmpdir && *tmpdir ? tmpdir : "/tmp";
    int opened = -1;
#if defined(O_TMPFILE)
    opened = ::open(folder_.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
#endif
    if (opened < 0) {
        // A file system without unnamed files: a named one, unlinked at once.
        std::string path = folder_ + "/.~bqXXXXXX";
        opened = ::mkostemp(path.data(), O_CLOEXEC);
        if (opened >= 0) ::unlink(path.c_str());
    }
    if (opened < 0) throw CannotCreateFile(folder_, ErrnoText(errno));
    handle_ = opened;
}

SpoolFile::~SpoolFile() {
    if (handle_ >= 0) ::close(static_cast<int>(handle_));
}

void SpoolFile::Append(std::string_view bytes) {
    if (const int error = WriteAll(static_cast<int>(handle_), bytes))
        throw CannotCreateFile(folder_, ErrnoText(error));
    size_ += bytes.size();
}

std::unique_ptr<InputFile> SpoolFile::Read(std::string name) {
    return std::unique_ptr<InputFile>(new InputFile(std::exchange(handle_, -1), std::move(name)));
}

std::unique_ptr<InputFile> InputFile::Spooled(const std::function<size_t(char*, size_t)>& read,
                                              const std::string& name) {
    SpoolFile spool;
    constexpr size_t kPiece = size_t{1} << 20;
    const std::unique_ptr<char[]> piece(new char[kPiece]);
    while (const size_t got = read(piece.get(), kPiece)) spool.Append({piece.get(), got});
    return spool.Read(name);
}

bool RegularFileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool FolderExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool EntryExists(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

std::vector<std::string> EntryNames(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") names.emplace_back(name);
    }
    ::closedir(dir);
    return names;
}

void RefuseForeignLinks(const std::string& path) { RefuseForeignLinksIn(path, 0); }

unsigned FileMode(const Folder& folder, const std::string& path) {
    struct stat st {};
    if (::fstatat(static_cast<int>(folder.Handle()), FileNamePart(path).c_str(), &st, 0) != 0 ||
        !S_ISREG(st.st_mode))
        return 0666;
    return st.st_mode & 0666;
}

struct OutputFile::State {
    std::string path;  // as given, for the messages
    int folder = -1;   // where the temporary file and the target are
    Descriptor ownFolder{-1};
    std::string name;       // the target's name in the folder
    std::string temporary;  // its name while it has one; empty when unnamed or writing in place
    bool inPlace = false;   // a FIFO or device, written into
    bool unnamed = false;   // an O_TMPFILE file, which a killed process leaves nowhere
    bool replace = true;    // false: an existing file is never replaced
    std::unique_ptr<PendingName> pending;
    Descriptor fd{-1};
    struct stat replaced {};  // what had the name (zeros for nothing); a regular file is replaced
    bool trusted = false;     // the replaced file is the folder owner's or this process's
    mode_t newFileMode = 0666;
    off_t written = 0, handedOver = 0;
    bool finished = false, committed = false;

    [[noreturn]] void Fail(int error) const { throw CannotCreateFile(path, ErrnoText(error)); }
    // A publish under a new name that failed; FileExists when the name is taken.
    [[noreturn]] void FailToPublish(int error) const {
        if (error == EEXIST) throw FileExists(path);
        Fail(error);
    }

    // Opens the folder of what `path` leads to and returns the name there
    // that is replaced; an empty name when `path` is a FIFO or device, which
    // is then open to be written into.
    std::string OpenTarget() {
        RefuseForeignLinks(path);
        // What the path leads to decides: a FIFO or device is written into,
        // a link to a regular file is replaced at its target.
        std::string target = path;
        struct stat followed {};
        if (::stat(path.c_str(), &followed) == 0) {
            if (S_ISFIFO(followed.st_mode) || S_ISCHR(followed.st_mode)) {
                fd = Descriptor(::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC));
                if (fd.get() < 0) Fail(errno);
                inPlace = true;
                return {};
            }
            if (S_ISDIR(followed.st_mode)) Fail(EISDIR);
            if (!S_ISREG(followed.st_mode)) throw CannotCreateFile(path, "Not a regular file");
            target = FollowLinks(path);
        }
        ownFolder = Descriptor(OpenFolder(FolderPart(target)));
        if (ownFolder.get() < 0) Fail(errno);
        folder = ownFolder.get();
        return FileNamePart(target);
    }

    // Opens the file the output is written to before it takes the name.
    void OpenTemporary(mode_t createMode) {
#if defined(O_TMPFILE)
        // An unnamed file gets its name only when it is complete, so that no
        // kill can leave a part of it behind; linking one takes /proc.
        if (::access("/proc/self/fd", X_OK) == 0) {
            fd = Descriptor(::openat(folder, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, createMode));
            unnamed = fd.get() >= 0;
        }
#endif
        for (int attempt = 0; fd.get() < 0; ++attempt) {
            temporary = TemporaryName(path);
            pending = std::make_unique<PendingName>(folder, temporary);
            fd = Descriptor(::openat(folder, temporary.c_str(),
                                     O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, createMode));
            if (fd.get() >= 0) break;
            const int error = errno;
            pending.reset();
            temporary.clear();
            if (error != EEXIST || attempt > 100) Fail(error);
        }
    }

    // Gives the unnamed file a temporary name, for the rename.
    void NameTemporary() {
        const std::string proc = "/proc/self/fd/" + std::to_string(fd.get());
        for (int attempt = 0; temporary.empty(); ++attempt) {
            std::string candidate = TemporaryName(path);
            pending = std::make_unique<PendingName>(folder, candidate);
            if (::linkat(AT_FDCWD, proc.c_str(), folder, candidate.c_str(), AT_SYMLINK_FOLLOW) == 0)
                temporary = std::move(candidate);
            else if (errno != EEXIST || attempt > 100)
                Fail(errno);
        }
    }
};

OutputFile::OutputFile(const std::string& path, const WriteOptions& options)
    : state_(std::make_unique<State>()) {
    IgnoreFileSizeSignal();
    State& s = *state_;
    s.path = path;
    s.replace = options.existing == Existing::Replace;
    if (!options.folder) {
        s.name = s.OpenTarget();
        if (s.inPlace) return;
    } else {
        s.folder = static_cast<int>(options.folder->Handle());
        s.name = FileNamePart(path);
    }

    struct stat& st = s.replaced;
    if (::fstatat(s.folder, s.name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) st = {};
    struct stat folder {};
    s.trusted = st.st_uid == ::geteuid() || (::fstat(s.folder, &folder) == 0 && folder.st_uid == st.st_uid);
    s.newFileMode = static_cast<mode_t>(options.newFileMode & 0777);
    // A replaced file keeps its permissions; a new one gets at most those asked for.
    s.OpenTemporary(S_ISREG(st.st_mode) ? 0600 : s.newFileMode);
}

OutputFile::~OutputFile() {
    State& s = *state_;
    s.fd = Descriptor(-1);
    if (!s.committed && !s.temporary.empty()) ::unlinkat(s.folder, s.temporary.c_str(), 0);
}

void OutputFile::Write(std::string_view bytes) {
    State& s = *state_;
    if (const int error = WriteAll(s.fd.get(), bytes)) s.Fail(error);
    s.written += static_cast<off_t>(bytes.size());
    if (!s.inPlace && s.written - s.handedOver >= kWriteBackBytes) {
        StartWriteBack(s.fd.get(), s.handedOver, s.written - s.handedOver);
        s.handedOver = s.written;
    }
}

void OutputFile::Finish() {
    State& s = *state_;
    if (s.finished) return;
    if (!s.inPlace) {
        if (S_ISREG(s.replaced.st_mode) &&
            ::fchmod(s.fd.get(), KeptOwnership(s.fd.get(), s.replaced, s.trusted, s.newFileMode)) != 0)
            s.Fail(errno);
        if (::fsync(s.fd.get()) != 0) s.Fail(errno);
    }
    // An unnamed file stays open until it is linked into place.
    if (!s.unnamed && s.fd.Close() != 0) s.Fail(errno);
    s.finished = true;
}

void OutputFile::Commit() {
    Finish();
    State& s = *state_;
    if (s.committed || s.inPlace) return;
    if (!s.replace && s.unnamed) {
        // Published only under a name nobody has: one step, no window.
        const std::string proc = "/proc/self/fd/" + std::to_string(s.fd.get());
        if (::linkat(AT_FDCWD, proc.c_str(), s.folder, s.name.c_str(), AT_SYMLINK_FOLLOW) != 0)
            s.FailToPublish(errno);
    } else {
        // Named for the rename: linkat, then renameat.
        if (s.unnamed) s.NameTemporary();
        if (!s.replace) {
            // The named temporary takes the name only if nobody has it.
            if (::linkat(s.folder, s.temporary.c_str(), s.folder, s.name.c_str(), 0) != 0)
                s.FailToPublish(errno);
            ::unlinkat(s.folder, s.temporary.c_str(), 0);
        } else if (::renameat(s.folder, s.temporary.c_str(), s.folder, s.name.c_str()) != 0) {
            s.Fail(errno);
        }
    }
    if (s.unnamed && s.fd.Close() != 0) s.Fail(errno);
    s.temporary.clear();
    s.committed = true;
}

}  // namespace bq
