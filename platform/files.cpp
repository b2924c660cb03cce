#include "platform/files.h"

namespace bq {

std::string ReadWholeFile(const std::string& path, const Folder* folder) {
    const InputFile file(path, folder);
    std::string text;
    // Read until a read comes back short, so that a file that grows while
    // it is read is still read to its end.
    constexpr size_t kBlock = size_t{1} << 20;
    for (;;) {
        const size_t used = text.size();
        text.resize(used + kBlock);
        const size_t got = file.ReadAt(used, text.data() + used, kBlock);
        text.resize(used + got);
        if (got < kBlock) return text;
    }
}

void WriteFileAtomically(const std::string& path, const std::function<void(const ByteSink&)>& produce,
                         const WriteOptions& options) {
    OutputFile file(path, options);
    produce([&file](std::string_view bytes) { file.Write(bytes); });
    file.Commit();
}

void WriteFileAtomically(const std::string& path, std::string_view bytes, const WriteOptions& options) {
    WriteFileAtomically(
        path, [bytes](const ByteSink& sink) { sink(bytes); }, options);
}

FileError CannotOpenFile(std::string_view path, std::string_view reason) {
    return FileError("Cannot open file \"" + std::string(path) + "\". " + std::string(reason));
}

FileError CannotCreateFile(std::string_view path, std::string_view reason) {
    return FileError("Cannot create file \"" + std::string(path) + "\". " + std::string(reason));
}

}  // namespace bq
