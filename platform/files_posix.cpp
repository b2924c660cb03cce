// POSIX side of the file system layer.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <mutex>

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

std::string TemporaryNameFor(const std::string& path) {
    static std::atomic<unsigned> counter{0};
    return FolderPart(path) + ".~" + FileNamePart(path) + "." + std::to_string(::getpid()) + "." +
           std::to_string(counter++) + ".tmp";
}

// The process id in a temporary name of `path` ("<prefix><pid>.<n>.tmp"), or 0.
pid_t WriterOfTemporary(std::string_view name, std::string_view prefix) {
    constexpr std::string_view kSuffix = ".tmp";
    if (name.size() <= prefix.size() + kSuffix.size() || name.substr(0, prefix.size()) != prefix ||
        name.substr(name.size() - kSuffix.size()) != kSuffix)
        return 0;
    const std::string_view middle = name.substr(prefix.size(), name.size() - prefix.size() - kSuffix.size());
    const size_t dot = middle.find('.');
    if (dot == std::string_view::npos || dot == 0 || dot > 9 || dot + 1 == middle.size()) return 0;
    pid_t pid = 0;
    for (size_t i = 0; i < middle.size(); ++i) {
        if (i == dot) continue;
        if (middle[i] < '0' || middle[i] > '9') return 0;
        if (i < dot) pid = pid * 10 + (middle[i] - '0');
    }
    return pid;
}

// A writer killed before it could remove its temporary file leaves it
// behind; the next successful write of the same file removes the ones whose
// writer no longer runs. Files of live writers, this process included, stay.
void RemoveStaleTemporaries(const std::string& path) {
    const std::string folder = FolderPart(path);
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return;
    const std::string prefix = ".~" + FileNamePart(path) + ".";
    while (const dirent* entry = ::readdir(dir)) {
        const pid_t writer = WriterOfTemporary(entry->d_name, prefix);
        if (writer <= 0 || writer == ::getpid()) continue;
        if (::kill(writer, 0) == 0 || errno == EPERM) continue;
        ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

}  // namespace

std::string ReadWholeFile(const std::string& path) {
    // O_NONBLOCK keeps the open of a FIFO from waiting for a writer; it is
    // refused below as not a regular file.
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) throw CannotOpenFile(path, ErrnoText(errno));
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) throw CannotOpenFile(path, ErrnoText(errno));
    if (S_ISDIR(st.st_mode)) throw CannotOpenFile(path, ErrnoText(EISDIR));
    if (!S_ISREG(st.st_mode)) throw CannotOpenFile(path, "Not a regular file");

    // One allocation of the size seen now; the loop still copes with a file
    // that grows or shrinks while it is read.
    std::string text(static_cast<size_t>(st.st_size) + 1, '\0');
    size_t used = 0;
    for (;;) {
        if (used == text.size()) text.resize(text.size() * 2);
        const ssize_t n = ::read(fd.get(), text.data() + used, text.size() - used);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw CannotOpenFile(path, ErrnoText(errno));
        }
        if (n == 0) break;
        used += static_cast<size_t>(n);
    }
    text.resize(used);
    return text;
}

bool RegularFileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

void WriteFileAtomically(const std::string& path, const std::function<void(const ByteSink&)>& produce) {
    IgnoreFileSizeSignal();
    std::string temp;
    int fd = -1;
    for (int attempt = 0; fd < 0; ++attempt) {
        temp = TemporaryNameFor(path);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && (errno != EEXIST || attempt > 100)) throw CannotCreateFile(path, ErrnoText(errno));
    }
    Descriptor file(fd);
    try {
        off_t written = 0, handedOver = 0;
        produce([&](std::string_view bytes) {
            while (!bytes.empty()) {
                const ssize_t n = ::write(file.get(), bytes.data(), bytes.size());
                if (n < 0) {
                    if (errno == EINTR) continue;
                    throw CannotCreateFile(path, ErrnoText(errno));
                }
                bytes.remove_prefix(static_cast<size_t>(n));
                written += n;
            }
            if (written - handedOver >= kWriteBackBytes) {
                StartWriteBack(file.get(), handedOver, written - handedOver);
                handedOver = written;
            }
        });
        if (::fsync(file.get()) != 0) throw CannotCreateFile(path, ErrnoText(errno));
        if (file.Close() != 0) throw CannotCreateFile(path, ErrnoText(errno));
        if (::rename(temp.c_str(), path.c_str()) != 0) throw CannotCreateFile(path, ErrnoText(errno));
    } catch (...) {
        ::unlink(temp.c_str());
        throw;
    }
    RemoveStaleTemporaries(path);
}

}  // namespace bq
