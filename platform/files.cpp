#include "platform/files.h"

#include <algorithm>

namespace bq {

std::string ReadWholeFile(const std::string& path, const Folder* folder) {
    const InputFile file(path, folder);
    std::string text;
    // Read until a read comes back short, so that a file that grows while
    // it is read is still read to its end; reads grow from small, as most
    // files read whole are a few lines.
    constexpr size_t kMostRead = size_t{1} << 20;
    for (size_t block = size_t{4} << 10;; block = std::min(2 * block, kMostRead)) {
        const size_t used = text.size();
        text.resize(used + block);
        const size_t got = file.ReadAt(used, text.data() + used, block);
        text.resize(used + got);
        if (got < block) return text;
    }
}

void WriteFileAtomically(const std::string& path, std::string_view bytes, const WriteOptions& options) {
    OutputFile file(path, options);
    file.Write(bytes);
    file.Commit();
}

FileExists::FileExists(std::string_view path) : FileError(CannotCreateFile(path, "File exists").what()) {}

FileError CannotOpenFile(std::string_view path, std::string_view reason) {
    return FileError("Cannot open file \"" + std::string(path) + "\". " + std::string(reason));
}

FileError CannotCreateFile(std::string_view path, std::string_view reason) {
    return FileError("Cannot create file \"" + std::string(path) + "\". " + std::string(reason));
}

}  // namespace bq
