// POSIX side of the file system layer.
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

#include "platform/files.h"
#include "platform/paths.h"

namespace bq {
namespace {

// What is read first of a text that a NUL byte may end early.
constexpr size_t kFirstBlock = size_t{16} << 20;

std::string ErrnoText(int error) { return std::strerror(error); }

// Closes a descriptor when it goes out of scope.
class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
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
    for (Pending& p : gPending) {
        const int folder = p.folder.load();
        if (folder >= 0) ::unlinkat(folder, p.name, 0);
    }
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

// Installs the clean-up for the signals that end a program, unless the
// program was told to ignore them.
void CatchTerminatingSignals() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
            struct sigaction old {};
            if (::sigaction(signal, nullptr, &old) != 0 || old.sa_handler == SIG_IGN) continue;
            struct sigaction action {};
            action.sa_handler = RemovePendingAndDie;
            ::sigemptyset(&action.sa_mask);
            ::sigaction(signal, &action, nullptr);
        }
    });
}

// A temporary file in a folder, of a name nobody can guess, removed again
// unless it was renamed into place.
class TemporaryFile {
  public:
    TemporaryFile(int folder, const std::string& path, mode_t mode) : folder_(folder) {
        CatchTerminatingSignals();
        for (int attempt = 0; fd_ < 0; ++attempt) {
            unsigned char random[10];
            if (::getentropy(random, sizeof random) != 0) throw CannotCreateFile(path, ErrnoText(errno));
            static constexpr char kAlphabet[] = "abcdefghijklmnopqrstuvwxyz012345";
            name_ = ".~bq";
            for (unsigned char r : random) name_ += kAlphabet[r % 32];
            name_ += ".tmp";
            Register();
            fd_ =
                ::openat(folder_, name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
            if (fd_ >= 0) break;
            const int error = errno;
            Unregister();
            if (error != EEXIST || attempt > 100) throw CannotCreateFile(path, ErrnoText(error));
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (fd_ >= 0) ::close(fd_);
        if (!renamed_) ::unlinkat(folder_, name_.c_str(), 0);
        Unregister();
    }
    int fd() const { return fd_; }
    int Close() {
        const int rc = ::close(fd_);
        fd_ = -1;
        return rc;
    }
    int RenameTo(const std::string& name) {
        const int rc = ::renameat(folder_, name_.c_str(), folder_, name.c_str());
        renamed_ = rc == 0;
        return rc;
    }

  private:
    void Register() {
        for (Pending& p : gPending) {
            int free = -1;
            if (p.folder.load() != -1 || !p.folder.compare_exchange_strong(free, -2)) continue;
            std::memcpy(p.name, name_.c_str(), name_.size() + 1);
            p.folder.store(folder_);
            slot_ = &p;
            return;
        }
    }
    void Unregister() {
        if (slot_) slot_->folder.store(-1);
        slot_ = nullptr;
    }

    int folder_;
    std::string name_;
    int fd_ = -1;
    bool renamed_ = false;
    Pending* slot_ = nullptr;
};

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

// Writes what `produce` makes into the FIFO or device `path` as it is.
void WriteInPlace(const std::string& path, const std::function<void(const ByteSink&)>& produce) {
    Descriptor file(::open(path.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC));
    if (file.get() < 0) throw CannotCreateFile(path, ErrnoText(errno));
    produce([&](std::string_view bytes) {
        while (!bytes.empty()) {
            const ssize_t n = ::write(file.get(), bytes.data(), bytes.size());
            if (n < 0) {
                if (errno == EINTR) continue;
                throw CannotCreateFile(path, ErrnoText(errno));
            }
            bytes.remove_prefix(static_cast<size_t>(n));
        }
    });
    if (file.Close() != 0) throw CannotCreateFile(path, ErrnoText(errno));
}

std::string ReadOpenFile(int fd, const std::string& path, ReadUntil until) {
    struct stat st {};
    if (::fstat(fd, &st) != 0) throw CannotOpenFile(path, ErrnoText(errno));
    if (S_ISDIR(st.st_mode)) throw CannotOpenFile(path, ErrnoText(EISDIR));
    if (!S_ISREG(st.st_mode)) throw CannotOpenFile(path, "Not a regular file");

    // One allocation of the size seen now, or of a first block when a NUL
    // may end the text early; the loop still copes with a file that grows
    // or shrinks while it is read.
    const size_t whole = static_cast<size_t>(st.st_size) + 1;
    std::string text(until == ReadUntil::FirstNul ? std::min(whole, kFirstBlock) : whole, '\0');
    size_t used = 0;
    for (;;) {
        if (used == text.size()) text.resize(text.size() * 2);
        const ssize_t n = ::read(fd, text.data() + used, text.size() - used);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw CannotOpenFile(path, ErrnoText(errno));
        }
        if (n == 0) break;
        if (until == ReadUntil::FirstNul) {
            if (const void* nul = std::memchr(text.data() + used, '\0', static_cast<size_t>(n))) {
                used = static_cast<size_t>(static_cast<const char*>(nul) - text.data());
                break;
            }
        }
        used += static_cast<size_t>(n);
    }
    text.resize(used);
    return text;
}

}  // namespace

Folder::Folder(const std::string& path) : path_(FolderPart(path)) {
    handle_ = ::open(path_.empty() ? "." : path_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle_ < 0) throw CannotOpenFile(path, ErrnoText(errno));
}

Folder::~Folder() { ::close(static_cast<int>(handle_)); }

std::string ReadWholeFile(const std::string& path, ReadUntil until) {
    // O_NONBLOCK keeps the open of a FIFO from waiting for a writer; it is
    // refused as not a regular file.
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) throw CannotOpenFile(path, ErrnoText(errno));
    return ReadOpenFile(fd.get(), path, until);
}

std::string ReadWholeFile(const Folder& folder, const std::string& path, ReadUntil until) {
    Descriptor fd(::openat(static_cast<int>(folder.Handle()), FileNamePart(path).c_str(),
                           O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) throw CannotOpenFile(path, ErrnoText(errno));
    return ReadOpenFile(fd.get(), path, until);
}

bool RegularFileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

unsigned FileMode(const Folder& folder, const std::string& path) {
    struct stat st {};
    if (::fstatat(static_cast<int>(folder.Handle()), FileNamePart(path).c_str(), &st, 0) != 0 ||
        !S_ISREG(st.st_mode))
        return 0666;
    return st.st_mode & 0666;
}

void WriteFileAtomically(const std::string& path, const std::function<void(const ByteSink&)>& produce,
                         const WriteOptions& options) {
    IgnoreFileSizeSignal();
    std::string target = path;
    if (!options.folder) {
        // What the path leads to decides: a FIFO or device is written into,
        // a link to a regular file is replaced at its target.
        struct stat followed {};
        if (::stat(path.c_str(), &followed) == 0) {
            if (S_ISFIFO(followed.st_mode) || S_ISCHR(followed.st_mode)) return WriteInPlace(path, produce);
            if (S_ISDIR(followed.st_mode)) throw CannotCreateFile(path, ErrnoText(EISDIR));
            if (!S_ISREG(followed.st_mode)) throw CannotCreateFile(path, "Not a regular file");
            target = FollowLinks(path);
        }
    }
    const std::string folderPath = FolderPart(target);
    Descriptor ownFolder(options.folder ? -1
                                        : ::open(folderPath.empty() ? "." : folderPath.c_str(),
                                                 O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!options.folder && ownFolder.get() < 0) throw CannotCreateFile(path, ErrnoText(errno));
    const int folder = options.folder ? static_cast<int>(options.folder->Handle()) : ownFolder.get();
    const std::string name = FileNamePart(target);

    struct stat st {};
    const bool exists = ::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
    // A replaced file keeps its permissions; a new one gets at most those asked for.
    const bool keepsMode = exists && S_ISREG(st.st_mode);
    TemporaryFile temp(folder, path, keepsMode ? 0600 : static_cast<mode_t>(options.newFileMode & 0777));
    off_t written = 0, handedOver = 0;
    produce([&](std::string_view bytes) {
        while (!bytes.empty()) {
            const ssize_t n = ::write(temp.fd(), bytes.data(), bytes.size());
            if (n < 0) {
                if (errno == EINTR) continue;
                throw CannotCreateFile(path, ErrnoText(errno));
            }
            bytes.remove_prefix(static_cast<size_t>(n));
            written += n;
        }
        if (written - handedOver >= kWriteBackBytes) {
            StartWriteBack(temp.fd(), handedOver, written - handedOver);
            handedOver = written;
        }
    });
    if (keepsMode && ::fchmod(temp.fd(), st.st_mode & 07777) != 0)
        throw CannotCreateFile(path, ErrnoText(errno));
    if (::fsync(temp.fd()) != 0) throw CannotCreateFile(path, ErrnoText(errno));
    if (temp.Close() != 0) throw CannotCreateFile(path, ErrnoText(errno));
    if (temp.RenameTo(name) != 0) throw CannotCreateFile(path, ErrnoText(errno));
}

}  // namespace bq
