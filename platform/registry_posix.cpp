// The registry stand-in on platforms without one: a REGEDIT4-format file,
// BRISQUILL/HKCU.reg in the user's configuration folder.
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
        const bool existed = std::filesystem::exists(std::filesystem::symlink_status(store, ec));
        if (existed) {
            try {
                content = ReadWholeFile(store);
            } catch (const Error&) {
                throw CreateKeyFailed();
            }
        }
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
