// The registry stand-in on platforms without one: a REGEDIT4-format file,
// BRISQUILL/HKCU.reg in the user's configuration folder.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <system_error>

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
    // Throws `failure` when the lock cannot be had.
    StoreLock(const std::string& path, const Error& failure)
        : fd_(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
        if (fd_ < 0) throw failure;
        while (::flock(fd_, LOCK_EX) != 0)
            if (errno != EINTR) {
                ::close(fd_);
                throw failure;
            }
    }
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;
    ~StoreLock() { ::close(fd_); }

  private:
    int fd_;
};

class PosixRegistry : public Registry {
  public:
    void SetTextDirectory(std::string_view folder) override {
        const std::filesystem::path config = ConfigFolder();
        if (config.empty()) throw CreateKeyFailed();
        const std::filesystem::path keyFolder = config / kProductKey;
        std::error_code ec;
        std::filesystem::create_directories(keyFolder, ec);
        if (ec || !std::filesystem::is_directory(keyFolder, ec)) throw CreateKeyFailed();

        const std::string store = (keyFolder / "HKCU.reg").string();
        std::string content;
        const auto exists = [&store, &ec] {
            return std::filesystem::exists(std::filesystem::symlink_status(store, ec));
        };
        // Every writer of ours reads, changes and replaces the store under
        // this lock, so that no other key or value is ever lost. Whether the
        // store exists is asked again under it: another writer may have made it meanwhile.
        const StoreLock lock(store + ".lock", exists() ? SetDataFailed() : CreateKeyFailed());
        const bool existed = exists();
        if (existed) {
            try {
                content = ReadWholeFile(store);
            } catch (const Error&) {
                throw CreateKeyFailed();
            }
        }
        // A store in UTF-16 (a REGEDIT5 export) is left as it is, byte for byte.
        if (content.find('\0') != std::string::npos) throw CreateKeyFailed();
        const auto updated = WithRegString(content, kImportSection, kTextDirectoryValue, folder);
        if (!updated) throw SetDataFailed();
        try {
            WriteFileAtomically(store, *updated);
        } catch (const Error&) {
            if (existed) throw SetDataFailed();
            throw CreateKeyFailed();
        }
    }
};

}  // namespace

std::unique_ptr<Registry> OpenUserRegistry() { return std::make_unique<PosixRegistry>(); }

}  // namespace bq
