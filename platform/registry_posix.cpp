// The registry stand-in on platforms without one: a REGEDIT4-format file,
// BRISQUILL/HKCU.reg in the user's configuration folder.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <optional>
#include <system_error>
#include <thread>

#include "platform/files.h"
#include "platform/registry.h"
#include "platform/registry_file.h"

namespace bq {
namespace {

std::filesystem::path ConfigFolder() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && *xdg == '/') return xdg;
    const char* home = std::getenv("HOME");
    if (home && *home) return std::filesystem::path(home) / ".config";
    return {};
}

// An advisory lock on a file beside the store, held for its lifetime.
class StoreLock {
  public:
    // Throws `failure` when the lock cannot be had within kPatience: a
    // writer of ours holds it for the few milliseconds of a small file's
    // read and write, so a holder that keeps it longer is stopped or hung,
    // and waiting on would hang this run with it.
    StoreLock(const std::string& path, const Error& failure)
        : fd_(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
        if (fd_ < 0) throw failure;
        const auto deadline = std::chrono::steady_clock::now() + kPatience;
        while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() > deadline) {
                ::close(fd_);
                throw failure;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;
    ~StoreLock() { ::close(fd_); }

  private:
    static constexpr std::chrono::seconds kPatience{10};
    int fd_;
};

// What tells one state of the store from another without reading it: a
// replaced store is another file, a rewritten one has another size or time.
struct StoreIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = -1;
    timespec modified{}, changed{};
    bool operator!=(const StoreIdentity& o) const {
        return device != o.device || inode != o.inode || size != o.size ||
               modified.tv_sec != o.modified.tv_sec || modified.tv_nsec != o.modified.tv_nsec ||
               changed.tv_sec != o.changed.tv_sec || changed.tv_nsec != o.changed.tv_nsec;
    }
};

// The identity of the file `path` leads to; that of no file when there is none.
StoreIdentity IdentityOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return {};
    return {st.st_dev, st.st_ino, st.st_size, st.st_mtim, st.st_ctim};
}

// What a store that cannot be written is reported as: the value's failure
// when there is a store, the key's when there is none yet.
RegistryError FailureFor(bool storeExists, std::string reason = {}) {
    return storeExists ? SetDataFailed(std::move(reason)) : CreateKeyFailed(std::move(reason));
}

// The store's path, its folder made when missing.
std::string StorePath() {
    const std::filesystem::path config = ConfigFolder();
    if (config.empty()) throw CreateKeyFailed("HOME and XDG_CONFIG_HOME are not set");
    const std::filesystem::path keyFolder = config / kProductKey;
    // The store and its lock are made through no other user's link.
    RefuseForeignLinks((keyFolder / "HKCU.reg").string());
    std::error_code ec;
    std::filesystem::create_directories(keyFolder, ec);
    if (ec || !std::filesystem::is_directory(keyFolder, ec))
        throw CreateKeyFailed(keyFolder.string() + ": " + (ec ? ec.message() : "Not a directory"));
    return (keyFolder / "HKCU.reg").string();
}

bool Exists(const std::string& store) {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::symlink_status(store, ec));
}

// The store's content; nullopt when there is none. A program that rewrites
// the store in place empties it first, and may be held up before it
// writes: an empty store is given a moment to fill before it is taken for
// empty, or its keys would be lost.
std::optional<std::string> ReadStore(const std::string& store) {
    constexpr std::chrono::seconds kFillPatience{1};
    const auto deadline = std::chrono::steady_clock::now() + kFillPatience;
    for (;;) {
        if (!Exists(store)) return std::nullopt;
        std::string content;
        try {
            content = ReadWholeFile(store);
        } catch (const Error& e) {
            throw CreateKeyFailed(e.what());
        }
        if (!content.empty() || std::chrono::steady_clock::now() > deadline) return content;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

// `content` with TextDirectory set to `folder` in every import section. A
// store in UTF-16 (a REGEDIT5 export), or any file that is no REGEDIT4
// export, is left as it is, byte for byte.
std::string Updated(const std::string& store, const std::optional<std::string>& content,
                    std::string_view folder) {
    if (content && content->find('\0') != std::string::npos)
        throw CreateKeyFailed(store + " is UTF-16 text, not a REGEDIT4 export");
    if (content && !content->empty() && !content->starts_with("REGEDIT4") &&
        !content->starts_with("Windows Registry Editor"))
        throw SetDataFailed(store + " is not a REGEDIT4 export");
    auto updated = WithRegString(content.value_or(""), ImportSection(), kTextDirectoryValue, folder);
    if (!updated) throw SetDataFailed();
    return std::move(*updated);
}

// Replaces the store with `updated` unless it is no longer the file of
// `before`; false when it changed meanwhile.
bool Replace(const std::string& store, const std::string& updated, const StoreIdentity& before,
             bool existed) {
    try {
        OutputFile output(store);
        output.Write(updated);
        output.Finish();
        if (IdentityOf(store) != before) return false;
        output.Commit();
        return true;
    } catch (const Error& e) {
        throw FailureFor(existed, e.what());
    }
}

class PosixRegistry : public Registry {
  public:
    void SetTextDirectory(std::string_view folder) override {
        const std::string store = StorePath();
        // Every writer of ours reads, changes and replaces the store under
        // this lock, so that no other key or value is ever lost. Whether the
        // store exists is asked again under it: another writer may have made it meanwhile.
        const StoreLock lock(store + ".lock", FailureFor(Exists(store)));
        const bool existed = Exists(store);
        // A store its owner made read-only stays as it is.
        struct stat mode {};
        if (existed && ::stat(store.c_str(), &mode) == 0 && !(mode.st_mode & S_IWUSR))
            throw SetDataFailed(store + " is read-only");
        // A program that does not take the lock may still replace or rewrite
        // the store while the new one is made: the store is then read and
        // changed again. What is looked at just before the rename is the
        // store's identity, so that the window in which such a change could
        // still be lost is as short as it can be without that program's help.
        // The merge output is written by now: memory that runs out here fails
        // the value, and must not be reported as a run that wrote nothing.
        try {
            // A store that never stays the same for long enough is left
            // to the program that keeps changing it.
            for (int attempt = 1; attempt <= kAttempts; ++attempt) {
                const StoreIdentity before = IdentityOf(store);
                const std::optional<std::string> content = ReadStore(store);
                if (IdentityOf(store) != before) continue;
                if (Replace(store, Updated(store, content, folder), before, existed)) return;
            }
        } catch (const std::bad_alloc&) {
            throw FailureFor(existed);
        }
        throw FailureFor(existed);
    }

  private:
    static constexpr int kAttempts = 100;
};

}  // namespace

std::unique_ptr<Registry> OpenUserRegistry() { return std::make_unique<PosixRegistry>(); }

}  // namespace bq
